// Where update checks go: deployment data set when the component is built.
#pragma once

#ifndef VL_UPDATE_URL
#error "VL_UPDATE_URL must name the update server's endpoint"
#endif

// The endpoint's full URL; also the tail of the key the server must echo.
constexpr char kUpdateEndpointUrl[] = VL_UPDATE_URL;

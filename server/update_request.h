// The request of one update check, read from its inflated text and checked member by
// member. Anything the client cannot have written is refused with a request_refusal:
// 400 for wrong syntax or schema, 413 for more components or longer texts than the
// limits allow.
//
// Members: "v" a protocol version "1.<digits>"; "c" an array of [file name, component
// name, version] string triples; "t" 1 (automatic) or 2 (manual); "key" a string of
// decimal digits; "s" optional, an object (the usage statistics, not read here).
// Other members are ignored, so later 1.x clients may add some.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct installed_component {
    std::string file_name;
    std::string name;
    std::string version;
};

struct update_request {
    std::string key;
    int64_t trigger = 0;  // 1 automatic, 2 manual
    std::vector<installed_component> components;
};

update_request read_update_request(std::string_view text);

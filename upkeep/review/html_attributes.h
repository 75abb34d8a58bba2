// How the converter reads a tag's attributes: by plain substring search, first
// occurrence, with no notion of attribute boundaries (a name also matches inside
// another attribute's name or value). Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "upkeep/review/rgb_colour.h"

// The value of `name` in a tag's attribute text. The name is followed, after white
// space, by "=" and the value; without the "=" the attribute is present with an empty
// value. Absent: nullopt.
std::optional<std::string_view> html_attribute(std::string_view attributes, std::string_view name);

// The value of a style property `name` ("color: value"), searched the same way in the
// whole attribute text; a name not followed by ":" counts as absent.
std::optional<std::string_view> html_style_property(std::string_view attributes, std::string_view name);

// A value read as a decimal integer: leading white space and sign allowed, digits up
// to the first other character, 0 when there are none; saturates at the 32-bit range.
int32_t html_number(std::string_view value);

// A colour value: "#" and hexadecimal digits as 0xRRGGBB (no short forms; a number
// beyond 0xFFFFFF reads as white), or the exact words "window", "windowtext", "buttonface",
// "buttontext" for the system colours; anything else is black.
RgbColour html_colour(std::string_view value, const SystemColours& system);

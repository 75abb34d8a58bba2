// The order of component version texts, used to tell whether the catalogue offers a
// newer version than the one installed.
//
// - Only the text before the first blank counts, so build notes such as
//   "1.1.2 [Nov 28 2007 - 10:13:31]" compare as "1.1.2".
// - The text is split at "."; each part is a decimal number (none counts as 0)
//   followed by an optional suffix. Parts compare from the left.
// - Numbers compare by value, whatever their length ("1.10" > "1.9", "01" == "1").
// - For equal numbers, a part without suffix is newer than one with a suffix: a
//   suffix marks a pre-release ("1.0b2" < "1.0"). Two suffixes compare in natural
//   order: runs of digits by value, other runs byte by byte, ASCII letters without
//   regard to case ("rc2" < "RC10").
// - Missing parts count as "0": "1" == "1.0" == "1.0.0", and "1.0.0b" < "1".
#pragma once

#include <string_view>

// Negative when `a` is older than `b`, 0 when they are the same version, positive
// when `a` is newer.
int compare_versions(std::string_view a, std::string_view b);

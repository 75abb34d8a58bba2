// The compact JSON writer of the update protocol: no whitespace, object members in
// ascending name order. Portable: no Windows header.
//
//   null, true, false
//   integers within +-2147483647 as digits; others (-2147483648 included) as their
//     digits inside double quotes, a JSON string
//   reals in fixed point with exactly 7 decimals: n = floor(|x| * 10^7 + 0.5) as a
//     64-bit integer (the product rounded half up exactly), its digits with a point
//     before the last 7, "-" in front when x < 0 and n > 0 (a value that rounds to
//     zero is written "0.0000000", never "-0.0000000", so the text reads back to the
//     same text). n saturates at 9223372036854775807 (|x| from about 9.2e11 on, and
//     infinities); NaN is written as 0.0000000. Past about 2.2e8 the text holds more
//     digits than a double keeps, so such a real read back may write 1 unit higher
//     or lower in the last decimal.
//   strings with the escapes \" \\ \/ \b \t \n \f \r; every other byte (other control
//     bytes and bytes from 0x80 up included) unchanged; no \u escapes
#pragma once

#include <string>

#include "upkeep/checking/json_value.h"

// Appends the compact text of `value` to `out`.
void JSONWrite(const JSONValue& value, std::string& out);

// The compact text of a document for strict readers. The project's writer leaves
// bytes below 0x20 unescaped inside strings (except the ones with short escapes), and
// strict parsers, the client's among them, refuse such bytes: a component name
// holding one would make the whole answer unreadable. Here they become \u00XX
// escapes, which read back to the same byte.
#pragma once

#include <string>

#include "upkeep/checking/json_value.h"

std::string strict_json_text(const JSONValue& document);

// Parses the text of a JSON document whose root is an object. Portable: no Windows
// header. What the grammar accepts and how numbers are read: json_tokenizer.h. In
// short: integers beyond the 64-bit range saturate at its limits, reals beyond the
// double range become infinities (the writer saturates those), and "\u0000" cuts a
// string or name.
#pragma once

#include <cstddef>

#include "upkeep/checking/json_tokenizer.h"
#include "upkeep/checking/json_value.h"

// Answers the root object of the document in bytes[0, length), or throws
// JSONParserException: "Syntax error." for text the grammar rejects (trailing bytes
// other than space, tab, line feed and carriage return included), or the builder's
// message (json_document_builder.h); "Unknown error." when building failed with
// something that is not a std::exception. Never answers a partial document.
JSONValuePtr JSONParse(const char* bytes, size_t length, const JSONParseOptions& options = {});

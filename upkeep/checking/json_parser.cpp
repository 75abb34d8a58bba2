#include "upkeep/checking/json_parser.h"

#include "frame/scope_marker.h"
#include "upkeep/checking/json_document_builder.h"

JSONValuePtr JSONParse(const char* bytes, size_t length, const JSONParseOptions& options) {
    scope_marker marker("JSONParser");
    JSONDocumentBuilder builder;
    JSONTokenizer tokenizer(builder, options);
    size_t taken = 0;
    try {
        taken = tokenizer.feed(bytes, length);
    } catch (const std::exception& failure) {
        throw JSONParserException(failure.what());
    } catch (...) {
        throw JSONParserException("Unknown error.");
    }
    if (taken != length || !tokenizer.complete() || !builder.root()) throw JSONParserException("Syntax error.");
    return builder.root();
}

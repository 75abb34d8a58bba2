#include "update_exchange.h"

#include "server_limits.h"
#include "deflate_codec.h"
#include "request_refusal.h"
#include "strict_json_text.h"

namespace {

// Answers are compressed once per check; level 6 is zlib's usual balance.
constexpr int answer_compression_level = 6;

constexpr const char* answer_content_type = "application/octet-stream";

// The unknown member and its length for the inflate-padding fault: repetitive text
// deflates about a thousand to one.
constexpr const char* padding_member = "padding";
constexpr size_t padding_bytes = 64 * 1024;

std::string inflate_field(std::string_view field) {
    std::string text;
    switch (inflate_raw_limited(field, server_limits::max_inflated_bytes, text)) {
        case inflate_status::ok:
            return text;
        case inflate_status::too_large:
            throw request_refusal(http_status::payload_too_large,
                                  "the request inflates to more than " +
                                      std::to_string(server_limits::max_inflated_bytes) + " bytes");
        case inflate_status::malformed:
            break;
    }
    throw request_refusal(http_status::bad_request, "the field \"d\" is not one complete raw deflate stream");
}

// Faults that change the document before it is written.
void apply_document_fault(test_fault fault, JSONValue& answer, const update_request& request) {
    switch (fault) {
        case test_fault::key_without_url:
            answer.objectSet("key", JSONValue::newString(request.key));
            break;
        case test_fault::version_0_9:
            answer.objectSet("version", JSONValue::newString("0.9"));
            break;
        case test_fault::version_2_0:
            answer.objectSet("version", JSONValue::newString("2.0"));
            break;
        case test_fault::entry_state_4: {
            JSONValuePtr entry = JSONValue::newObject();
            entry->objectSet("state", JSONValue::newInteger(4));
            entry->objectSet("fileName", JSONValue::newString("test_fault.dll"));
            entry->objectSet("name", JSONValue::newString("Test fault"));
            entry->objectSet("curVersion", JSONValue::newString("1.0"));
            entry->objectSet("version", JSONValue::newString("1.1"));
            answer.objectMember("updates")->arrayAppend(entry);
            break;
        }
        case test_fault::inflate_padding:
            answer.objectSet(padding_member, JSONValue::newString(std::string(padding_bytes, 'x')));
            break;
        default:
            break;
    }
}

// Faults that change what is sent after signing.
void apply_transport_fault(test_fault fault, exchange_result& result) {
    switch (fault) {
        case test_fault::altered_body:
            result.body[result.body.size() / 2] ^= 0x01;
            break;
        case test_fault::no_signature:
            result.signature.reset();
            break;
        case test_fault::short_signature:
            result.signature = result.signature->substr(0, 3);
            break;
        default:
            break;
    }
}

}  // namespace

exchange_result refusal_result(int status, const std::string& reason) {
    exchange_result result;
    result.status = status;
    result.content_type = "text/plain";
    result.body = reason + "\n";
    result.reason = reason;
    return result;
}

exchange_result answer_update_field(std::string_view field, const catalogue_index& catalogue,
                                    const answer_signer& signer, const exchange_settings& settings) {
    update_request request;
    try {
        request = read_update_request(inflate_field(field));
    } catch (const request_refusal& refusal) {
        return refusal_result(refusal.status(), refusal.what());
    }

    exchange_result result;
    result.components = request.components.size();
    if (settings.fault == test_fault::http_500) {
        result.status = http_status::internal_error;
        result.content_type = "text/plain";
        result.body = "test fault http-500\n";
        return result;
    }

    JSONValuePtr answer = build_answer(request, catalogue, settings.answer);
    apply_document_fault(settings.fault, *answer, request);
    result.status = http_status::ok;
    result.content_type = answer_content_type;
    result.body = deflate_raw(strict_json_text(*answer), answer_compression_level);
    result.signature = signer.signature_header(result.body);
    apply_transport_fault(settings.fault, result);
    return result;
}

#include "test_faults.h"

const std::vector<test_fault_info>& test_fault_list() {
    static const std::vector<test_fault_info> list = {
        {test_fault::altered_body, "altered-body", "one byte of the body is changed after signing"},
        {test_fault::no_signature, "no-signature", "the signature header is left out"},
        {test_fault::short_signature, "short-signature", "the signature header holds three characters"},
        {test_fault::key_without_url, "key-without-url", "\"key\" echoes the request key without the public URL"},
        {test_fault::version_0_9, "version-0.9", "the answer's \"version\" is \"0.9\""},
        {test_fault::version_2_0, "version-2.0", "the answer's \"version\" is \"2.0\""},
        {test_fault::entry_state_4, "entry-state-4", "an extra update entry has \"state\" 4"},
        {test_fault::http_500, "http-500", "HTTP status 500 instead of an answer"},
        {test_fault::inflate_padding, "inflate-padding",
         "an extra member pads the answer to inflate to far more than ten times its size"},
    };
    return list;
}

std::optional<test_fault> parse_test_fault(std::string_view name) {
    for (const test_fault_info& info : test_fault_list())
        if (name == info.name) return info.fault;
    return std::nullopt;
}

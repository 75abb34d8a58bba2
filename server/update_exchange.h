// One update check from the posted field to the HTTP answer: inflate the field
// (bounded), read and check the request, look its components up, write the answer,
// compress it with raw deflate and sign the compressed bytes. Never throws for bad
// input: every malformed request becomes a 4xx result with a reason.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "answer_signer.h"
#include "catalogue.h"
#include "test_faults.h"
#include "update_answer.h"

struct exchange_settings {
    answer_settings answer;
    test_fault fault = test_fault::none;  // tests only
};

struct exchange_result {
    int status = 0;
    std::string content_type;
    std::string body;
    std::optional<std::string> signature;  // the signature header's value, when one is sent
    size_t components = 0;                 // components in an accepted request
    std::string reason;                    // why a request was refused
};

// `field` is the content of the post field "d": the compressed request text.
exchange_result answer_update_field(std::string_view field, const catalogue_index& catalogue,
                                    const answer_signer& signer, const exchange_settings& settings);

// The result for a request refused before its field was read (HTTP layer).
exchange_result refusal_result(int status, const std::string& reason);

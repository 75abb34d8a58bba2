#include "answer_check.h"

#include <memory>
#include <stdexcept>

#include "server/deflate_codec.h"
#include "upkeep/checking/json_parser.h"

namespace {

struct md_ctx_free {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

bool is_base64_char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

}  // namespace

std::optional<std::string> decode_base64(const std::string& text) {
    if (text.empty() || text.size() % 4 != 0) return std::nullopt;
    size_t padding = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=') {
            if (i + 2 < text.size()) return std::nullopt;
            ++padding;
        } else if (padding || !is_base64_char(text[i])) {
            return std::nullopt;
        }
    }
    std::string bytes(text.size() / 4 * 3, '\0');
    int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&bytes[0]),
                            reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (n < 0) return std::nullopt;
    bytes.resize(static_cast<size_t>(n) - padding);
    return bytes;
}

bool signature_verifies(const std::string& body, const std::string& signature_header, const EVP_PKEY& public_key) {
    std::optional<std::string> signature = decode_base64(signature_header);
    if (!signature) return false;
    std::unique_ptr<EVP_MD_CTX, md_ctx_free> ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha1(), nullptr, const_cast<EVP_PKEY*>(&public_key)) != 1)
        throw std::runtime_error("cannot set up verification");
    return EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(signature->data()), signature->size(),
                            reinterpret_cast<const unsigned char*>(body.data()), body.size()) == 1;
}

std::string inflate_answer(const std::string& body) {
    std::string text;
    if (inflate_raw_limited(body, 64 * 1024 * 1024, text) != inflate_status::ok)
        throw std::runtime_error("the answer is not one raw deflate stream");
    return text;
}

JSONValuePtr open_answer(const std::string& body) {
    std::string text = inflate_answer(body);
    return JSONParse(text.data(), text.size());
}

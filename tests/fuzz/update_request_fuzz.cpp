// Feeds arbitrary bytes to the update server's request handling, the function that
// takes the post field "d" and answers status and body. The first byte chooses what
// the rest is: even, the field itself (exercising inflation); odd, the request text,
// compressed here first (exercising the parser and the request checks).
// Properties: no crash or sanitizer report, no exception; the status is 200, 400 or
// 413; a refusal has a reason and no signature; an answer verifies, inflates, parses
// strictly and holds one entry per requested component with a state from 0 to 3.
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "server/answer_signer.h"
#include "server/catalogue.h"
#include "server/deflate_codec.h"
#include "server/update_exchange.h"
#include "upkeep/checking/json_parser.h"

namespace {

struct fixture {
    catalogue_index catalogue{make_catalogue()};
    evp_pkey_ptr key{EVP_RSA_gen(512)};
    answer_signer signer{evp_pkey_ptr(EVP_PKEY_dup(key.get()))};
    exchange_settings settings;

    fixture() { settings.answer.public_url = "http://updates.tendwell.test/au"; }

    static std::vector<catalogue_entry> make_catalogue() {
        catalogue_entry porter;
        porter.file_name = "vel_porter.dll";
        porter.name = "Send to Device";
        porter.version = "1.1.3";
        porter.release_notes = "<p>notes</p>";
        catalogue_entry host;
        host.file_name = "vlhost.exe";
        host.ignore_reason = "Updated with the player";
        return {porter, host};
    }
};

void check(bool condition) {
    if (!condition) std::abort();
}

bool verifies(const exchange_result& r, EVP_PKEY* key) {
    std::string signature(64, '\0');
    int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&signature[0]),
                            reinterpret_cast<const unsigned char*>(r.signature->data()),
                            static_cast<int>(r.signature->size()));
    if (n != 66) return false;  // 88 characters with "==" decode to 66 bytes, 2 of them padding
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    return EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha1(), nullptr, key) == 1 &&
           EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(signature.data()), 64,
                            reinterpret_cast<const unsigned char*>(r.body.data()), r.body.size()) == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fixture f;
    if (size == 0) return 0;
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string field = data[0] % 2 ? deflate_raw(rest, 1) : rest;

    exchange_result r = answer_update_field(field, f.catalogue, f.signer, f.settings);
    check(r.status == 200 || r.status == 400 || r.status == 413);
    if (r.status != 200) {
        check(!r.reason.empty() && !r.signature);
        return 0;
    }
    check(r.signature && verifies(r, f.key.get()));
    std::string text;
    check(inflate_raw_limited(r.body, 64 << 20, text) == inflate_status::ok);
    JSONValuePtr answer = JSONParse(text.data(), text.size());  // strict: throws, and so aborts, on failure
    JSONValuePtr updates = answer->objectMember("updates");
    check(updates->arraySize() == r.components);
    for (size_t i = 0; i < updates->arraySize(); ++i) {
        int64_t state = updates->arrayItem(i)->objectMember("state")->getInteger();
        check(state >= 0 && state <= 3);
    }
    return 0;
}

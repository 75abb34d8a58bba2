// sendRequest: posts one check, and accepts the answer only with a valid signature
// over the exact body bytes and the echoed replay key.
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>

#include "frame/api/http_client.h"
#include "file_time.h"
#include "frame/api/shared.h"
#include "frame/bug_check.h"
#include "frame/service_lookup.h"
#include "json_parser.h"
#include "json_writer.h"
#include "raw_deflate.h"
#include "transport_formats.h"
#include "update_check.h"
#include "update_endpoint.h"
#include "update_public_key.h"

namespace {

static_assert(sizeof(kUpdatePublicKeyBlob) == 84, "the update key blob is a 512-bit RSA public key blob");

// CryptoAPI handles, released on every exit.
struct crypt_context {
    HCRYPTPROV provider = 0;
    HCRYPTKEY key = 0;
    HCRYPTHASH hash = 0;
    ~crypt_context() {
        if (hash) CryptDestroyHash(hash);
        if (key) CryptDestroyKey(key);
        if (provider) CryptReleaseContext(provider, 0);
    }
};

// Verifies the RSA/SHA-1 signature (most significant byte first) of the body.
void verify_signature(const std::vector<uint8_t>& body, std::vector<uint8_t> signature) {
    crypt_context c;
    if (!CryptAcquireContextW(&c.provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
        throw_last_error();
    if (!CryptImportKey(c.provider, kUpdatePublicKeyBlob, sizeof kUpdatePublicKeyBlob, 0, 0, &c.key))
        throw_last_error();
    if (!CryptCreateHash(c.provider, CALG_SHA1, 0, 0, &c.hash)) throw_last_error();
    if (!CryptHashData(c.hash, body.data(), static_cast<DWORD>(body.size()), 0)) throw_last_error();
    // CryptoAPI takes the signature least significant byte first.
    std::reverse(signature.begin(), signature.end());
    if (!CryptVerifySignatureW(c.hash, signature.data(), static_cast<DWORD>(signature.size()), c.key, nullptr, 0)) {
        DWORD error = GetLastError();
        if (error == static_cast<DWORD>(NTE_BAD_SIGNATURE))
            throw vellora_io::exception_io_data("Invalid content signature.");
        throw_win32(error);
    }
}

}  // namespace

JSONValuePtr AUGULT::send_request(const JSONValuePtr& request) {
    uCallStackTracker marker("sendRequest");
    service_ptr_t<http_request_post> post;
    {
        service_ptr_t<http_client> client = lookup_exactly_one<http_client>();
        service_ptr_t<http_request> plain = client->create_request("POST");
        post = plain.query<http_request_post>();
        if (!post) throw_bug_check_v2();
    }

    std::string key = replay_key_text(current_file_time());
    request->objectSet("key", JSONValue::newString(key));
    std::string text;
    JSONWrite(*request, text);
    std::vector<uint8_t> compressed = raw_deflate(text);
    post->add_post_data("d", compressed.data(), compressed.size(), "", "application/octet-stream");
    const std::string expected_echo = key + kUpdateEndpointUrl;

    service_ptr_t<vellora_io::readable_stream> response = post->run(kUpdateEndpointUrl, m_abort);
    service_ptr_t<http_reply> reply = response.query<http_reply>();
    if (!reply) throw_bug_check_v2();

    string_sink_std header;
    if (!reply->get_http_header("X-VLRAAU-Signature", header) || header.length() == 0)
        throw vellora_io::exception_io_data("Content signature not found.");
    std::optional<std::vector<uint8_t>> signature = decode_signature_base64(header.str());
    if (!signature) throw vellora_io::exception_io_data("Invalid content signature.");

    if (!reply->get_http_header("Content-Length", header))
        throw vellora_io::exception_io_data("Invalid content length.");
    uint32_t length = parse_content_length(header.str());
    std::vector<uint8_t> body;
    try {
        body.resize(length);
    } catch (const std::bad_alloc&) {
        throw vellora_io::exception_io_data("Invalid content length.");
    }
    if (length) response->read_object(body.data(), length, m_abort);

    verify_signature(body, std::move(*signature));
    std::string answer_text = raw_inflate(body.data(), body.size());
    JSONValuePtr answer = JSONParse(answer_text.data(), answer_text.size());

    JSONValuePtr echoed = answer->objectMember("key", true);
    if (!echoed || echoed->getString() != expected_echo) throw vellora_io::exception_io_data("Invalid content key.");
    return answer;
}

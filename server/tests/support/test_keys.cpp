#include "test_keys.h"

#include "server/file_io.h"

std::string dev_key_path(const char* suffix) {
    return std::string(DEV_KEY_DIR) + "/development-only-update-key-" + suffix;
}

const answer_signer& dev_signer() {
    static const answer_signer signer(load_private_key_pem(read_file(dev_key_path("private.pem"))));
    return signer;
}

const EVP_PKEY& dev_public_key() {
    static const evp_pkey_ptr key = load_public_key_pem(read_file(dev_key_path("public.pem")));
    return *key;
}

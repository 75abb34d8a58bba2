// The update key: the blob the client embeds, the header the Windows build generates
// with tools/public_key_blob.py, and the committed development key pair.
#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <regex>

#include "server/answer_signer.h"
#include "server/file_io.h"
#include "server/public_key_blob.h"
#include "server/rsa_keys.h"
#include "support/answer_check.h"
#include "support/test_keys.h"

namespace {

uint32_t u32_le(const public_key_blob_t& blob, size_t at) {
    return blob[at] | blob[at + 1] << 8 | blob[at + 2] << 16 | uint32_t(blob[at + 3]) << 24;
}

// The bytes of the C array in a header written by public_key_blob.py.
std::vector<uint8_t> header_bytes(const std::string& header) {
    std::vector<uint8_t> bytes;
    std::regex byte("0x([0-9a-f]{2})");
    for (auto it = std::sregex_iterator(header.begin(), header.end(), byte); it != std::sregex_iterator(); ++it)
        bytes.push_back(static_cast<uint8_t>(std::stoi((*it)[1].str(), nullptr, 16)));
    return bytes;
}

int run(const std::string& command) { return std::system(command.c_str()); }

TEST(UpdateKey, BlobLayout) {
    evp_pkey_ptr key = generate_update_key();
    public_key_blob_t blob = public_key_blob(*key);
    EXPECT_EQ(6, blob[0]);
    EXPECT_EQ(2, blob[1]);
    EXPECT_EQ(0u, u32_le(blob, 0) >> 16);  // reserved
    EXPECT_EQ(0xA400u, u32_le(blob, 4));
    EXPECT_EQ("RSA1", std::string(blob.begin() + 8, blob.begin() + 12));
    EXPECT_EQ(512u, u32_le(blob, 12));
    EXPECT_EQ(65537u, u32_le(blob, 16));
    // The modulus, least significant byte first, against OpenSSL's big-endian bytes.
    BIGNUM* n = nullptr;
    ASSERT_TRUE(EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_RSA_N, &n));
    unsigned char big_endian[64];
    ASSERT_EQ(64, BN_bn2binpad(n, big_endian, 64));
    BN_free(n);
    for (size_t i = 0; i < 64; ++i) EXPECT_EQ(big_endian[63 - i], blob[20 + i]) << i;
    EXPECT_NE(0, blob[83] & 0x80);  // a 512-bit modulus has its top bit set
}

TEST(UpdateKey, KeysOfOtherSizesAreRefused) {
    evp_pkey_ptr big(EVP_RSA_gen(1024));
    ASSERT_TRUE(big);
    EXPECT_THROW(load_private_key_pem(private_key_pem(*big)), std::runtime_error);
    EXPECT_THROW(load_public_key_pem(public_key_pem(*big)), std::runtime_error);
    EXPECT_THROW(public_key_blob(*big), std::runtime_error);
    EXPECT_THROW(load_private_key_pem("not a key"), std::runtime_error);
}

TEST(UpdateKey, PythonToolWritesTheSameBlobAsTheKeyTool) {
    std::string header = std::string(TEST_OUTPUT_DIR) + "/public_key_blob_test.h";
    std::remove(header.c_str());
    ASSERT_EQ(0, run("python3 " + std::string(PUBLIC_KEY_BLOB_TOOL) + " " + dev_key_path("public.pem") + " " + header +
                     " --name test_blob"));
    std::string text = read_file(header);
    EXPECT_NE(std::string::npos, text.find("static const unsigned char test_blob[84]"));
    public_key_blob_t blob = public_key_blob(dev_public_key());
    EXPECT_EQ(std::vector<uint8_t>(blob.begin(), blob.end()), header_bytes(text));
    // The committed blob file matches as well.
    std::string committed = read_file(dev_key_path("public.blob"));
    EXPECT_EQ(std::string(blob.begin(), blob.end()), committed);
}

TEST(UpdateKey, PythonToolRefusesOtherKeys) {
    evp_pkey_ptr big(EVP_RSA_gen(1024));
    std::string pem = std::string(TEST_OUTPUT_DIR) + "/rsa1024-public.pem";
    std::remove(pem.c_str());
    write_new_file(pem, public_key_pem(*big), 0644);
    std::string header = std::string(TEST_OUTPUT_DIR) + "/rsa1024.h";
    std::remove(header.c_str());
    EXPECT_NE(0, run("python3 " + std::string(PUBLIC_KEY_BLOB_TOOL) + " " + pem + " " + header + " 2>/dev/null"));
    EXPECT_FALSE(file_exists(header));
}

TEST(UpdateKey, DevelopmentKeyPairSignsAndVerifies) {
    std::string body = "any answer body";
    std::string signature = dev_signer().signature_header(body);
    EXPECT_TRUE(signature_verifies(body, signature, dev_public_key()));
    EXPECT_FALSE(signature_verifies(body + ".", signature, dev_public_key()));
    // Standard Base64 of 64 bytes: 88 characters of the alphabet, "=" padding, one line.
    EXPECT_TRUE(std::regex_match(signature, std::regex("[A-Za-z0-9+/]{86}==")));
    // PKCS #1 v1.5 signatures are deterministic: the same body, the same signature.
    EXPECT_EQ(signature, dev_signer().signature_header(body));
}

}  // namespace

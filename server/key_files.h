// The keygen command: a new update key pair written as three files in one folder,
// named from a prefix (default "update-key"):
//   PREFIX-private.pem  the private key (PKCS #8 PEM, readable by the owner only)
//   PREFIX-public.pem   the public key (SubjectPublicKeyInfo PEM)
//   PREFIX-public.blob  the 84 bytes the client embeds (public_key_blob.h)
// Existing files are never overwritten: losing a deployed private key would strand
// every installed client.
#pragma once

#include <string>

struct key_file_names {
    std::string private_pem;
    std::string public_pem;
    std::string public_blob;
};

key_file_names key_files_in(const std::string& folder, const std::string& prefix);

// Throws std::runtime_error when a file exists already or cannot be written.
key_file_names write_new_key_files(const std::string& folder, const std::string& prefix);

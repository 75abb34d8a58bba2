#include "key_files.h"

#include <stdexcept>

#include "file_io.h"
#include "public_key_blob.h"
#include "rsa_keys.h"

key_file_names key_files_in(const std::string& folder, const std::string& prefix) {
    std::string base = (folder.empty() ? "." : folder) + "/" + prefix;
    return {base + "-private.pem", base + "-public.pem", base + "-public.blob"};
}

key_file_names write_new_key_files(const std::string& folder, const std::string& prefix) {
    key_file_names names = key_files_in(folder, prefix);
    for (const std::string* path : {&names.private_pem, &names.public_pem, &names.public_blob})
        if (file_exists(*path)) throw std::runtime_error(*path + " exists already; not overwritten");
    evp_pkey_ptr key = generate_update_key();
    public_key_blob_t blob = public_key_blob(*key);
    write_new_file(names.private_pem, private_key_pem(*key), 0600);
    write_new_file(names.public_pem, public_key_pem(*key), 0644);
    write_new_file(names.public_blob, std::string(blob.begin(), blob.end()), 0644);
    return names;
}

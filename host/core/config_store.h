// Where the host keeps each component's configuration stream: one file per component
// in the profile's configuration folder. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class config_store {
public:
    // `folder` is created when missing.
    explicit config_store(std::wstring folder);

    // The stored stream of a component (its library file name); empty when none.
    std::vector<uint8_t> load(const std::string& component_file_name) const;

    // Replaces the stored stream atomically: the bytes go to a temporary file in the
    // same folder, are flushed to disk, and the file is then renamed over the old one,
    // so a crash while saving leaves either the old or the new stream, never a mix.
    // Throws exception_win32 when that fails (the old stream is then untouched).
    void save(const std::string& component_file_name, const std::vector<uint8_t>& bytes) const;

    // Keeps a copy of the stored stream as "<name>.cfg.damaged" (replacing an older
    // copy), so that a stream that could not be read completely is not lost when the
    // next save replaces it. Answers the copy's path, or empty when copying failed.
    std::wstring keep_damaged_copy(const std::string& component_file_name) const;

    std::wstring path_of(const std::string& component_file_name) const;

private:
    std::wstring m_folder;
};

// Whole-file reads and writes for the commands.
#pragma once

#include <string>
#include <sys/types.h>

bool file_exists(const std::string& path);

// Throws std::runtime_error naming the file.
std::string read_file(const std::string& path);

// Creates `path`, which must not exist yet, with permission bits `mode`.
void write_new_file(const std::string& path, const std::string& data, mode_t mode);

// Writes `path` whole, replacing it when it exists: the data goes to a temporary file
// beside it that is then renamed, so a failure leaves the old file as it was.
void replace_file(const std::string& path, const std::string& data);

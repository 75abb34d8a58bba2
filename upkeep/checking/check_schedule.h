// When the update notifier checks, and where it may write. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One hour in Windows file-time units (100 ns).
constexpr uint64_t kFileTimeHour = 36000000000ull;

// Whether the timer starts an automatic check: never for interval 0; always when no
// check was recorded; otherwise when now - last (unsigned, so a last check in the
// future counts as long ago) is at least the interval.
bool is_automatic_check_due(int32_t interval_hours, uint64_t last_check, uint64_t now);

// The folder of a module path: the text before the last separator ("/", "\\", ":",
// "|"), with the separator itself kept only when the character before it is also a
// separator.
std::string module_folder_of(std::string_view path);

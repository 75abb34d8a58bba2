// The current time as a Windows file time (100-nanosecond units since 1601-01-01 UTC).
#pragma once

#include <windows.h>

#include <cstdint>

inline uint64_t current_file_time() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

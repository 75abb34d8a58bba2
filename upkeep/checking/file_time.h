// The current time as a Windows file time (100-nanosecond units since 1601-01-01 UTC).
#pragma once

#include <windows.h>

#include <cstdint>

inline uint64_t current_file_time() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

#include <cstdio>
#include <string>

// A file time as local time "YYYY-MM-DD hh:mm:ss"; "<invalid timestamp>" when it
// cannot be converted.
inline std::string format_timestamp(uint64_t file_time) {
    FILETIME utc{static_cast<DWORD>(file_time), static_cast<DWORD>(file_time >> 32)}, local;
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return "<invalid timestamp>";
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

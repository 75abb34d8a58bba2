#include <string>

#include "api/exceptions.h"
#include "api/shared.h"
#include "bug_check.h"

namespace {

std::string system_message(uint32_t code) {
    if (code == 0) return "Undefined error";
    string_sink_std text;
    if (uFormatSystemErrorMessage(text, code)) return text.str();
    return "Unknown error code (" + std::to_string(code) + ")";
}

// Building the message calls into the system; the caller's last-error value is kept.
std::string system_message_keeping_last_error(uint32_t code) {
    DWORD saved = GetLastError();
    std::string message = system_message(code);
    SetLastError(saved);
    return message;
}

}  // namespace

exception_win32::exception_win32(uint32_t code)
    : message_exception(system_message_keeping_last_error(code)), m_code(code) {}

void throw_bug_check_v2() {
    string_sink_std path;
    uGetCallStackPath(path);
    throw exception_bug_check_v2(path.str());
}

void throw_win32(DWORD code) {
    std::string label = "Win32 error #" + std::to_string(code);
    uCallStackTracker marker(label.c_str());
    throw exception_win32(code);
}

void throw_last_error() { throw_win32(GetLastError()); }

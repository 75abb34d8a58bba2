// Throw helpers that consult the host: the bug check with the call-stack path, and
// Windows errors taken from the last-error value. Windows builds only.
#pragma once

#include <windows.h>

// Throws exception_bug_check_v2 with the calling thread's call-stack path.
[[noreturn]] void throw_bug_check_v2();

// Throws exception_win32 for `code`, inside a scope marker "Win32 error #<code>".
[[noreturn]] void throw_win32(DWORD code);

// throw_win32(GetLastError()).
[[noreturn]] void throw_last_error();

// The host's helper library (shared.dll): UTF-8 forms of Windows calls, message
// boxes, temporary files and the crash-report aids. Text arguments and results are
// UTF-8; out-texts are string_sinks. Functions are callable from any thread unless
// they touch windows, which belong to the thread that created them.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstddef>

#include "string_sink.h"

#ifdef SHARED_BUILDING_DLL
#define SHARED_API __declspec(dllexport)
#else
#define SHARED_API __declspec(dllimport)
#endif

// Crash-report scope marker: pushes `label` on the calling thread's call-stack path
// for the marker's lifetime. The label must outlive the marker (a literal).
class SHARED_API uCallStackTracker {
public:
    explicit uCallStackTracker(const char* label);
    ~uCallStackTracker();
    uCallStackTracker(const uCallStackTracker&) = delete;
    uCallStackTracker& operator=(const uCallStackTracker&) = delete;

private:
    size_t m_depth;
};

extern "C" {

// The calling thread's open scope markers, outermost first, joined by " / ".
// Answers false (and an empty text) when none is open.
SHARED_API bool uGetCallStackPath(string_sink& out);

// The host's crash path: writes a crash report and ends the process. Never returns.
SHARED_API __attribute__((noreturn)) void uBugCheck();

// Structured-exception filter for callbacks that Windows calls: writes a crash report
// with the exception and the call-stack path into the profile folder, then ends the
// process.
SHARED_API LONG WINAPI uExceptFilterProc(EXCEPTION_POINTERS* info);

SHARED_API int uMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// Appends printf-style formatted text to `out`.
SHARED_API void uPrintfV(string_sink& out, const char* format, va_list args);
// The system's message for an error code, without the trailing line break; false
// when the system has none.
SHARED_API bool uFormatSystemErrorMessage(string_sink& out, DWORD code);
SHARED_API bool uGetModuleFileName(HMODULE module, string_sink& out);
SHARED_API DWORD uGetFileAttributes(const char* path);
// The temporary folder, ending with a path separator.
SHARED_API bool uGetTempPath(string_sink& out);
SHARED_API bool uGetTempFileName(const char* folder, const char* prefix, UINT unique, string_sink& out);
SHARED_API bool uDeleteFile(const char* path);
SHARED_API HINSTANCE uShellExecute(HWND window, const char* verb, const char* file, const char* parameters,
                                   const char* directory, int show);
SHARED_API bool uSetWindowText(HWND window, const char* text);
SHARED_API bool uSetDlgItemText(HWND dialog, UINT id, const char* text);
// Sets the first `length` bytes of `text` (a UTF-8 prefix) as the item's text.
SHARED_API bool uSetDlgItemTextEx(HWND dialog, UINT id, const char* text, size_t length);
SHARED_API bool uGetDlgItemText(HWND dialog, UINT id, string_sink& out);
// Sends a message whose LPARAM is a text, converted to UTF-16 for the call.
SHARED_API LRESULT uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text);
SHARED_API LRESULT uSendDlgItemMessageText(HWND dialog, UINT id, UINT message, WPARAM wparam, const char* text);
SHARED_API bool uAppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text);
SHARED_API bool uGetFullPathName(const char* name, string_sink& out);
SHARED_API void uOutputDebugString(const char* text);
// Compares two texts the way the user expects them sorted (case-insensitive, by the
// user's locale); negative, zero or positive.
SHARED_API int uStringCompare(const char* a, const char* b);
// Case-insensitive comparison of two UTF-8 texts by code point after simple case
// folding; negative, zero or positive.
SHARED_API int stricmp_utf8(const char* a, const char* b);
// A manual-reset event that is never signalled: waiting on it waits forever.
SHARED_API HANDLE GetInfiniteWaitEvent();

}  // extern "C"

// Printf-style convenience over uPrintfV.
inline void uPrintf(string_sink& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    uPrintfV(out, format, args);
    va_end(args);
}

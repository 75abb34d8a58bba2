// Parts of the helper library that only the host uses: where crash reports go, and
// hooks that let the host (and its tests) observe calls with outside effects instead
// of letting them happen.
#pragma once

#include <windows.h>

#include "frame/api/shared.h"

// Exit code of a process ended by the crash path.
constexpr UINT kCrashExitCode = 70;

// Structured-exception code that uBugCheck reports.
constexpr DWORD kBugCheckExceptionCode = 0xE0424B43;

// Replaces uMessageBox: gets the call's arguments and answers for the user.
using message_box_hook = int (*)(void* context, HWND owner, const char* text, const char* caption, UINT type);
// Replaces uShellExecute: gets the call's arguments; its answer is returned as is.
using shell_execute_hook = HINSTANCE (*)(void* context, HWND window, const char* verb, const char* file,
                                         const char* parameters, const char* directory, int show);

extern "C" {
// Crash reports are written into this folder (UTF-8, created when missing).
SHARED_API void shared_set_crash_report_folder(const char* folder);
// nullptr restores the real call.
SHARED_API void shared_set_message_box_hook(message_box_hook hook, void* context);
SHARED_API void shared_set_shell_execute_hook(shell_execute_hook hook, void* context);
}

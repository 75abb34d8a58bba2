// Ends itself through the host's crash path in the way its argument names:
//   window-fault    an access violation inside a guarded window procedure
//   escaped-throw   a C++ exception escaping a guarded window procedure
//   bug-check       uBugCheck()
//   abort           abort() with the signal handlers installed
// Usage: crash_path_probe MODE CRASH-FOLDER. Exits 0 only if the crash path failed.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "frame/seh_guard.h"
#include "frame/signal_handler.h"
#include "host/shared/shared_host.h"

namespace {

const char* g_mode = "";

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    run_seh_guarded([&] {
        uCallStackTracker marker("guarded window procedure");
        if (message == WM_APP) {
            if (std::strcmp(g_mode, "window-fault") == 0) *static_cast<volatile int*>(nullptr) = 1;
            if (std::strcmp(g_mode, "escaped-throw") == 0) throw std::runtime_error("thrown in a window procedure");
        }
        result = DefWindowProcW(window, message, wparam, lparam);
    });
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    g_mode = argv[1];
    shared_set_crash_report_folder(argv[2]);
    uCallStackTracker marker("crash probe");

    if (std::strcmp(g_mode, "bug-check") == 0) uBugCheck();
    if (std::strcmp(g_mode, "abort") == 0) {
        SetUnhandledExceptionFilter(uExceptFilterProc);
        install_signal_handlers();
        std::abort();
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CrashProbeWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"CrashProbeWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window, WM_APP, 0, 0);
    return 0;
}

// The crash path: a report with the exception and the call-stack path, written into
// the crash-report folder, then the end of the process.
#include <cstdio>
#include <mutex>
#include <string>

#include "frame/seh_guard.h"
#include "frame/signal_handler.h"
#include "frame/utf16.h"
#include "shared_host.h"

namespace {

std::mutex g_folder_lock;
std::wstring g_folder;

std::wstring crash_folder() {
    std::lock_guard<std::mutex> lock(g_folder_lock);
    if (!g_folder.empty()) return g_folder;
    wchar_t exe[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe, n);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"crash reports";
}

std::string module_at(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return "unknown module";
    wchar_t name[MAX_PATH];
    DWORD n = GetModuleFileNameW(module, name, MAX_PATH);
    std::wstring path(name, n);
    return wide_to_utf8(path.substr(path.find_last_of(L"\\/") + 1));
}

std::string describe(const EXCEPTION_RECORD& record) {
    char line[160];
    std::string text;
    std::snprintf(line, sizeof line, "Exception code: %08lX\r\nAddress: %p (%s)\r\n",
                  static_cast<unsigned long>(record.ExceptionCode), record.ExceptionAddress,
                  module_at(record.ExceptionAddress).c_str());
    text += line;
    if (record.ExceptionCode == kEscapedCppExceptionCode && record.NumberParameters >= 1)
        text += "C++ exception: " + std::string(reinterpret_cast<const char*>(record.ExceptionInformation[0])) + "\r\n";
    else if (record.ExceptionCode == kSignalExceptionCode && record.NumberParameters >= 1)
        text += "Signal: " + std::to_string(record.ExceptionInformation[0]) + "\r\n";
    else if (record.ExceptionCode == kBugCheckExceptionCode)
        text += "Bug check\r\n";
    return text;
}

[[noreturn]] void report_and_end(const EXCEPTION_RECORD& record) {
    string_sink_std path;
    uGetCallStackPath(path);
    std::string report = "Crash report\r\n" + describe(record) + "Call path: " + path.str() + "\r\n";

    std::wstring folder = crash_folder();
    CreateDirectoryW(folder.c_str(), nullptr);
    SYSTEMTIME now;
    GetSystemTime(&now);
    wchar_t name[64];
    std::swprintf(name, 64, L"\\crash-%04u%02u%02u-%02u%02u%02u-%lu.txt", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, GetCurrentProcessId());
    HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    std::fprintf(stderr, "%s", report.c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    ExitProcess(kCrashExitCode);
}

}  // namespace

void shared_set_crash_report_folder(const char* folder) {
    std::lock_guard<std::mutex> lock(g_folder_lock);
    g_folder = utf8_to_wide(folder ? folder : "");
    while (!g_folder.empty() && (g_folder.back() == L'\\' || g_folder.back() == L'/')) g_folder.pop_back();
}

LONG WINAPI uExceptFilterProc(EXCEPTION_POINTERS* info) {
    EXCEPTION_RECORD empty{};
    report_and_end(info && info->ExceptionRecord ? *info->ExceptionRecord : empty);
}

void uBugCheck() {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = kBugCheckExceptionCode;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
    record.ExceptionAddress = __builtin_return_address(0);
    report_and_end(record);
}

// UTF-8 forms of Windows calls: texts are converted to UTF-16 at the call.
#include <windows.h>
#include <shellapi.h>

#include <mutex>
#include <vector>

#include "frame/utf16.h"
#include "shared_host.h"

namespace {

struct hooks {
    std::mutex lock;
    message_box_hook message_box = nullptr;
    void* message_box_context = nullptr;
    shell_execute_hook shell_execute = nullptr;
    void* shell_execute_context = nullptr;
};
hooks g_hooks;

std::wstring window_text(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

}  // namespace

void shared_set_message_box_hook(message_box_hook hook, void* context) {
    std::lock_guard<std::mutex> lock(g_hooks.lock);
    g_hooks.message_box = hook;
    g_hooks.message_box_context = context;
}

void shared_set_shell_execute_hook(shell_execute_hook hook, void* context) {
    std::lock_guard<std::mutex> lock(g_hooks.lock);
    g_hooks.shell_execute = hook;
    g_hooks.shell_execute_context = context;
}

int uMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    message_box_hook hook;
    void* context;
    {
        std::lock_guard<std::mutex> lock(g_hooks.lock);
        hook = g_hooks.message_box;
        context = g_hooks.message_box_context;
    }
    if (hook) return hook(context, owner, text ? text : "", caption ? caption : "", type);
    return MessageBoxW(owner, wide_arg(text).get(), wide_arg(caption).get(), type);
}

HINSTANCE uShellExecute(HWND window, const char* verb, const char* file, const char* parameters,
                        const char* directory, int show) {
    shell_execute_hook hook;
    void* context;
    {
        std::lock_guard<std::mutex> lock(g_hooks.lock);
        hook = g_hooks.shell_execute;
        context = g_hooks.shell_execute_context;
    }
    if (hook) return hook(context, window, verb, file, parameters, directory, show);
    return ShellExecuteW(window, wide_arg(verb).get(), wide_arg(file).get(), wide_arg(parameters).get(),
                         wide_arg(directory).get(), show);
}

bool uFormatSystemErrorMessage(string_sink& out, DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n == 0 || !buffer) {
        out.reset();
        return false;
    }
    std::wstring text(buffer, n);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    out.set_string(wide_to_utf8(text));
    return !text.empty();
}

bool uGetModuleFileName(HMODULE module, string_sink& out) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            out.reset();
            return false;
        }
        if (n < buffer.size()) {
            out.set_string(wide_to_utf8(std::wstring_view(buffer.data(), n)));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

DWORD uGetFileAttributes(const char* path) { return GetFileAttributesW(utf8_to_wide(path).c_str()); }

bool uGetTempPath(string_sink& out) {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) {
        out.reset();
        return false;
    }
    out.set_string(wide_to_utf8(std::wstring_view(buffer, n)));
    return true;
}

bool uGetTempFileName(const char* folder, const char* prefix, UINT unique, string_sink& out) {
    wchar_t buffer[MAX_PATH];
    if (!GetTempFileNameW(utf8_to_wide(folder).c_str(), utf8_to_wide(prefix).c_str(), unique, buffer)) {
        out.reset();
        return false;
    }
    out.set_string(wide_to_utf8(buffer));
    return true;
}

bool uDeleteFile(const char* path) { return DeleteFileW(utf8_to_wide(path).c_str()) != 0; }

bool uSetWindowText(HWND window, const char* text) { return SetWindowTextW(window, wide_arg(text).get()) != 0; }

bool uSetDlgItemText(HWND dialog, UINT id, const char* text) {
    return SetDlgItemTextW(dialog, static_cast<int>(id), wide_arg(text).get()) != 0;
}

bool uSetDlgItemTextEx(HWND dialog, UINT id, const char* text, size_t length) {
    std::wstring wide = utf8_to_wide(std::string_view(text, length));
    return SetDlgItemTextW(dialog, static_cast<int>(id), wide.c_str()) != 0;
}

bool uGetDlgItemText(HWND dialog, UINT id, string_sink& out) {
    HWND item = GetDlgItem(dialog, static_cast<int>(id));
    if (!item) {
        out.reset();
        return false;
    }
    out.set_string(wide_to_utf8(window_text(item)));
    return true;
}

LRESULT uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text) {
    wide_arg wide(text);
    return SendMessageW(window, message, wparam, reinterpret_cast<LPARAM>(wide.get()));
}

LRESULT uSendDlgItemMessageText(HWND dialog, UINT id, UINT message, WPARAM wparam, const char* text) {
    wide_arg wide(text);
    return SendDlgItemMessageW(dialog, static_cast<int>(id), message, wparam, reinterpret_cast<LPARAM>(wide.get()));
}

bool uAppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    // Separators and owner-drawn items carry no text pointer.
    if (flags & (MF_SEPARATOR | MF_OWNERDRAW | MF_BITMAP)) return AppendMenuW(menu, flags, id, nullptr) != 0;
    return AppendMenuW(menu, flags, id, wide_arg(text).get()) != 0;
}

bool uGetFullPathName(const char* name, string_sink& out) {
    std::wstring wide = utf8_to_wide(name);
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) {
        out.reset();
        return false;
    }
    std::wstring buffer(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, &buffer[0], nullptr);
    if (n == 0 || n >= buffer.size()) {
        out.reset();
        return false;
    }
    buffer.resize(n);
    out.set_string(wide_to_utf8(buffer));
    return true;
}

void uOutputDebugString(const char* text) { OutputDebugStringW(utf8_to_wide(text ? text : "").c_str()); }

HANDLE GetInfiniteWaitEvent() {
    // Created once, never signalled, never closed: it lives as long as the process.
    static HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

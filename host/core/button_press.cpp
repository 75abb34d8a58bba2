#include "button_press.h"

#include <windows.h>

namespace {

std::wstring text_of(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

struct search {
    const std::wstring* title;
    const std::wstring* button_text;
    HWND button = nullptr;
};

BOOL CALLBACK find_button(HWND child, LPARAM context) {
    auto* s = reinterpret_cast<search*>(context);
    wchar_t window_class[16] = L"";
    GetClassNameW(child, window_class, 16);
    if (lstrcmpiW(window_class, L"Button") == 0 && text_of(child) == *s->button_text) {
        s->button = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK find_window(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<search*>(context);
    if (IsWindowVisible(window) && text_of(window) == *s->title) EnumChildWindows(window, &find_button, context);
    return s->button ? FALSE : TRUE;
}

}  // namespace

bool press_window_button(const std::wstring& window_title, const std::wstring& button_text) {
    search s{&window_title, &button_text};
    EnumThreadWindows(GetCurrentThreadId(), &find_window, reinterpret_cast<LPARAM>(&s));
    if (!s.button || !IsWindowEnabled(s.button)) return false;
    SendMessageW(s.button, BM_CLICK, 0, 0);
    return true;
}

// One pattern for every dialog: a C++ object bound to its dialog window. The object
// is handed to the dialog at creation, found again from the window for every message,
// and told when the window is gone. Messages are handled under the structured-
// exception guard. Main thread.
#pragma once

#include <windows.h>

class dialog_window {
public:
    dialog_window(const dialog_window&) = delete;
    dialog_window& operator=(const dialog_window&) = delete;

    HWND handle() const { return m_window; }

protected:
    dialog_window() = default;
    virtual ~dialog_window() = default;

    // Creates a modeless dialog from a template of `module`; nullptr when it fails
    // (GetLastError tells why).
    HWND create_modeless(HINSTANCE module, int template_id, HWND parent);
    // Runs a modal dialog; answers EndDialog's result, or -1 when it cannot be shown.
    INT_PTR run_modal(HINSTANCE module, int template_id, HWND parent);

    // A dialog procedure's answer: TRUE when handled (and, where the message needs a
    // result, SetWindowLongPtr(DWLP_MSGRESULT) was set), FALSE to let the dialog
    // manager handle it.
    virtual INT_PTR on_message(UINT message, WPARAM wparam, LPARAM lparam) = 0;
    // Called after the window's last message; the window handle is already cleared.
    virtual void on_window_gone() {}

private:
    static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND m_window = nullptr;
};

// A child window's rectangle in its parent's client coordinates.
inline RECT rect_in_parent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Sets a dialog procedure's message result and answers TRUE (handled).
inline INT_PTR dialog_result(HWND dialog, LRESULT result) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

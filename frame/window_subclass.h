// Subclassing an existing control: the object sees every message of the window first
// and passes on what it does not handle. Messages are handled under the structured-
// exception guard. Main thread.
#pragma once

#include <windows.h>

class window_subclass {
public:
    window_subclass(const window_subclass&) = delete;
    window_subclass& operator=(const window_subclass&) = delete;

    // Answers false (and leaves the window as it was) when the window cannot be bound.
    bool attach(HWND window);
    // Unbinds; also done when the window is destroyed and when the object goes.
    void detach();
    HWND window() const { return m_window; }

protected:
    window_subclass() = default;
    virtual ~window_subclass() { detach(); }

    virtual LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) = 0;
    // The window's previous procedure.
    LRESULT call_previous(UINT message, WPARAM wparam, LPARAM lparam);

private:
    static LRESULT CALLBACK subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                          DWORD_PTR data);

    HWND m_window = nullptr;
    HWND m_calling = nullptr;  // the window whose message is being handled
};

#include "window_subclass.h"

#include <commctrl.h>

#include "seh_guard.h"

namespace {
constexpr UINT_PTR kSubclassId = 0x564C5343;
}

bool window_subclass::attach(HWND window) {
    detach();
    if (!window || !SetWindowSubclass(window, &window_subclass::subclass_proc, kSubclassId,
                                      reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_window = window;
    return true;
}

void window_subclass::detach() {
    if (m_window) RemoveWindowSubclass(m_window, &window_subclass::subclass_proc, kSubclassId);
    m_window = nullptr;
}

LRESULT window_subclass::call_previous(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefSubclassProc(m_calling ? m_calling : m_window, message, wparam, lparam);
}

LRESULT CALLBACK window_subclass::subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                                DWORD_PTR data) {
    LRESULT result = 0;
    run_seh_guarded([&] {
        auto* self = reinterpret_cast<window_subclass*>(data);
        HWND previous = self->m_calling;
        self->m_calling = window;
        result = self->on_message(message, wparam, lparam);
        self->m_calling = previous;
        if (message == WM_NCDESTROY) self->detach();
    });
    return result;
}

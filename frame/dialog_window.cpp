#include "dialog_window.h"

#include "seh_guard.h"

HWND dialog_window::create_modeless(HINSTANCE module, int template_id, HWND parent) {
    return CreateDialogParamW(module, MAKEINTRESOURCEW(template_id), parent, &dialog_window::dialog_proc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR dialog_window::run_modal(HINSTANCE module, int template_id, HWND parent) {
    return DialogBoxParamW(module, MAKEINTRESOURCEW(template_id), parent, &dialog_window::dialog_proc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK dialog_window::dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    INT_PTR result = FALSE;
    run_seh_guarded([&] {
        dialog_window* self;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<dialog_window*>(lparam);
            self->m_window = window;
            SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<dialog_window*>(GetWindowLongPtrW(window, DWLP_USER));
        }
        if (!self) return;
        result = self->on_message(message, wparam, lparam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, DWLP_USER, 0);
            self->m_window = nullptr;
            self->on_window_gone();
        }
    });
    return result;
}

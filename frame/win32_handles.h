// RAII owners of Win32 handles. Each closes its handle when it goes; copying is
// deleted, moving hands the handle over.
#pragma once

#include <windows.h>

#include <utility>

template <class Handle, class Traits>
class win32_handle {
public:
    win32_handle() = default;
    explicit win32_handle(Handle h) : m_handle(h) {}
    win32_handle(const win32_handle&) = delete;
    win32_handle& operator=(const win32_handle&) = delete;
    win32_handle(win32_handle&& other) noexcept : m_handle(other.release()) {}
    win32_handle& operator=(win32_handle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~win32_handle() { reset(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::invalid(); }
    Handle release() { return std::exchange(m_handle, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) {
        if (m_handle != Traits::invalid()) Traits::close(m_handle);
        m_handle = h;
    }

private:
    Handle m_handle = Traits::invalid();
};

struct kernel_handle_traits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
// Handles whose "none" is INVALID_HANDLE_VALUE (CreateFile, FindFirstFile uses its own).
struct file_handle_traits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct registry_key_traits {
    static HKEY invalid() { return nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};
struct module_traits {
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE h) { FreeLibrary(h); }
};
struct find_handle_traits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
struct gdi_font_traits {
    static HFONT invalid() { return nullptr; }
    static void close(HFONT h) { DeleteObject(h); }
};
struct gdi_brush_traits {
    static HBRUSH invalid() { return nullptr; }
    static void close(HBRUSH h) { DeleteObject(h); }
};
struct icon_traits {
    static HICON invalid() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
struct menu_traits {
    static HMENU invalid() { return nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};

using kernel_handle_t = win32_handle<HANDLE, kernel_handle_traits>;
using file_handle_t = win32_handle<HANDLE, file_handle_traits>;
using registry_key_t = win32_handle<HKEY, registry_key_traits>;
using module_t = win32_handle<HMODULE, module_traits>;
using find_handle_t = win32_handle<HANDLE, find_handle_traits>;
using font_t = win32_handle<HFONT, gdi_font_traits>;
using brush_t = win32_handle<HBRUSH, gdi_brush_traits>;
using menu_t = win32_handle<HMENU, menu_traits>;
using icon_t = win32_handle<HICON, icon_traits>;

// A device context obtained with GetDC, released with ReleaseDC.
class window_dc {
public:
    explicit window_dc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~window_dc() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A GDI object selected into a device context until the selection goes.
class gdi_selection {
public:
    gdi_selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~gdi_selection() { SelectObject(m_dc, m_previous); }
    gdi_selection(const gdi_selection&) = delete;
    gdi_selection& operator=(const gdi_selection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A critical section and its scoped lock.
class critical_section {
public:
    critical_section() { InitializeCriticalSection(&m_section); }
    ~critical_section() { DeleteCriticalSection(&m_section); }
    critical_section(const critical_section&) = delete;
    critical_section& operator=(const critical_section&) = delete;
    void enter() { EnterCriticalSection(&m_section); }
    void leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class critical_section_lock {
public:
    explicit critical_section_lock(critical_section& section) : m_section(section) { m_section.enter(); }
    ~critical_section_lock() { m_section.leave(); }
    critical_section_lock(const critical_section_lock&) = delete;
    critical_section_lock& operator=(const critical_section_lock&) = delete;

private:
    critical_section& m_section;
};

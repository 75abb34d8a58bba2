#include "main_window.h"

#include "frame/api/exceptions.h"
#include "frame/seh_guard.h"
#include "frame/utf16.h"

namespace {

constexpr wchar_t kClassName[] = L"VelloraReferenceHost";
constexpr UINT kShowLinesMessage = WM_APP + 1;
constexpr UINT kWakeMessage = WM_APP + 2;
// The console pane keeps at most this many characters; older text is dropped.
constexpr int kConsoleTextLimit = 4 * 1024 * 1024;

void register_class() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) throw exception_win32(GetLastError());
    registered = true;
}

HMENU build_menu_bar(HMENU& help) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, main_window::command_exit, L"E&xit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING, main_window::command_clear_console, L"&Clear console");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, main_window::command_list_components, L"&Components");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

}  // namespace

main_window::main_window(events handlers, bool show) : m_events(std::move(handlers)) {
    register_class();
    m_menu = build_menu_bar(m_help);
    m_window = CreateWindowExW(0, kClassName, L"Vellora reference host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 760, 480, nullptr, m_menu, GetModuleHandleW(nullptr), nullptr);
    if (!m_window) throw exception_win32(GetLastError());
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&main_window::window_proc));

    m_console = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0,
                                0, 0, 0, m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_console, EM_SETLIMITTEXT, kConsoleTextLimit, 0);
    m_font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    SendMessageW(m_console, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    RECT client;
    GetClientRect(m_window, &client);
    MoveWindow(m_console, 0, 0, client.right, client.bottom, FALSE);
    if (show) {
        ShowWindow(m_window, SW_SHOWNORMAL);
        UpdateWindow(m_window);
    }
}

main_window::~main_window() {
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    if (m_font) DeleteObject(m_font);
}

void main_window::append_line(const std::string& line) {
    bool first;
    {
        std::lock_guard<std::mutex> lock(m_pending_lock);
        first = m_pending.empty();
        m_pending.push_back(line);
    }
    if (first) PostMessageW(m_window, kShowLinesMessage, 0, 0);
}

void main_window::wake() { PostMessageW(m_window, kWakeMessage, 0, 0); }

void main_window::show_pending_lines() {
    std::deque<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(m_pending_lock);
        lines.swap(m_pending);
    }
    std::wstring text;
    for (const std::string& line : lines) text += utf8_to_wide(line) + L"\r\n";
    int length = GetWindowTextLengthW(m_console);
    if (length + static_cast<int>(text.size()) > kConsoleTextLimit) {
        SetWindowTextW(m_console, L"");
        length = 0;
    }
    SendMessageW(m_console, EM_SETSEL, length, length);
    SendMessageW(m_console, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK main_window::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    run_seh_guarded([&] {
        auto* self = reinterpret_cast<main_window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        result = self ? self->handle_message(message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
    });
    return result;
}

LRESULT main_window::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_SIZE:
        MoveWindow(m_console, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wparam) == command_clear_console) {
            SetWindowTextW(m_console, L"");
            return 0;
        }
        if (m_events.on_command) m_events.on_command(LOWORD(wparam));
        return 0;
    case WM_INITMENUPOPUP:
        if (m_events.on_menu_popup) m_events.on_menu_popup(reinterpret_cast<HMENU>(wparam));
        return 0;
    case WM_TIMER:
        if (m_events.on_timer) m_events.on_timer(wparam);
        return 0;
    case WM_CLOSE:
        if (m_events.on_close) m_events.on_close();
        return 0;
    case kShowLinesMessage:
        show_pending_lines();
        return 0;
    case kWakeMessage:
        if (m_events.on_wake) m_events.on_wake();
        return 0;
    default:
        return DefWindowProcW(m_window, message, wparam, lparam);
    }
}

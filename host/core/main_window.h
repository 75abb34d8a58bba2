// The host's main window: a menu bar and a console pane that shows every console
// line. Created and used on the main thread; append_line may be called from any thread.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>

class main_window {
public:
    // What the window asks of its owner, on the main thread.
    struct events {
        std::function<void(UINT command_id)> on_command;
        std::function<void()> on_close;
        std::function<void(UINT_PTR timer_id)> on_timer;
        std::function<void()> on_wake;  // a posted wake-up (see wake())
        std::function<void(HMENU popup)> on_menu_popup;  // a popup menu is about to open
    };

    // Menu command identifiers of the host's own entries.
    enum : UINT { command_exit = 100, command_list_components = 101, command_clear_console = 102 };

    main_window(events handlers, bool show);
    ~main_window();
    main_window(const main_window&) = delete;
    main_window& operator=(const main_window&) = delete;

    HWND handle() const { return m_window; }
    HMENU menu_bar() const { return m_menu; }
    HMENU help_popup() const { return m_help; }

    // Queues a line for the console pane; shown when the main thread gets to it.
    void append_line(const std::string& line);
    // Makes the main thread call events::on_wake soon. Any thread.
    void wake();

private:
    static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
    void show_pending_lines();

    events m_events;
    HWND m_window = nullptr;
    HWND m_console = nullptr;
    HMENU m_menu = nullptr;
    HMENU m_help = nullptr;
    HFONT m_font = nullptr;
    std::mutex m_pending_lock;
    std::deque<std::string> m_pending;
};

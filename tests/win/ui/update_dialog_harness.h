// A harness for window-level tests of the update notifier's dialogs: the real update
// server (a Linux program, started through Wine), the reference host in this process
// with the real vel_upkeep.dll, and helpers that pump messages until something shows.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/host.h"
#include "test_support.h"

// The update server with a catalogue, on a free loopback port. Paths are Linux paths
// under the folder named by the environment variable VL_TEST_WORK.
class update_server_process {
public:
    explicit update_server_process(const std::string& catalogue_json);
    ~update_server_process();
    unsigned port() const { return m_port; }

private:
    std::string m_pid;  // of the server's Linux process
    unsigned m_port = 0;
};

// What the notifier finds stored when the host starts.
struct stored_settings {
    int32_t interval_hours = 0;
    uint64_t last_check = 0;
    std::map<std::string, std::string> hidden;
    bool install_notice_off = false;
};

// Parsed back from the stored stream after the host ended.
struct saved_settings {
    uint64_t last_check = 0;
    std::map<std::string, std::string> hidden;
    bool install_notice_off = false;
};

class dialog_host {
public:
    dialog_host(const update_server_process& server, const stored_settings& settings);
    ~dialog_host();

    host& get() { return *m_host; }
    // Picks "Check for updates..." and waits for the update list dialog.
    HWND check_and_wait_for_dialog();
    // Runs the message loop until `done` answers true or `timeout_ms` passes.
    bool pump_until(const std::function<bool()>& done, DWORD timeout_ms = 30000);
    void pump_for(DWORD ms);
    // Ends the host (saving the configuration) and reads the notifier's settings back.
    saved_settings shut_down();
    const std::wstring& folder() const { return m_scratch.path(); }

private:
    scratch_folder m_scratch;
    std::unique_ptr<host> m_host;
};

// The open update list dialog (the top-level dialog titled "Tendwell"), or nullptr.
HWND find_update_list_dialog();

// Texts of the list view's rows, column by column.
std::vector<std::vector<std::string>> list_rows(HWND list);
// The check box of a row: 2 checked, 1 unchecked, 0 none.
int row_check_image(HWND list, int row);
int selected_row(HWND list);
std::string window_text(HWND window);
// The plain text of a rich edit control, UTF-8.
std::string rich_text(HWND view);
// Whether every character of [from, to) of a rich edit control is marked as a link.
bool rich_is_link(HWND view, long from, long to);
// The texts of the linked runs of a rich edit control, in order (UTF-8).
std::vector<std::string> rich_link_texts(HWND view);

// Sends keys to the next popup menu that opens on this thread (from another thread,
// while the menu's own message loop runs): `keys` in order, each as a key press.
class menu_keys {
public:
    explicit menu_keys(std::vector<WPARAM> keys);
    ~menu_keys();

private:
    HANDLE m_thread = nullptr;
};

// Presses a button of the next dialog titled `caption` that opens (from another
// thread, while its modal loop runs). `look` runs on that thread, once the dialog
// has settled, before the press.
class press_in_next_dialog {
public:
    press_in_next_dialog(const wchar_t* caption, int button, HWND not_this,
                         std::function<void(HWND)> look = nullptr);
    ~press_in_next_dialog();
    HWND seen() const { return m_seen; }

private:
    static DWORD WINAPI run(void* self);
    std::wstring m_caption;
    int m_button;
    HWND m_not_this;
    std::function<void(HWND)> m_look;
    HWND m_seen = nullptr;
    HANDLE m_thread = nullptr;
};

// Saves a picture of a window as PNG in VL_TEST_WORK (through ImageMagick); answers
// the Linux path written.
std::string save_window_png(HWND window, const std::string& name);

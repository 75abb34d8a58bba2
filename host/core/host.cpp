#include "host.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "frame/api/componentversion.h"
#include "frame/api/initquit.h"
#include "frame/utf16.h"
#include "host/shared/shared_host.h"
#include "button_press.h"
#include "host_version.h"

namespace {

constexpr UINT_PTR kWaitTimer = 1;
constexpr UINT_PTR kConsoleWaitTimer = 2;
// How long shutdown lets aborted transfers wind down before unloading.
constexpr DWORD kTransferWindDownMs = 5000;

std::wstring executable_folder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring without_trailing_separator(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

std::wstring full_path(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer, n) : path;
}

std::wstring default_profile_folder(bool portable) {
    if (portable) return executable_folder() + L"\\profile";
    wchar_t appdata[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appdata) == S_OK)
        return std::wstring(appdata) + L"\\Vellora reference host";
    return executable_folder() + L"\\profile";
}

void create_folder_tree(const std::wstring& folder) {
    int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS)
        throw exception_win32(static_cast<DWORD>(result));
}

// One console line for a text that may hold line breaks.
std::string one_line(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c != '\r')
            out += c;
    }
    return out;
}

// The answer a scripted message box gives when no answer is queued: its first button.
int first_button(UINT type) {
    switch (type & 0xF) {
    case MB_OKCANCEL: return IDOK;
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
    }
}

const char* button_name(int id) {
    switch (id) {
    case IDOK: return "ok";
    case IDCANCEL: return "cancel";
    case IDYES: return "yes";
    case IDNO: return "no";
    default: return "other";
    }
}

}  // namespace

host::host(host_options options) : m_options(std::move(options)) {
    m_profile_folder = without_trailing_separator(full_path(
        m_options.profile_folder.empty() ? default_profile_folder(m_options.portable) : m_options.profile_folder));
    m_components_folder = without_trailing_separator(full_path(
        m_options.components_folder.empty() ? executable_folder() + L"\\components" : m_options.components_folder));
    m_answers.assign(m_options.answers.begin(), m_options.answers.end());
}

host::~host() {
    shutdown();
    if (m_options.script_dialogs) {
        shared_set_message_box_hook(nullptr, nullptr);
        shared_set_shell_execute_hook(nullptr, nullptr);
    }
    m_console.set_listener(nullptr);
    m_callbacks.set_wake(nullptr);
}

void host::register_host_services() {
    std::vector<http_host_mapping> mappings;
    for (const std::wstring& text : m_options.http_mappings) {
        http_host_mapping mapping;
        if (parse_http_host_mapping(text, mapping)) mappings.push_back(mapping);
    }
    m_http = std::make_unique<service_impl_single_t<http_client_impl>>(std::move(mappings));

    m_registry.add_instance(console_receiver::class_guid, &m_console);
    m_registry.add_instance(main_thread_callback_manager::class_guid, &m_callbacks);
    m_registry.add_instance(modeless_dialog_manager::class_guid, &m_dialogs);
    m_registry.add_instance(host_version_text::class_guid, &m_version_text);
    m_registry.add_instance(http_client::class_guid, m_http.get());
    m_registry.add_instance(filesystem::class_guid, &m_local_files);
    register_host_version_records(m_registry);
}

void host::install_dialog_hooks() {
    shared_set_message_box_hook(
        [](void* context, HWND, const char* text, const char* caption, UINT type) {
            auto* self = static_cast<host*>(context);
            int answer = first_button(type);
            if (!self->m_answers.empty()) {
                answer = self->m_answers.front();
                self->m_answers.pop_front();
            }
            char kind[16];
            std::snprintf(kind, sizeof kind, "0x%X", type);
            self->m_console.print("[message box] " + std::string(caption) + " | " + kind + " | " + one_line(text) +
                                  " -> " + button_name(answer));
            return answer;
        },
        this);
    shared_set_shell_execute_hook(
        [](void* context, HWND, const char* verb, const char* file, const char* parameters, const char*, int show) {
            auto* self = static_cast<host*>(context);
            self->m_console.print("[shell] " + std::string(verb ? verb : "(default)") + " | " + (file ? file : "") +
                                  " | " + (parameters ? parameters : "") + " | " + std::to_string(show));
            return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
        },
        this);
}

void host::start() {
    if (m_started) return;
    m_started = true;
    create_folder_tree(m_profile_folder);
    shared_set_crash_report_folder(wide_to_utf8(m_profile_folder + L"\\crash reports").c_str());
    SetUnhandledExceptionFilter(uExceptFilterProc);
    m_console.open_log(m_profile_folder + L"\\vlhost.log");
    m_console.set_echo_to_stdout(m_options.echo_to_stdout);
    if (m_options.script_dialogs) install_dialog_hooks();

    m_api = std::make_unique<host_api_impl>(m_registry, "file://" + wide_to_utf8(m_profile_folder) + "\\",
                                            m_options.portable, m_options.skip_startup);
    register_host_services();

    main_window::events events;
    events.on_command = [this](UINT id) {
        if (id == main_window::command_exit) quit(0);
        if (id == main_window::command_list_components)
            for (const std::string& line : component_list()) m_console.print(line);
        if (id >= host_menu::first_command_id) m_menu.execute(id);
    };
    events.on_close = [this] { quit(0); };
    events.on_timer = [this](UINT_PTR id) {
        if (id == kWaitTimer) {
            KillTimer(m_window->handle(), kWaitTimer);
            run_next_action();
        } else if (id == kConsoleWaitTimer) {
            KillTimer(m_window->handle(), kConsoleWaitTimer);
            m_console.print("Timed out waiting for console text: " + m_waiting_for);
            m_waiting_for.clear();
            m_waiting = false;
            quit(3);
        }
    };
    events.on_wake = [this] {
        run_main_thread_callbacks();
        if (!m_waiting_for.empty() && console_has_text_after_cursor(m_waiting_for)) {
            KillTimer(m_window->handle(), kConsoleWaitTimer);
            m_waiting_for.clear();
            m_waiting = false;
            run_next_action();
        }
    };
    events.on_menu_popup = [this](HMENU popup) { m_menu.refresh(popup); };
    m_window = std::make_unique<main_window>(std::move(events), m_options.show_window);
    main_window* window = m_window.get();
    m_console.set_listener([this, window](const std::string& line) {
        window->append_line(line);
        if (m_waiting) window->wake();
    });
    m_callbacks.set_wake([window] { window->wake(); });
    m_api->set_main_window(m_window->handle());

    m_console.print("Vellora reference host " VLHOST_VERSION ", profile " + wide_to_utf8(m_profile_folder));
    m_configuration = std::make_unique<config_store>(m_profile_folder + L"\\configuration");
    m_loader = std::make_unique<component_loader>(*m_api, m_registry, *m_configuration, m_console);
    m_loader->load_folder(m_components_folder);
    m_console.print("Components loaded: " + std::to_string(m_loader->components().size()));
    m_menu.build(m_window->menu_bar(), m_window->help_popup(), m_registry);
    DrawMenuBar(m_window->handle());
    call_hooks(true);
}

void host::call_hooks(bool starting) {
    for (auto& hook : m_registry.all_of<initquit>()) {
        try {
            if (starting)
                hook->on_init();
            else
                hook->on_quit();
        } catch (const std::exception& e) {
            m_console.print(std::string(starting ? "A start hook failed: " : "A stop hook failed: ") + e.what());
        } catch (...) {
            m_console.print(starting ? "A start hook failed: Unknown exception" : "A stop hook failed: Unknown exception");
        }
    }
}

size_t host::run_main_thread_callbacks() {
    return m_callbacks.run_pending([this](const std::string& message) { m_console.print(message); });
}

int host::run() {
    start();
    m_pending_actions.assign(m_options.actions.begin(), m_options.actions.end());
    run_next_action();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (m_dialogs.pre_translate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    shutdown();
    return m_exit_code;
}

bool host::console_has_text_after_cursor(const std::string& text) {
    std::vector<std::string> lines = m_console.lines();
    for (size_t i = m_console_cursor; i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string::npos) {
            m_console_cursor = i + 1;
            return true;
        }
    }
    return false;
}

void host::run_next_action() {
    while (!m_pending_actions.empty() && m_waiting_for.empty()) {
        host_action action = m_pending_actions.front();
        m_pending_actions.pop_front();
        switch (action.kind) {
        case host_action::list_components:
            for (const std::string& line : component_list()) m_console.print(line);
            break;
        case host_action::run_menu:
            if (!m_menu.execute_by_name(action.text)) m_console.print("No main-menu command named " + action.text);
            break;
        case host_action::show_menu: {
            std::string text;
            uint32_t flags = 0;
            if (!m_menu.display_of(action.text, text, flags))
                m_console.print("Menu: " + action.text + " (hidden or missing)");
            else
                m_console.print("Menu: " + text + ((flags & mainmenu_commands::flag_disabled) ? " [disabled]" : " [enabled]"));
            break;
        }
        case host_action::wait_console:
            if (console_has_text_after_cursor(action.text)) break;
            m_waiting_for = action.text;
            m_waiting = true;
            SetTimer(m_window->handle(), kConsoleWaitTimer, action.milliseconds, nullptr);
            return;
        case host_action::wait_ms:
            SetTimer(m_window->handle(), kWaitTimer, action.milliseconds, nullptr);
            return;
        case host_action::press_button:
            if (press_window_button(utf8_to_wide(action.text), utf8_to_wide(action.button)))
                m_console.print("Pressed: " + action.text + " | " + action.button);
            else
                m_console.print("No enabled button " + action.button + " in a window " + action.text);
            break;
        case host_action::quit:
            quit(m_exit_code);
            return;
        }
    }
}

void host::quit(int exit_code) {
    m_exit_code = exit_code;
    m_pending_actions.clear();
    PostQuitMessage(exit_code);
}

void host::shutdown() {
    if (!m_started || m_shut_down) return;
    m_shut_down = true;
    call_hooks(false);
    // Stopped components abort their transfers; let them end while the components can
    // still report it.
    for (DWORD waited = 0; m_http->transfers_in_flight() > 0 && waited < kTransferWindDownMs; waited += 20) Sleep(20);
    close_component_windows();
    m_menu.clear();
    m_callbacks.close();
    m_loader->unload_all();
    m_console.print("Configuration saved; components unloaded.");
}

namespace {

struct component_windows {
    std::vector<HMODULE> modules;
    std::vector<HWND> windows;
};

BOOL CALLBACK collect_component_window(HWND window, LPARAM context) {
    auto* found = reinterpret_cast<component_windows*>(context);
    auto owner = reinterpret_cast<HMODULE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (HMODULE module : found->modules)
        if (owner == module) found->windows.push_back(window);
    return TRUE;
}

}  // namespace

void host::close_component_windows() {
    component_windows found;
    for (const auto& component : m_loader->components()) found.modules.push_back(component->module.get());
    EnumThreadWindows(GetCurrentThreadId(), &collect_component_window, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found.windows)
        if (IsWindow(window)) DestroyWindow(window);
}

std::vector<std::string> host::component_list() {
    std::vector<std::string> lines;
    string_sink_std name, version, file;
    for (auto& record : m_registry.all_of<componentversion>()) {
        record->get_component_name(name);
        record->get_component_version(version);
        record->get_file_name(file);
        lines.push_back("Component: " + name.str() + " " + version.str() + " (" + file.str() + ")");
    }
    return lines;
}

#include "host.h"

#include <windows.h>
#include <shlobj.h>

#include "frame/api/componentversion.h"
#include "frame/utf16.h"
#include "host/shared/shared_host.h"
#include "host_version.h"

namespace {

constexpr UINT_PTR kWaitTimer = 1;

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

}  // namespace

host::host(host_options options) : m_options(std::move(options)) {
    m_profile_folder = without_trailing_separator(full_path(
        m_options.profile_folder.empty() ? default_profile_folder(m_options.portable) : m_options.profile_folder));
    m_components_folder = without_trailing_separator(full_path(
        m_options.components_folder.empty() ? executable_folder() + L"\\components" : m_options.components_folder));
}

host::~host() {
    shutdown();
    m_console.set_listener(nullptr);
}

void host::start() {
    if (m_started) return;
    m_started = true;
    create_folder_tree(m_profile_folder);
    shared_set_crash_report_folder(wide_to_utf8(m_profile_folder + L"\\crash reports").c_str());
    SetUnhandledExceptionFilter(uExceptFilterProc);
    m_console.open_log(m_profile_folder + L"\\vlhost.log");
    m_console.set_echo_to_stdout(m_options.echo_to_stdout);

    m_api = std::make_unique<host_api_impl>(m_registry, "file://" + wide_to_utf8(m_profile_folder) + "\\",
                                            m_options.portable, m_options.skip_startup);
    m_registry.add_instance(console_receiver::class_guid, &m_console);
    register_host_version_records(m_registry);

    main_window::events events;
    events.on_command = [this](UINT id) {
        if (id == main_window::command_exit) quit();
        if (id == main_window::command_list_components)
            for (const std::string& line : component_list()) m_console.print(line);
    };
    events.on_close = [this] { quit(); };
    events.on_timer = [this](UINT_PTR id) {
        if (id != kWaitTimer) return;
        KillTimer(m_window->handle(), kWaitTimer);
        run_next_action();
    };
    events.on_wake = [this] { run_next_action(); };
    m_window = std::make_unique<main_window>(std::move(events), m_options.show_window);
    main_window* window = m_window.get();
    m_console.set_listener([window](const std::string& line) { window->append_line(line); });
    m_api->set_main_window(m_window->handle());

    m_console.print("Vellora reference host " VLHOST_VERSION ", profile " + wide_to_utf8(m_profile_folder));
    m_configuration = std::make_unique<config_store>(m_profile_folder + L"\\configuration");
    m_loader = std::make_unique<component_loader>(*m_api, m_registry, *m_configuration, m_console);
    m_loader->load_folder(m_components_folder);
    m_console.print("Components loaded: " + std::to_string(m_loader->components().size()));
}

int host::run() {
    start();
    m_pending_actions.assign(m_options.actions.begin(), m_options.actions.end());
    m_window->wake();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    shutdown();
    return 0;
}

void host::run_next_action() {
    while (!m_pending_actions.empty()) {
        host_action action = m_pending_actions.front();
        m_pending_actions.pop_front();
        switch (action.kind) {
        case host_action::list_components:
            for (const std::string& line : component_list()) m_console.print(line);
            break;
        case host_action::wait_ms:
            SetTimer(m_window->handle(), kWaitTimer, action.milliseconds, nullptr);
            return;
        case host_action::quit:
            quit();
            return;
        }
    }
}

void host::quit() { PostQuitMessage(0); }

void host::shutdown() {
    if (!m_started || m_shut_down) return;
    m_shut_down = true;
    m_loader->unload_all();
    m_console.print("Configuration saved; components unloaded.");
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

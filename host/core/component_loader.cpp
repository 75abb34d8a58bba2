#include "component_loader.h"

#include <algorithm>
#include <cstdio>

#include "frame/api/componentversion.h"
#include "frame/memory_stream.h"
#include "frame/seh_guard.h"
#include "frame/utf16.h"

namespace {

constexpr uint32_t kOldestClientVersion = component_client_version_porter;
constexpr uint32_t kNewestClientVersion = component_client_version_upkeep;

// Describes a structured exception raised while a component starts, so the host can
// skip the component instead of crashing. Filled by the filter before unwinding.
thread_local std::string t_fault;

LONG WINAPI component_fault_filter(EXCEPTION_POINTERS* info) {
    char text[96];
    const EXCEPTION_RECORD& r = *info->ExceptionRecord;
    if (r.ExceptionCode == kEscapedCppExceptionCode && r.NumberParameters >= 1) {
        t_fault = reinterpret_cast<const char*>(r.ExceptionInformation[0]);
    } else {
        std::snprintf(text, sizeof text, "structured exception %08lX at %p", static_cast<unsigned long>(r.ExceptionCode),
                      r.ExceptionAddress);
        t_fault = text;
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

std::string system_message(DWORD code) { return exception_win32(code).what(); }

std::string file_name_of(const std::wstring& path) {
    return wide_to_utf8(path.substr(path.find_last_of(L"\\/") + 1));
}

bool passes_file_check(service_factory_base* head, const std::string& path) {
    for (service_factory_base* f = head; f; f = f->get_next()) {
        if (f->get_class_guid() != component_file_check::class_guid) continue;
        auto check = service_ptr_t<component_file_check>::adopt(static_cast<component_file_check*>(f->instance_create()));
        if (check && !check->is_file_name_valid(path.c_str())) return false;
    }
    return true;
}

}  // namespace

component_loader::component_loader(host_api& api, service_registry& registry, config_store& configuration,
                                   host_console_impl& console)
    : m_api(api), m_registry(registry), m_configuration(configuration), m_console(console) {}

void component_loader::load_folder(const std::wstring& folder) {
    std::vector<std::wstring> paths;
    WIN32_FIND_DATAW found;
    find_handle_t search(FindFirstFileW((folder + L"\\*.dll").c_str(), &found));
    if (!search) {
        m_console.print("No components found in " + wide_to_utf8(folder));
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) paths.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search.get(), &found));
    std::sort(paths.begin(), paths.end());
    for (const std::wstring& path : paths) load(path);
}

bool component_loader::load(const std::wstring& path) {
    auto component = std::make_unique<loaded_component>();
    component->path = path;
    component->file_name = file_name_of(path);
    const std::string& name = component->file_name;

    component->module.reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!component->module) {
        m_console.print("Failed to load " + name + ": " + system_message(GetLastError()));
        return false;
    }
    if (!GetProcAddress(component->module.get(), VELLORA_ENTRY_NAME)) {
        m_console.print("Skipped " + name + ": not a component (no " VELLORA_ENTRY_NAME " export)");
        return false;
    }

    std::string failure;
    t_fault.clear();
    int faulted = run_seh_guarded(
        [&] {
            try {
                start(*component);
            } catch (const std::exception& e) {
                failure = e.what();
            } catch (...) {
                failure = "Unknown exception";
            }
        },
        component_fault_filter);
    if (faulted) failure = t_fault;
    if (!failure.empty()) {
        m_console.print("Failed to start " + name + ": " + failure);
        m_registry.remove_owner(component.get());
        return false;
    }
    m_components.push_back(std::move(component));
    return true;
}

// Throws a message for everything that makes the component unusable.
void component_loader::start(loaded_component& component) {
    auto entry = reinterpret_cast<vellora_get_interface_fn>(
        reinterpret_cast<void*>(GetProcAddress(component.module.get(), VELLORA_ENTRY_NAME)));
    component_client* client = entry(&m_api, component.module.get());
    if (!client) throw message_exception("the entry point returned no client");
    uint32_t version = client->get_version();
    if (version < kOldestClientVersion || version > kNewestClientVersion)
        throw message_exception("unsupported client interface version " + std::to_string(version));

    std::string path = wide_to_utf8(component.path);
    if (!passes_file_check(client->get_service_list(), path))
        throw message_exception("the component expects another file name (was the file renamed?)");

    client->set_library_path(path.c_str(), component.file_name.c_str());

    std::vector<uint8_t> stored = m_configuration.load(component.file_name);
    memory_stream_reader reader(stored);
    abort_callback_dummy abort;
    try {
        client->set_config(&reader, abort);
    } catch (const std::exception& e) {
        std::wstring copy = m_configuration.keep_damaged_copy(component.file_name);
        m_console.print("Configuration of " + component.file_name + " is damaged (" + e.what() +
                        "): settings read before the damage are kept, the others are defaults" +
                        (copy.empty() ? std::string(".") : "; the damaged file is kept as " + wide_to_utf8(copy) + "."));
    }

    client->services_init(true);
    component.client = client;
    m_registry.add_factories(client->get_service_list(), &component);
}

void component_loader::save_configuration(loaded_component& component) {
    memory_stream_writer writer;
    abort_callback_dummy abort;
    try {
        component.client->get_config(&writer, abort);
        m_configuration.save(component.file_name, writer.data());
    } catch (const std::exception& e) {
        m_console.print("Could not save the configuration of " + component.file_name + ": " + e.what() +
                        "; the stored settings are unchanged.");
    } catch (...) {
        m_console.print("Could not save the configuration of " + component.file_name +
                        ": Unknown exception; the stored settings are unchanged.");
    }
}

void component_loader::unload_all() {
    for (auto& component : m_components) {
        save_configuration(*component);
        component->client->services_init(false);
    }
    for (auto it = m_components.rbegin(); it != m_components.rend(); ++it) m_registry.remove_owner(it->get());
    while (!m_components.empty()) m_components.pop_back();
}

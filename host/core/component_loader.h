// Loads the components of a folder and drives each through its life:
// entry, set library path, set configuration, services initialised (true);
// at the end get configuration, services initialised (false), unload.
// A component that fails at any step is reported on the console and skipped.
// Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config_store.h"
#include "frame/api/component_client.h"
#include "frame/win32_handles.h"
#include "host_console.h"
#include "service_registry.h"

struct loaded_component {
    std::wstring path;
    std::string file_name;  // UTF-8, as handed to the component
    module_t module;
    component_client* client = nullptr;
};

class component_loader {
public:
    component_loader(host_api& api, service_registry& registry, config_store& configuration,
                     host_console_impl& console);

    // Loads every DLL of `folder` (sorted by name) that exports the entry point.
    void load_folder(const std::wstring& folder);
    // Loads one library; answers whether it became a running component.
    bool load(const std::wstring& path);
    // Saves every component's configuration and reports services uninitialised, in
    // load order; then forgets their services and unloads them, last loaded first.
    void unload_all();

    const std::vector<std::unique_ptr<loaded_component>>& components() const { return m_components; }

private:
    void start(loaded_component& component);
    void save_configuration(loaded_component& component);

    host_api& m_api;
    service_registry& m_registry;
    config_store& m_configuration;
    host_console_impl& m_console;
    std::vector<std::unique_ptr<loaded_component>> m_components;
};

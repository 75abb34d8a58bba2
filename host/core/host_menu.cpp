#include "host_menu.h"

#include <algorithm>

#include "frame/utf16.h"

void host_menu::build(HMENU bar, HMENU help_popup, service_registry& registry) {
    auto sets = registry.all_of<mainmenu_commands>();
    std::stable_sort(sets.begin(), sets.end(), [](auto& a, auto& b) { return a->get_sort_priority() < b->get_sort_priority(); });
    HMENU components_popup = nullptr;
    bool help_separated = false;
    string_sink_std name;
    for (auto& set : sets) {
        HMENU popup = help_popup;
        if (set->get_parent() != mainmenu_groups::help) {
            if (!components_popup) {
                components_popup = CreatePopupMenu();
                AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(components_popup), L"C&omponents");
            }
            popup = components_popup;
        }
        for (size_t i = 0, n = set->get_command_count(); i < n; ++i) {
            set->get_name(i, name);
            UINT id = first_command_id + static_cast<UINT>(m_items.size());
            if (popup == help_popup && !help_separated) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                help_separated = true;
            }
            AppendMenuW(popup, MF_STRING, id, utf8_to_wide(name.str()).c_str());
            m_items.push_back({set, i, id, popup, name.str()});
        }
    }
}

void host_menu::refresh(HMENU popup) {
    string_sink_std text;
    for (const item& it : m_items) {
        if (it.popup != popup) continue;
        uint32_t flags = 0;
        bool shown = it.set->get_display(it.index, text, flags);
        std::wstring wide = utf8_to_wide(text.str());
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_STATE;
        info.dwTypeData = &wide[0];
        info.fState = (!shown || (flags & mainmenu_commands::flag_disabled)) ? MFS_GRAYED : MFS_ENABLED;
        if (flags & mainmenu_commands::flag_checked) info.fState |= MFS_CHECKED;
        SetMenuItemInfoW(popup, it.id, FALSE, &info);
    }
}

bool host_menu::execute(UINT id) {
    for (const item& it : m_items) {
        if (it.id != id) continue;
        it.set->execute(it.index, nullptr);
        return true;
    }
    return false;
}

const host_menu::item* host_menu::find(const std::string& name) const {
    for (const item& it : m_items)
        if (it.name == name) return &it;
    return nullptr;
}

bool host_menu::execute_by_name(const std::string& name) {
    const item* it = find(name);
    if (!it) return false;
    it->set->execute(it->index, nullptr);
    return true;
}

bool host_menu::display_of(const std::string& name, std::string& text, uint32_t& flags) {
    const item* it = find(name);
    if (!it) return false;
    string_sink_std out;
    flags = 0;
    bool shown = it->set->get_display(it->index, out, flags);
    text = out.str();
    return shown;
}

void host_menu::clear() { m_items.clear(); }

// The main menu entries of the components' main-menu command sets: placed under the
// popup of their group, their texts and flags refreshed whenever a popup opens.
// Main thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "frame/api/mainmenu_commands.h"
#include "service_registry.h"

class host_menu {
public:
    // Menu item identifiers from here on belong to component commands.
    static constexpr UINT first_command_id = 1000;

    // Adds every command of every set in the registry. `help_popup` takes the commands
    // of the help group; the others go to a "Components" popup added to `bar`.
    void build(HMENU bar, HMENU help_popup, service_registry& registry);
    // Updates the texts and flags of the component items in `popup`.
    void refresh(HMENU popup);
    // Runs the command behind a menu item; false when the identifier is not one of ours.
    bool execute(UINT id);
    // Runs the command of that name; false when there is none.
    bool execute_by_name(const std::string& name);
    // The command's display text and flags now; false when there is none or it is hidden.
    bool display_of(const std::string& name, std::string& text, uint32_t& flags);
    // Forgets every command (before the components unload).
    void clear();

private:
    struct item {
        service_ptr_t<mainmenu_commands> set;
        size_t index;
        UINT id;
        HMENU popup;
        std::string name;
    };
    const item* find(const std::string& name) const;

    std::vector<item> m_items;
};

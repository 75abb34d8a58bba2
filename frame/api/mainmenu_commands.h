// A set of main-menu commands that a component offers; the host places them in its
// menu under the group the set names. Main thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "service.h"
#include "string_sink.h"

class mainmenu_commands : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{35077B8C-6E70-47BA-B9DD-D51500E12F2E}");

    // Display flags: the command is shown greyed out and cannot be picked.
    enum : uint32_t { flag_disabled = 1, flag_checked = 2 };

    virtual size_t get_command_count() = 0;
    virtual guid get_command(size_t index) = 0;
    virtual void get_name(size_t index, string_sink& out) = 0;
    virtual bool get_description(size_t index, string_sink& out) = 0;
    virtual guid get_parent() = 0;
    virtual uint32_t get_sort_priority() = 0;
    // The text and flags to show now; false hides the command.
    virtual bool get_display(size_t index, string_sink& text, uint32_t& flags) = 0;
    // Runs the command. The callee owns `caller` (may be empty) and releases it.
    virtual void execute(size_t index, service_ptr_t<service_base> caller) = 0;
};

// The host's menu groups that components can name as parent.
namespace mainmenu_groups {
// The "Help" menu.
constexpr guid help = guid::parse("{25DC3DB7-996A-4F48-AF53-712032EFA04F}");
}  // namespace mainmenu_groups

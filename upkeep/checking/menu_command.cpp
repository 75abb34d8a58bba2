// The main-menu command "Check for updates...".
#include "frame/api/mainmenu_commands.h"
#include "frame/service_factory.h"
#include "update_manager.h"

namespace {

constexpr guid kCommand = guid::parse("{198D73E5-2248-44E3-A285-B6795E7CF7BE}");
constexpr guid kParentGroup = guid::parse("{25DC3DB7-996A-4F48-AF53-712032EFA04F}");
constexpr char kName[] = "Check for updates...";

// One command; the index argument is not looked at.
class AUMenu : public mainmenu_commands {
public:
    size_t get_command_count() override { return 1; }
    guid get_command(size_t) override { return kCommand; }
    void get_name(size_t, string_sink& out) override { out.set_string(kName); }
    bool get_description(size_t, string_sink& out) override {
        out.set_string("Check for Vellora and third-party component updates on the Internet.");
        return true;
    }
    guid get_parent() override { return kParentGroup; }
    uint32_t get_sort_priority() override { return 0x80000000u; }
    bool get_display(size_t, string_sink& text, uint32_t& flags) override {
        bool busy = AUM::instance().in_progress();
        text.set_string(kName);
        if (busy) text.add_string(" (in progress)");
        flags = busy ? 1 : 0;
        return true;
    }
    void execute(size_t, service_ptr_t<service_base> caller) override {
        caller.release();
        if (!AUM::instance().in_progress()) AUM::instance().start_check(true);
    }
};

service_factory_single_t<AUMenu> g_menu_command;

}  // namespace

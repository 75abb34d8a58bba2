// What makes vel_upkeep a component: its frame profile, version record, file-name
// check and signal handlers.
#include "frame/component.h"
#include "frame/componentversion_impl.h"
#include "frame/signal_handler.h"
#include "checking/update_manager.h"

// Before the host may unload the notifier, a running check's worker must be done.
const component_profile g_component_profile = {component_client_version_upkeep, true,
                                               [] { AUM::instance().wait_for_running_check(); }};

namespace {

constexpr char kAbout[] =
    "Automatically notifies the user about available updates of installed components and Vellora itself.\n"
    "See \"Preferences > Tools > Tendwell\".\n"
    "Protocol version: 1.1\n" __DATE__ " " __TIME__;

service_factory_single_t<componentversion_impl_simple> g_version_record("Tendwell", "1", kAbout);
service_factory_single_t<component_file_check_impl> g_file_check("vel_upkeep.dll");

struct signal_handler_installer {
    signal_handler_installer() { install_signal_handlers(); }
} g_signal_handler_installer;

}  // namespace

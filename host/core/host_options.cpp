#include "host_options.h"

#include <windows.h>

#include "frame/utf16.h"
#include "host_http.h"

const char* host_usage_text() {
    return "Usage: vlhost [options] [actions]\n"
           "Options:\n"
           "  --components DIR     load components from DIR (default: components beside vlhost.exe)\n"
           "  --profile DIR        keep configuration, log and crash reports in DIR\n"
           "  --portable           portable installation: the profile defaults to profile beside vlhost.exe\n"
           "  --skip-startup       ask components to skip their start-up work\n"
           "  --stdout             echo console lines to standard output\n"
           "  --hidden             do not show the main window\n"
           "  --resolve N:P=A:Q    send HTTP requests for host N port P to address A port Q\n"
           "  --script-dialogs     print message boxes and shell calls to the console instead of showing them\n"
           "  --answer BUTTON      answer the next message box with ok, cancel, yes or no (implies\n"
           "                       --script-dialogs; repeatable)\n"
           "  --help               show this text\n"
           "Actions, run in order once the components are loaded:\n"
           "  --list               print the component list to the console\n"
           "  --menu NAME          run the main-menu command NAME\n"
           "  --menu-state NAME    print the main-menu command's text and state to the console\n"
           "  --wait-console TEXT  wait (up to 60 s) for a console line containing TEXT, after the\n"
           "                       line the previous wait found; a timeout ends the host with exit code 3\n"
           "  --wait MS            keep running for MS milliseconds\n"
           "  --press TITLE|BUTTON click the enabled button BUTTON of the open window TITLE\n"
           "  --quit               shut down (saving configuration) and exit\n";
}

bool parse_host_options(const std::vector<std::wstring>& args, host_options& out, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        auto value = [&](std::wstring& target) {
            if (i + 1 >= args.size()) {
                error = "missing value after " + wide_to_utf8(a);
                return false;
            }
            target = args[++i];
            return true;
        };
        std::wstring v;
        if (a == L"--help" || a == L"-h") {
            out.show_help = true;
        } else if (a == L"--components") {
            if (!value(out.components_folder)) return false;
        } else if (a == L"--profile") {
            if (!value(out.profile_folder)) return false;
        } else if (a == L"--portable") {
            out.portable = true;
        } else if (a == L"--skip-startup") {
            out.skip_startup = true;
        } else if (a == L"--stdout") {
            out.echo_to_stdout = true;
        } else if (a == L"--hidden") {
            out.show_window = false;
        } else if (a == L"--resolve") {
            if (!value(v)) return false;
            http_host_mapping mapping;
            if (!parse_http_host_mapping(v, mapping)) {
                error = "--resolve takes name:port=address:port";
                return false;
            }
            out.http_mappings.push_back(v);
        } else if (a == L"--script-dialogs") {
            out.script_dialogs = true;
        } else if (a == L"--answer") {
            if (!value(v)) return false;
            int answer = v == L"ok" ? IDOK : v == L"cancel" ? IDCANCEL : v == L"yes" ? IDYES : v == L"no" ? IDNO : 0;
            if (!answer) {
                error = "--answer takes ok, cancel, yes or no";
                return false;
            }
            out.answers.push_back(answer);
            out.script_dialogs = true;
        } else if (a == L"--list") {
            out.actions.push_back({host_action::list_components});
        } else if (a == L"--menu" || a == L"--menu-state") {
            if (!value(v)) return false;
            out.actions.push_back({a == L"--menu" ? host_action::run_menu : host_action::show_menu, 0, wide_to_utf8(v)});
        } else if (a == L"--wait-console") {
            if (!value(v)) return false;
            out.actions.push_back({host_action::wait_console, 60000, wide_to_utf8(v)});
        } else if (a == L"--wait") {
            if (!value(v)) return false;
            wchar_t* end = nullptr;
            unsigned long n = wcstoul(v.c_str(), &end, 10);
            if (v.empty() || *end != 0) {
                error = "--wait needs a number of milliseconds";
                return false;
            }
            out.actions.push_back({host_action::wait_ms, static_cast<unsigned>(n)});
        } else if (a == L"--press") {
            if (!value(v)) return false;
            size_t bar = v.find(L'|');
            if (bar == std::wstring::npos || bar == 0 || bar + 1 == v.size()) {
                error = "--press takes window title|button text";
                return false;
            }
            out.actions.push_back({host_action::press_button, 0, wide_to_utf8(v.substr(0, bar)), wide_to_utf8(v.substr(bar + 1))});
        } else if (a == L"--quit") {
            out.actions.push_back({host_action::quit});
        } else {
            error = "unknown argument: " + wide_to_utf8(a);
            return false;
        }
    }
    return true;
}

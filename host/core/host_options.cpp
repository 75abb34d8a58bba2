#include "host_options.h"

#include "frame/utf16.h"

const char* host_usage_text() {
    return "Usage: vlhost [options] [actions]\n"
           "Options:\n"
           "  --components DIR   load components from DIR (default: components beside vlhost.exe)\n"
           "  --profile DIR      keep configuration, log and crash reports in DIR\n"
           "  --portable         portable installation: the profile defaults to profile beside vlhost.exe\n"
           "  --skip-startup     ask components to skip their start-up work\n"
           "  --stdout           echo console lines to standard output\n"
           "  --hidden           do not show the main window\n"
           "  --help             show this text\n"
           "Actions, run in order once the components are loaded:\n"
           "  --list             print the component list to the console\n"
           "  --wait MS          keep running for MS milliseconds\n"
           "  --quit             shut down (saving configuration) and exit\n";
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
        } else if (a == L"--list") {
            out.actions.push_back({host_action::list_components});
        } else if (a == L"--wait") {
            std::wstring ms;
            if (!value(ms)) return false;
            wchar_t* end = nullptr;
            unsigned long n = wcstoul(ms.c_str(), &end, 10);
            if (ms.empty() || *end != 0) {
                error = "--wait needs a number of milliseconds";
                return false;
            }
            out.actions.push_back({host_action::wait_ms, static_cast<unsigned>(n)});
        } else if (a == L"--quit") {
            out.actions.push_back({host_action::quit});
        } else {
            error = "unknown argument: " + wide_to_utf8(a);
            return false;
        }
    }
    return true;
}

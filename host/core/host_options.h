// How a host run is set up and what it does without a person: parsed from the
// command line of vlhost.exe, or filled in directly by tests.
#pragma once

#include <string>
#include <vector>

struct host_action {
    enum kind_t { list_components, wait_ms, quit, run_menu, show_menu, wait_console, press_button };
    kind_t kind;
    unsigned milliseconds = 0;  // wait_ms; the time limit of wait_console
    std::string text;           // the command name, the console text waited for, or the window title
    std::string button;         // press_button: the button's text
};

struct host_options {
    std::wstring components_folder;  // empty: "components" beside the executable
    std::wstring profile_folder;     // empty: by portable mode (see host.cpp)
    bool portable = false;
    bool skip_startup = false;
    bool echo_to_stdout = false;
    bool show_window = true;
    bool show_help = false;
    // Message boxes and shell calls are printed to the console instead of happening;
    // message boxes take their answers from `answers` (IDOK, IDYES, ...), then the
    // first button of their kind.
    bool script_dialogs = false;
    std::vector<int> answers;
    // "name:port=address:port": HTTP requests to name:port go to address:port.
    std::vector<std::wstring> http_mappings;
    std::vector<host_action> actions;
};

// Parses the arguments after the program name. On a bad argument answers false with
// a message in `error`.
bool parse_host_options(const std::vector<std::wstring>& args, host_options& out, std::string& error);

// The command-line help text.
const char* host_usage_text();

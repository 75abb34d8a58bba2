// vlhost.exe: the reference host's program entry.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/host.h"

int wmain_impl() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    LocalFree(argv);

    host_options options;
    std::string error;
    if (!parse_host_options(args, options, error)) {
        std::fprintf(stderr, "vlhost: %s\n\n%s", error.c_str(), host_usage_text());
        return 2;
    }
    if (options.show_help) {
        std::fputs(host_usage_text(), stdout);
        return 0;
    }
    try {
        host app(std::move(options));
        return app.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vlhost: %s\n", e.what());
        return 1;
    }
}

int main() { return wmain_impl(); }

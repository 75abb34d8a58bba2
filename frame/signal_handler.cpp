#include "signal_handler.h"

#include <csignal>
#include <initializer_list>

namespace {

constexpr int kSignals[] = {2, 15, 21, 22};

void raise_for_signal(int signal_number) {
    ULONG_PTR argument = static_cast<ULONG_PTR>(signal_number);
    RaiseException(kSignalExceptionCode, EXCEPTION_NONCONTINUABLE, 1, &argument);
}

// Not every runtime library exports the abort-behaviour setter; where it is missing
// there is nothing to clear.
void clear_abort_behaviour() {
    using set_abort_behavior_fn = unsigned int(__cdecl*)(unsigned int, unsigned int);
    constexpr unsigned int kWriteAbortMessage = 0x1, kCallReportFault = 0x2;
    for (const char* runtime : {"ucrtbase.dll", "msvcrt.dll"}) {
        HMODULE module = GetModuleHandleA(runtime);
        if (!module) continue;
        auto setter = reinterpret_cast<set_abort_behavior_fn>(
            reinterpret_cast<void*>(GetProcAddress(module, "_set_abort_behavior")));
        if (setter) setter(0, kWriteAbortMessage | kCallReportFault);
    }
}

}  // namespace

void install_signal_handlers() {
    for (int s : kSignals) std::signal(s, raise_for_signal);
    clear_abort_behaviour();
}

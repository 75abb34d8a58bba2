// Turns the runtime library's fatal signals into the host's crash path.
#pragma once

#include <windows.h>

// Structured-exception code raised for a runtime signal; its one argument is the
// signal number.
constexpr DWORD kSignalExceptionCode = 0x6F8E1DC8;

// Installs one handler for the signals interrupt (2), terminate (15), break (21) and
// abort (22) that raises a non-continuable structured exception carrying the signal
// number, and clears the runtime's abort behaviour flags (no message, no fault report).
void install_signal_handlers();

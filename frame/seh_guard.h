// The structured-exception guard for callbacks that Windows calls directly (window
// and timer procedures): a fault inside the guarded body reaches the filter, by
// default the host's uExceptFilterProc, so the crash is reported. A C++ exception
// escaping the body is raised as a structured exception with code
// kEscapedCppExceptionCode and its message as the one argument, so it takes the
// same path instead of unwinding into system code.
#pragma once

#include <windows.h>

#include <exception>

#include "api/shared.h"

using seh_filter_fn = LONG(WINAPI*)(EXCEPTION_POINTERS* info);

// Structured-exception code for a C++ exception that escaped a guarded body;
// ExceptionInformation[0] points to its UTF-8 message.
constexpr DWORD kEscapedCppExceptionCode = 0xE0564C43;

extern "C" {
// Calls body(context) under a frame-based handler that asks `filter` about every
// structured exception raised inside. Returns 0 when the body returned, 1 when the
// filter answered EXCEPTION_EXECUTE_HANDLER (the stack is unwound to the guard;
// on i686 C++ destructors of the skipped frames do not run).
int seh_guarded_call(void (*body)(void*), void* context, seh_filter_fn filter);
}

[[noreturn]] void raise_escaped_cpp_exception(const char* message);

// Runs `body()` under the guard; see seh_guarded_call for the result.
template <class Body>
int run_seh_guarded(Body&& body, seh_filter_fn filter = uExceptFilterProc) {
    auto trampoline = [](void* context) {
        try {
            (*static_cast<Body*>(context))();
        } catch (const std::exception& e) {
            raise_escaped_cpp_exception(e.what());
        } catch (...) {
            raise_escaped_cpp_exception("Unknown exception");
        }
    };
    return seh_guarded_call(trampoline, &body, filter);
}

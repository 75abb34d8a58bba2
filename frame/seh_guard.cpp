// The handler half of the guard; the frame that installs it is in seh_guard_*.S.
#include "seh_guard.h"

namespace {

// Codes that GCC's own unwinder raises for C++ exceptions on SEH targets: they are
// handled by the C++ frames themselves, never by the guard.
bool is_gcc_unwinder_code(DWORD code) { return (code & 0xF0FFFFFF) == 0x20474343; }

}  // namespace

void raise_escaped_cpp_exception(const char* message) {
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(message);
    RaiseException(kEscapedCppExceptionCode, EXCEPTION_NONCONTINUABLE, 1, &argument);
    __builtin_unreachable();
}

#if defined(__x86_64__)

extern "C" void seh_guard_resume();

extern "C" EXCEPTION_DISPOSITION seh_guard_handler(EXCEPTION_RECORD* record, void* establisher_frame,
                                                   CONTEXT* context, DISPATCHER_CONTEXT* dispatcher) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    if (is_gcc_unwinder_code(record->ExceptionCode)) return ExceptionContinueSearch;
    // The guard frame keeps the filter at [frame + 32], above the callee's home area.
    seh_filter_fn filter = *reinterpret_cast<seh_filter_fn*>(static_cast<char*>(establisher_frame) + 32);
    EXCEPTION_POINTERS info{record, context};
    LONG verdict = filter(&info);
    if (verdict == EXCEPTION_CONTINUE_EXECUTION) return ExceptionContinueExecution;
    if (verdict == EXCEPTION_CONTINUE_SEARCH) return ExceptionContinueSearch;
    RtlUnwindEx(establisher_frame, reinterpret_cast<void*>(&seh_guard_resume), record, reinterpret_cast<void*>(1),
                dispatcher->ContextRecord, dispatcher->HistoryTable);
    return ExceptionContinueSearch;  // not reached
}

#elif defined(__i386__)

namespace {
// The registration record that seh_guarded_call pushes on the thread's handler chain.
struct guard_record {
    guard_record* previous;
    void* handler;
    void* frame_ebp;
    seh_filter_fn filter;
};
}  // namespace

extern "C" __attribute__((noreturn)) void seh_guard_resume_at(void* record, int result);

extern "C" EXCEPTION_DISPOSITION __cdecl seh_guard_handler(EXCEPTION_RECORD* record, void* establisher_frame,
                                                           CONTEXT* context, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    if (is_gcc_unwinder_code(record->ExceptionCode)) return ExceptionContinueSearch;
    auto* guard = static_cast<guard_record*>(establisher_frame);
    EXCEPTION_POINTERS info{record, context};
    LONG verdict = guard->filter(&info);
    if (verdict == EXCEPTION_CONTINUE_EXECUTION) return ExceptionContinueExecution;
    if (verdict == EXCEPTION_CONTINUE_SEARCH) return ExceptionContinueSearch;
    // Run the inner frames' unwind handlers, then resume in the guard frame.
    RtlUnwind(establisher_frame, nullptr, record, nullptr);
    seh_guard_resume_at(establisher_frame, 1);
}

#else
#error "seh guard: unsupported architecture"
#endif

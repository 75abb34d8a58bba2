// The structured-exception guard: a fault or an escaping C++ exception inside the
// guarded body reaches the filter; a filter that handles it resumes after the guard.
#include <gtest/gtest.h>

#include <stdexcept>

#include "frame/api/exceptions.h"
#include "frame/seh_guard.h"

namespace {

DWORD g_seen_code = 0;
std::string g_seen_message;
int g_filter_calls = 0;

LONG WINAPI handling_filter(EXCEPTION_POINTERS* info) {
    ++g_filter_calls;
    g_seen_code = info->ExceptionRecord->ExceptionCode;
    g_seen_message.clear();
    if (g_seen_code == kEscapedCppExceptionCode)
        g_seen_message = reinterpret_cast<const char*>(info->ExceptionRecord->ExceptionInformation[0]);
    return EXCEPTION_EXECUTE_HANDLER;
}

void reset() {
    g_seen_code = 0;
    g_seen_message.clear();
    g_filter_calls = 0;
}

void write_to_null() { *static_cast<volatile int*>(nullptr) = 1; }

constexpr UINT kFaultMessage = WM_APP + 7;

LRESULT CALLBACK guarded_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    int faulted = run_seh_guarded(
        [&] {
            if (message == kFaultMessage) write_to_null();
            result = DefWindowProcW(window, message, wparam, lparam);
        },
        handling_filter);
    return faulted ? -1 : result;
}

}  // namespace

TEST(SehGuard, BodyThatReturnsNeverAsksTheFilter) {
    reset();
    int ran = 0;
    EXPECT_EQ(0, run_seh_guarded([&] { ++ran; }, handling_filter));
    EXPECT_EQ(1, ran);
    EXPECT_EQ(0, g_filter_calls);
}

TEST(SehGuard, AccessViolationReachesTheFilter) {
    reset();
    EXPECT_EQ(1, run_seh_guarded([] { write_to_null(); }, handling_filter));
    EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), g_seen_code);
    EXPECT_EQ(1, g_filter_calls);
    // The guard leaves the thread able to do it again.
    EXPECT_EQ(1, run_seh_guarded([] { write_to_null(); }, handling_filter));
    EXPECT_EQ(2, g_filter_calls);
}

TEST(SehGuard, EscapingCppExceptionReachesTheFilterWithItsMessage) {
    reset();
    EXPECT_EQ(1, run_seh_guarded([] { throw vellora_io::exception_io("lost the disk"); }, handling_filter));
    EXPECT_EQ(kEscapedCppExceptionCode, g_seen_code);
    EXPECT_EQ("lost the disk", g_seen_message);
    EXPECT_EQ(1, run_seh_guarded([] { throw 42; }, handling_filter));
    EXPECT_EQ("Unknown exception", g_seen_message);
}

TEST(SehGuard, CppExceptionsHandledInsideTheBodyStayInside) {
    reset();
    bool caught = false;
    EXPECT_EQ(0, run_seh_guarded(
                     [&] {
                         try {
                             throw std::runtime_error("inner");
                         } catch (const std::exception&) {
                             caught = true;
                         }
                     },
                     handling_filter));
    EXPECT_TRUE(caught);
    EXPECT_EQ(0, g_filter_calls);
}

TEST(SehGuard, FaultInAGuardedWindowProcedureReachesTheFilter) {
    reset();
    WNDCLASSW wc{};
    wc.lpfnWndProc = guarded_window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GuardedTestWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"GuardedTestWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(-1, SendMessageW(window, kFaultMessage, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), g_seen_code);
    // The window keeps working after the fault.
    EXPECT_EQ(0, SendMessageW(window, WM_NULL, 0, 0));
    DestroyWindow(window);
}

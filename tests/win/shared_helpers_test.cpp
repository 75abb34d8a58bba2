// The helper library as components call it, and the frame's Windows error messages.
#include <gtest/gtest.h>

#include "frame/api/shared.h"
#include "frame/bug_check.h"
#include "host/shared/shared_host.h"
#include "test_support.h"

namespace {

std::string call_stack_path() {
    string_sink_std path;
    uGetCallStackPath(path);
    return path.str();
}

}  // namespace

TEST(SharedHelpers, CallStackTrackerNestsPerThread) {
    EXPECT_EQ("", call_stack_path());
    {
        uCallStackTracker outer("AUGULT");
        {
            uCallStackTracker inner("sendRequest");
            EXPECT_EQ("AUGULT / sendRequest", call_stack_path());
            std::string other_thread = "unset";
            HANDLE t = CreateThread(
                nullptr, 0,
                [](void* out) -> DWORD {
                    *static_cast<std::string*>(out) = call_stack_path();
                    return 0;
                },
                &other_thread, 0, nullptr);
            WaitForSingleObject(t, INFINITE);
            CloseHandle(t);
            EXPECT_EQ("", other_thread);
        }
        EXPECT_EQ("AUGULT", call_stack_path());
    }
    EXPECT_EQ("", call_stack_path());
}

TEST(SharedHelpers, Win32ExceptionMessages) {
    string_sink_std system_text;
    ASSERT_TRUE(uFormatSystemErrorMessage(system_text, ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(system_text.str().empty());
    EXPECT_NE('\n', system_text.str().back());

    const struct {
        DWORD code;
        std::string message;
    } cases[] = {
        {0, "Undefined error"},
        {ERROR_FILE_NOT_FOUND, system_text.str()},
        {0xE0001234u, "Unknown error code (3758101044)"},
    };
    for (const auto& c : cases) {
        SetLastError(1234);
        exception_win32 e(c.code);
        EXPECT_EQ(1234u, GetLastError()) << "building the message must keep the last error";
        EXPECT_EQ(c.message, e.what());
        EXPECT_EQ(c.code, e.get_code());
    }
}

TEST(SharedHelpers, ThrowsCarryTheScopeMarkers) {
    uCallStackTracker scope("AUULD::Install");
    try {
        throw_bug_check_v2();
    } catch (const exception_bug_check& e) {
        EXPECT_STREQ("Bug check (at: AUULD::Install)", e.what());
    }
    // The Windows error's own marker is open while the exception is built.
    try {
        SetLastError(ERROR_ACCESS_DENIED);
        throw_last_error();
    } catch (const exception_win32& e) {
        EXPECT_EQ(static_cast<uint32_t>(ERROR_ACCESS_DENIED), e.get_code());
    }
    EXPECT_EQ("AUULD::Install", call_stack_path());
}

TEST(SharedHelpers, CaseInsensitiveComparisons) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"vel_upkeep.dll", "VEL_UPKEEP.DLL", 0},
        {"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89", 0},  // letters beyond ASCII fold too
        {"abc", "abd", -1},
        {"abc", "ab", 1},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        int r = stricmp_utf8(c.a, c.b);
        EXPECT_EQ(c.sign, (r > 0) - (r < 0)) << c.a << " vs " << c.b;
    }
    EXPECT_EQ(0, uStringCompare("Tendwell", "TENDWELL"));
    EXPECT_LT(uStringCompare("apple", "Banana"), 0);
}

TEST(SharedHelpers, TemporaryFiles) {
    string_sink_std folder, file;
    ASSERT_TRUE(uGetTempPath(folder));
    EXPECT_EQ('\\', folder.str().back());
    ASSERT_TRUE(uGetTempFileName(folder.get_ptr(), "SDV_", 0, file));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, uGetFileAttributes(file.get_ptr()));
    EXPECT_TRUE(uDeleteFile(file.get_ptr()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, uGetFileAttributes(file.get_ptr()));
}

TEST(SharedHelpers, MessageBoxAndShellCallsCanBeObserved) {
    struct seen_calls {
        std::string text, caption, file, verb;
        UINT type = 0;
        int show = 0;
    } seen;
    shared_set_message_box_hook(
        [](void* context, HWND, const char* text, const char* caption, UINT type) {
            auto* s = static_cast<seen_calls*>(context);
            s->text = text;
            s->caption = caption;
            s->type = type;
            return IDNO;
        },
        &seen);
    shared_set_shell_execute_hook(
        [](void* context, HWND, const char* verb, const char* file, const char*, const char*, int show) {
            auto* s = static_cast<seen_calls*>(context);
            s->verb = verb ? verb : "<none>";
            s->file = file;
            s->show = show;
            return reinterpret_cast<HINSTANCE>(42);
        },
        &seen);
    EXPECT_EQ(IDNO, uMessageBox(nullptr, "Would you like to see it?", "Tendwell", 0x144));
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(42),
              uShellExecute(nullptr, nullptr, "http://example.invalid/", nullptr, nullptr, SW_SHOWDEFAULT));
    shared_set_message_box_hook(nullptr, nullptr);
    shared_set_shell_execute_hook(nullptr, nullptr);
    EXPECT_EQ("Would you like to see it?", seen.text);
    EXPECT_EQ("Tendwell", seen.caption);
    EXPECT_EQ(0x144u, seen.type);
    EXPECT_EQ("<none>", seen.verb);
    EXPECT_EQ("http://example.invalid/", seen.file);
    EXPECT_EQ(SW_SHOWDEFAULT, seen.show);
}

TEST(SharedHelpers, DialogItemTexts) {
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND item = CreateWindowW(L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, window, reinterpret_cast<HMENU>(1001), nullptr,
                              nullptr);
    ASSERT_NE(nullptr, item);
    string_sink_std out;
    EXPECT_TRUE(uSetDlgItemText(window, 1001, "Z:\\Music\\%artist%\\\xE2\x82\xAC"));
    EXPECT_TRUE(uGetDlgItemText(window, 1001, out));
    EXPECT_EQ("Z:\\Music\\%artist%\\\xE2\x82\xAC", out.str());
    EXPECT_TRUE(uSetDlgItemTextEx(window, 1001, "2026-12-11 04:16:05", 16));
    EXPECT_TRUE(uGetDlgItemText(window, 1001, out));
    EXPECT_EQ("2026-12-11 04:16", out.str());
    EXPECT_EQ(TRUE, uSendDlgItemMessageText(window, 1001, WM_SETTEXT, 0, "via message"));
    EXPECT_TRUE(uGetDlgItemText(window, 1001, out));
    EXPECT_EQ("via message", out.str());
    DestroyWindow(window);
}

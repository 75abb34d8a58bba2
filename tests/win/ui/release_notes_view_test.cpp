// Release notes as the user reads them: each component's HTML, converted and
// streamed into the real rich edit control of the update list dialog, must show the
// right characters, and the link marks must cover exactly the links' texts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "frame/utf16.h"
#include "update_dialog_harness.h"

namespace {

const std::string kLongUrl = "http://updates.tendwell.test/get/" + std::string(300, 'x') + ".zip";

// Enough lines that the notes need scrolling.
std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

struct notes_case {
    const char* component;  // the name the list shows
    const char* file;       // an installed component
    std::string html;
    std::string text;                // as the control gives it back
    std::vector<std::string> links;  // the linked runs, in order
};

const notes_case kCases[] = {
    {"Multi-byte", "shared.dll",
     "Gr\xC3\xB6\xC3\x9F" "e <a href=\"http://x.test/\xC3\xBC\">\xC3\x9Cn\xC3\xAF" "code</a> and <b>\xE2\x82\xAC 5</b>",
     "Gr\xC3\xB6\xC3\x9F" "e \xC3\x9Cn\xC3\xAF" "code and \xE2\x82\xAC 5", {"\xC3\x9Cn\xC3\xAF" "code"}},
    // Above 32767 and beyond the Basic Multilingual Plane, then a link counted after them.
    {"Entities", "vel_porter.dll", "&#40000;&#65533; &#128512;&#x1F600; <a href=\"http://x.test/e\">after</a>",
     "\xE9\xB1\x80\xEF\xBF\xBD \xF0\x9F\x98\x80\xF0\x9F\x98\x80 after", {"after"}},
    // A download link longer than any fixed buffer, and an unknown tag with a long name.
    {"Long link", "vel_probe.dll",
     "<a href=\"" + kLongUrl + "\">download</a> <a-very-long-unknown-tag-name-that-goes-on>ok", "download ok",
     {"download"}},
    // A closing tag with nothing open: the notes are shown as they came, markup and all.
    {"Broken", "vel_upkeep.dll", "<b>bold</b></div> tail &amp; more", "<b>bold</b></div> tail &amp; more", {}},
    {"Two links", "vlhost.exe",
     "<a href=\"http://x.test/1\">one</a> and <a href=\"http://x.test/2\">two</a>." + repeated("<br />more", 60) +
         " <a href=\"http://x.test/3\">last</a>",
     "one and two." + repeated("\vmore", 60) + " last", {"one", "two", "last"}},
};

std::string json_text(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string catalogue() {
    std::string json = R"({"components":[)";
    for (const notes_case& c : kCases) {
        if (json.back() == '}') json += ',';
        json += std::string(R"({"fileName":")") + c.file + R"(","name":")" + c.component +
                R"(","version":"9","details":")" + json_text(c.html) + R"("})";
    }
    return json + "]}";
}

class ReleaseNotesView : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new update_server_process(catalogue()); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override {
        h = std::make_unique<dialog_host>(*server, stored_settings{});
        dialog = h->check_and_wait_for_dialog();
        ASSERT_TRUE(dialog);
        list = GetDlgItem(dialog, 1000);
        view = GetDlgItem(dialog, 1011);
    }
    void select(const char* component) {
        auto rows = list_rows(list);
        for (int row = 0; row < static_cast<int>(rows.size()); ++row)
            if (rows[static_cast<size_t>(row)][0] == component)
                ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ASSERT_EQ(component, window_text(GetDlgItem(dialog, 1006)));
    }

    static update_server_process* server;
    std::unique_ptr<dialog_host> h;
    HWND dialog = nullptr, list = nullptr, view = nullptr;
};

update_server_process* ReleaseNotesView::server = nullptr;

}  // namespace

TEST_F(ReleaseNotesView, EachComponentShowsItsOwnNotesWithExactLinks) {
    ASSERT_EQ(std::size(kCases), list_rows(list).size());
    // Twice round, so that every case follows another component's notes.
    for (int round = 0; round < 2; ++round) {
        for (const notes_case& c : kCases) {
            SCOPED_TRACE(c.component);
            select(c.component);
            // The control reads a line break back as "\v" (under Wine as a space).
            std::string text = rich_text(view);
            std::string expected = c.text;
            for (std::string* t : {&text, &expected})
                for (char& ch : *t)
                    if (ch == '\v') ch = ' ';
            EXPECT_EQ(expected, text);
            EXPECT_EQ(c.links, rich_link_texts(view));
        }
    }
}

TEST_F(ReleaseNotesView, LongLinkOpensInFull) {
    select("Long link");
    POINTL at{};
    SendMessageW(view, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 2);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x + 1, at.y + 3));
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(at.x + 1, at.y + 3));
    const std::string expected = "[shell] (default) | " + kLongUrl + " |  | 10";
    EXPECT_TRUE(has_line(h->get().console().lines(), expected));
}

// The keyboard only scrolls: no caret, no selection, no editing; Tab is the dialog's.
TEST_F(ReleaseNotesView, KeysOnlyScroll) {
    select("Two links");
    SetFocus(view);
    EXPECT_GT(SendMessageW(view, EM_GETLINECOUNT, 0, 0), 60);
    EXPECT_EQ(DLGC_WANTARROWS, SendMessageW(view, WM_GETDLGCODE, 0, 0));
    auto press = [&](WPARAM key) {
        SendMessageW(view, WM_KEYDOWN, key, 0);
        SendMessageW(view, WM_CHAR, key, 0);
        SendMessageW(view, WM_KEYUP, key, 0);
    };
    auto first_line = [&] { return SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0); };
    auto selection = [&] {
        CHARRANGE range{};
        SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return std::make_pair(range.cpMin, range.cpMax);
    };
    const std::string text = rich_text(view);
    EXPECT_EQ(0, first_line());
    press(VK_NEXT);
    const LRESULT after_page = first_line();
    EXPECT_GT(after_page, 1);
    press(VK_DOWN);
    const LRESULT after_down = first_line();
    EXPECT_GT(after_down, after_page);
    press(VK_UP);
    EXPECT_LT(first_line(), after_down);
    press(VK_HOME);
    EXPECT_EQ(0, first_line());
    press(VK_END);
    EXPECT_GT(first_line(), after_page);
    press(VK_PRIOR);
    EXPECT_GT(first_line(), 0);
    EXPECT_EQ(std::make_pair(0L, 0L), selection());
    // Letters, deletion and shift-selection do nothing.
    for (WPARAM key : {WPARAM('A'), WPARAM(VK_DELETE), WPARAM(VK_BACK), WPARAM(VK_RIGHT)}) press(key);
    EXPECT_EQ(text, rich_text(view));
    EXPECT_EQ(std::make_pair(0L, 0L), selection());
}

// The update list dialog as the user meets it: opened by a real check against the
// update server, driven through its real controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "frame/dialog_window.h"
#include "frame/utf16.h"
#include "update_dialog_harness.h"

namespace {

// Three outdated components (one with release notes holding a link and characters
// beyond the Basic Multilingual Plane), one up to date, one ignored.
const char kCatalogue[] = R"({"components":[
{"fileName":"vel_upkeep.dll","name":"Tendwell","version":"2","versionDate":"2026-12-01","author":"Tendwell developers",
 "details":"Faster checks &#x1F600; see the <a href=\"http://updates.tendwell.test/notes\">release page</a>.",
 "link":"http://updates.tendwell.test/get/vel_upkeep-2.zip"},
{"fileName":"vel_porter.dll","name":"Send to Device","version":"1.2","link":"http://updates.tendwell.test/get/porter.zip"},
{"fileName":"vel_probe.dll","name":"Probe","version":"0.2"},
{"fileName":"shared.dll","name":"Shared helper library","version":"1.0.0"},
{"fileName":"vlhost.exe","name":"Vellora","ignoreReason":"ships with the player"}]})";

class UpdateListDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new update_server_process(kCatalogue); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    HWND open(stored_settings settings = {}) {
        h = std::make_unique<dialog_host>(*server, settings);
        dialog = h->check_and_wait_for_dialog();
        if (dialog) list = GetDlgItem(dialog, 1000);
        return dialog;
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (auto& row : list_rows(list)) out.push_back(row.empty() ? "" : row[0]);
        return out;
    }
    void press_space_on(int row) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SetFocus(list);
        SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(list, WM_KEYUP, VK_SPACE, 0);
    }
    void hide_selected_with_context_menu() {
        menu_keys keys({VK_DOWN, VK_RETURN});
        SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    }
    void command(int id) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    std::string details_text() { return rich_text(GetDlgItem(dialog, 1011)); }
    // Clicks the check box, which checks itself and sends its command.
    void toggle_show_all() {
        const bool was = IsDlgButtonChecked(dialog, 1017) == BST_CHECKED;
        SendMessageW(GetDlgItem(dialog, 1017), BM_CLICK, 0, 0);
        EXPECT_NE(was, IsDlgButtonChecked(dialog, 1017) == BST_CHECKED);
    }
    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    bool visible(int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
    void wait_for_click_guard() { h->pump_for(GetDoubleClickTime() + 300); }

    static update_server_process* server;
    std::unique_ptr<dialog_host> h;
    HWND dialog = nullptr;
    HWND list = nullptr;
};

update_server_process* UpdateListDialog::server = nullptr;

}  // namespace

TEST_F(UpdateListDialog, UpdatesModeListsTheOutdatedComponentsWithDetails) {
    ASSERT_TRUE(open());
    EXPECT_EQ("There are updated versions of the following components available. Select a component to see more "
              "information. You can hide updates you don't want to be notified about anymore using context menu.",
              window_text(GetDlgItem(dialog, 1015)));
    // Sorted by file name, which has no column in this mode.
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"Send to Device", "1.2", "-"},
                                                      {"Probe", "0.2", "-"},
                                                      {"Tendwell", "2", "2026-12-01"}}),
              list_rows(list));
    HWND header = ListView_GetHeader(list);
    for (int i = 0; i < 3; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        EXPECT_EQ(0, item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) << i;
    }
    EXPECT_EQ(0, selected_row(list));
    EXPECT_EQ("Send to Device", window_text(GetDlgItem(dialog, 1006)));
    EXPECT_EQ("1.1.2 [Nov 28 2007 - 10:13:31]", window_text(GetDlgItem(dialog, 1007)));
    EXPECT_EQ("1.2", window_text(GetDlgItem(dialog, 1008)));
    EXPECT_EQ("<unknown>", window_text(GetDlgItem(dialog, 1009)));
    EXPECT_EQ("There are no additional information for this component.", details_text());
    for (int row = 0; row < 3; ++row) EXPECT_EQ(2, row_check_image(list, row)) << row;
    EXPECT_FALSE(visible(1014));
    EXPECT_FALSE(visible(1016));

    // The click guard: Close waits for the double-click time.
    EXPECT_FALSE(enabled(2));
    EXPECT_TRUE(enabled(1013));
    wait_for_click_guard();
    EXPECT_TRUE(enabled(2));
}

// The controls as the template lays them out, at the dialog's opening size.
TEST_F(UpdateListDialog, ControlsMatchTheTemplate) {
    ASSERT_TRUE(open());
    struct control {
        int id;
        const wchar_t* window_class;
        const char* text;  // nullptr: set at run time
        DWORD style;       // bits that must be set
        RECT dialog_units; // x, y, width, height
        bool shown;
    };
    const control controls[] = {
        {1015, L"Static", nullptr, SS_LEFT, {7, 7, 360, 16}, true},
        {1000, L"SysListView32", "",
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | LVS_OWNERDATA | WS_BORDER | WS_TABSTOP,
         {7, 25, 359, 97}, true},
        {1017, L"Button", "Show all components", BS_AUTOCHECKBOX | WS_TABSTOP, {282, 127, 85, 8}, true},
        {1001, L"Static", "Component name:", SS_RIGHT, {7, 127, 75, 8}, true},
        {1002, L"Static", "Installed version:", SS_RIGHT, {7, 137, 75, 8}, true},
        {1003, L"Static", "Latest version:", SS_RIGHT, {7, 147, 75, 8}, true},
        {1004, L"Static", "Author:", SS_RIGHT, {187, 137, 60, 8}, true},
        {1005, L"Static", "Release date:", SS_RIGHT, {187, 147, 60, 8}, true},
        {1006, L"Static", nullptr, SS_LEFT, {87, 127, 125, 8}, true},
        {1007, L"Static", nullptr, SS_LEFT, {87, 137, 95, 8}, true},
        {1008, L"Static", nullptr, SS_LEFT, {87, 147, 95, 8}, true},
        {1009, L"Static", nullptr, SS_LEFT, {252, 137, 110, 8}, true},
        {1010, L"Static", nullptr, SS_LEFT, {252, 147, 110, 8}, true},
        {1018, L"Static", "", SS_BLACKRECT, {8, 159, 358, 3}, true},
        {1011, L"RichEdit20W", nullptr, 0x50012955, {7, 162, 359, 142}, true},
        {1016, L"Static", "Some updates have been hidden previously.", SS_CENTER, {110, 307, 155, 8}, false},
        {1014, L"Static", "Click here to show hidden updates.", SS_CENTER | SS_NOTIFY | WS_TABSTOP, {110, 317, 155, 8},
         false},
        {2, L"Button", "Close", WS_DISABLED, {7, 307, 98, 20}, true},
        {1013, L"Button", "Download and install", 0, {272, 307, 96, 20}, true},
    };
    // Template order is tab order: walk the children as the dialog created them.
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const control& c : controls) {
        SCOPED_TRACE(c.id);
        while (child && GetDlgCtrlID(child) != c.id && GetDlgCtrlID(child) == 0) child = GetWindow(child, GW_HWNDNEXT);
        ASSERT_TRUE(child);
        EXPECT_EQ(c.id, GetDlgCtrlID(child));
        wchar_t window_class[64] = L"";
        GetClassNameW(child, window_class, 64);
        EXPECT_EQ(0, lstrcmpiW(c.window_class, window_class)) << wide_to_utf8(window_class);
        if (c.text) {
            EXPECT_EQ(c.text, window_text(child));
        }
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if (lstrcmpW(c.window_class, L"Static") == 0) {
            EXPECT_EQ(c.style & SS_TYPEMASK, style & SS_TYPEMASK);
        }
        // Under a three-dimensional look the dialog manager gives a bordered control the
        // sunken client edge instead.
        DWORD wanted = c.style;
        if ((wanted & WS_BORDER) && !(style & WS_BORDER)) {
            EXPECT_TRUE(GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
            wanted &= ~WS_BORDER;
        }
        EXPECT_EQ(wanted, style & wanted);
        EXPECT_EQ(c.shown, (style & WS_VISIBLE) != 0);
        // The dialog manager converts the position and the size, each on its own.
        RECT expected = c.dialog_units;
        MapDialogRect(dialog, &expected);
        expected.right += expected.left;
        expected.bottom += expected.top;
        const RECT actual = rect_in_parent(child);
        EXPECT_EQ(expected.left, actual.left);
        EXPECT_EQ(expected.top, actual.top);
        EXPECT_EQ(expected.right, actual.right);
        EXPECT_EQ(expected.bottom, actual.bottom);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(WS_EX_CLIENTEDGE,
              static_cast<DWORD>(GetWindowLongPtrW(GetDlgItem(dialog, 1011), GWL_EXSTYLE)) & WS_EX_CLIENTEDGE);

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
    EXPECT_EQ(frame, style & frame);
    EXPECT_EQ(0u, style & WS_MINIMIZEBOX);
    EXPECT_EQ(nullptr, GetWindow(dialog, GW_OWNER));
    EXPECT_EQ("Tendwell", window_text(dialog));
    EXPECT_NE(0, SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(0, SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));
    // The labels are bold, the values are not.
    auto weight = [&](int id) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(dialog, id), WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfWeight;
    };
    for (int id = 1001; id <= 1005; ++id) EXPECT_EQ(700, weight(id)) << id;
    EXPECT_GT(700, weight(1006));
    // Checks are shown per row, on request.
    const DWORD extended = static_cast<DWORD>(ListView_GetExtendedListViewStyle(list));
    const DWORD wanted = LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    EXPECT_EQ(wanted, extended & wanted);
    EXPECT_EQ(static_cast<UINT>(LVIS_STATEIMAGEMASK), ListView_GetCallbackMask(list));
}

TEST_F(UpdateListDialog, ReleaseNotesShowAsRichTextWithWorkingLinks) {
    ASSERT_TRUE(open());
    ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ("Tendwell developers", window_text(GetDlgItem(dialog, 1009)));
    std::string text = details_text();
    EXPECT_EQ("Faster checks \xF0\x9F\x98\x80 see the release page.", text);

    // The link range covers exactly "release page", counted as the control counts
    // (the character beyond the BMP takes two units).
    HWND view = GetDlgItem(dialog, 1011);
    std::wstring wide = utf8_to_wide(text);
    LONG start = static_cast<LONG>(wide.find(L"release page")), end = start + 12;
    auto is_link = [&](LONG from, LONG to) { return rich_is_link(view, from, to); };
    EXPECT_TRUE(is_link(start, end));
    EXPECT_FALSE(is_link(start - 1, start));
    EXPECT_FALSE(is_link(end, end + 1));

    // A click on the link opens it through the shell.
    POINTL at{};
    SendMessageW(view, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), start + 2);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x + 1, at.y + 3));
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(at.x + 1, at.y + 3));
    EXPECT_TRUE(has_line(h->get().console().lines(), "[shell] (default) | http://updates.tendwell.test/notes |  | 10"));
}

TEST_F(UpdateListDialog, HeaderClicksSortAndFlipTheArrow) {
    ASSERT_TRUE(open());
    HWND header = ListView_GetHeader(list);
    auto click = [&](int column) {
        RECT r;
        Header_GetItemRect(header, column, &r);
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header, WM_LBUTTONUP, 0, at);
    };
    auto arrow = [&](int column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, column, &item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    };
    click(0);
    EXPECT_EQ((std::vector<std::string>{"Probe", "Send to Device", "Tendwell"}), names());
    EXPECT_EQ(HDF_SORTDOWN, arrow(0));
    click(0);
    EXPECT_EQ((std::vector<std::string>{"Tendwell", "Send to Device", "Probe"}), names());
    EXPECT_EQ(HDF_SORTUP, arrow(0));
    click(1);
    EXPECT_EQ((std::vector<std::string>{"Probe", "Send to Device", "Tendwell"}), names());
    EXPECT_EQ(0, arrow(0));
    EXPECT_EQ(HDF_SORTDOWN, arrow(1));
}

TEST_F(UpdateListDialog, SpaceTogglesChoicesAndTheInstallButton) {
    ASSERT_TRUE(open());
    wait_for_click_guard();
    for (int row = 0; row < 3; ++row) {
        press_space_on(row);
        EXPECT_EQ(1, row_check_image(list, row)) << row;
    }
    EXPECT_FALSE(enabled(1013));
    press_space_on(1);
    EXPECT_EQ(2, row_check_image(list, 1));
    EXPECT_TRUE(enabled(1013));

    // In show-all mode a component that is not outdated has no check box to toggle.
    toggle_show_all();
    auto rows = list_rows(list);
    int latest = -1;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        if (rows[static_cast<size_t>(i)][0] == "shared.dll") latest = i;
    ASSERT_GE(latest, 0);
    EXPECT_EQ(0, row_check_image(list, latest));
    press_space_on(latest);
    EXPECT_EQ(0, row_check_image(list, latest));
    EXPECT_TRUE(enabled(1013));
}

TEST_F(UpdateListDialog, ClickOnTheCheckBoxTogglesAndClickOnTheNameDoesNot) {
    ASSERT_TRUE(open());
    wait_for_click_guard();
    RECT bounds;
    ListView_GetItemRect(list, 1, &bounds, LVIR_BOUNDS);
    const int y = (bounds.top + bounds.bottom) / 2;
    auto hit = [&](int x) {
        LVHITTESTINFO info{};
        info.pt = {x, y};
        ListView_SubItemHitTest(list, &info);
        return info.flags;
    };
    int check_x = -1, name_x = -1;
    for (int x = bounds.left; x < bounds.left + 200; ++x) {
        UINT flags = hit(x);
        if (check_x < 0 && (flags & LVHT_ONITEMSTATEICON)) check_x = x + 2;
        if (name_x < 0 && (flags & LVHT_ONITEMLABEL)) name_x = x + 20;
    }
    ASSERT_GE(check_x, 0);
    ASSERT_GE(name_x, 0);
    auto click = [&](int x) {
        // The list view follows the mouse until the button comes up: queue it first.
        PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        h->pump_for(50);
    };
    click(check_x);
    EXPECT_EQ(1, row_check_image(list, 1));
    EXPECT_EQ(2, row_check_image(list, 0));
    click(name_x);
    EXPECT_EQ(1, row_check_image(list, 1));
    EXPECT_EQ(1, selected_row(list));
    click(check_x);
    EXPECT_EQ(2, row_check_image(list, 1));
}

TEST_F(UpdateListDialog, ShowAllModeKeepsSelectionAndChoices) {
    ASSERT_TRUE(open());
    press_space_on(0);                 // Send to Device: not chosen
    press_space_on(2);                 // Tendwell: not chosen ...
    press_space_on(2);                 // ... and chosen again, selected
    const std::string intro = window_text(GetDlgItem(dialog, 1015));
    toggle_show_all();
    EXPECT_EQ(intro, window_text(GetDlgItem(dialog, 1015)));  // set once, at opening
    auto rows = list_rows(list);
    ASSERT_EQ(5u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"vel_porter.dll", "Send to Device", "1.1.2 [Nov 28 2007 - 10:13:31]",
                                        "outdated"}),
              rows[1]);
    EXPECT_EQ((std::vector<std::string>{"vlhost.exe", "Vellora", "1.0.0", "ships with the player"}), rows[4]);
    EXPECT_EQ((std::vector<std::string>{"shared.dll", "Shared helper library", "1.0.0", "latest"}), rows[0]);
    EXPECT_EQ("vel_upkeep.dll", rows[static_cast<size_t>(selected_row(list))][0]);
    EXPECT_EQ(1, row_check_image(list, 1));
    toggle_show_all();
    EXPECT_EQ(3u, list_rows(list).size());
    EXPECT_EQ(2, selected_row(list));
    EXPECT_EQ(1, row_check_image(list, 0));
    EXPECT_EQ(2, row_check_image(list, 2));
}

TEST_F(UpdateListDialog, HidingRowsKeepsASelectionAndStoresTheVersions) {
    ASSERT_TRUE(open());
    ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    hide_selected_with_context_menu();  // the middle row: Probe
    EXPECT_EQ((std::vector<std::string>{"Send to Device", "Tendwell"}), names());
    EXPECT_EQ(1, selected_row(list));
    EXPECT_TRUE(visible(1014));
    EXPECT_TRUE(visible(1016));
    hide_selected_with_context_menu();  // the last row: Tendwell
    EXPECT_EQ((std::vector<std::string>{"Send to Device"}), names());
    EXPECT_EQ(0, selected_row(list));
    hide_selected_with_context_menu();  // the only row
    EXPECT_TRUE(names().empty());
    EXPECT_EQ("No component selected.", details_text());
    EXPECT_EQ("", window_text(GetDlgItem(dialog, 1006)));
    saved_settings saved = h->shut_down();
    EXPECT_EQ((std::map<std::string, std::string>{{"vel_porter.dll", "1.2"}, {"vel_probe.dll", "0.2"},
                                                   {"vel_upkeep.dll", "2"}}),
              saved.hidden);
}

TEST_F(UpdateListDialog, ShowingHiddenUpdatesClearsTheWholeList) {
    stored_settings settings;
    settings.hidden = {{"vel_porter.dll", "1.2"}, {"elsewhere.dll", "9"}};
    ASSERT_TRUE(open(settings));
    EXPECT_EQ((std::vector<std::string>{"Probe", "Tendwell"}), names());
    EXPECT_TRUE(visible(1014));
    command(1014);
    EXPECT_EQ((std::vector<std::string>{"Send to Device", "Probe", "Tendwell"}), names());
    EXPECT_EQ(1, row_check_image(list, 0));  // shown again, not chosen
    EXPECT_FALSE(visible(1014));
    EXPECT_FALSE(visible(1016));
    EXPECT_TRUE(h->shut_down().hidden.empty());
}

TEST_F(UpdateListDialog, CheckTimeIsRecordedOnlyWhenTheDialogIsActivated) {
    for (bool activate : {false, true}) {
        stored_settings settings;
        settings.interval_hours = 24;  // an automatic check is due at start
        h = std::make_unique<dialog_host>(*server, settings);
        ASSERT_TRUE(h->pump_until([] { return find_update_list_dialog() != nullptr; }));
        dialog = find_update_list_dialog();
        if (activate) SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
        uint64_t last = h->shut_down().last_check;
        EXPECT_EQ(activate, last != 0) << activate;
    }
}

TEST_F(UpdateListDialog, InstallWritesTheLogPageOpensItAndTheFolderAndCloses) {
    stored_settings settings;
    settings.install_notice_off = true;
    ASSERT_TRUE(open(settings));
    press_space_on(1);  // Probe not chosen
    wait_for_click_guard();
    command(1013);
    EXPECT_EQ(nullptr, find_update_list_dialog());
    std::vector<std::string> shell;
    for (const std::string& line : h->get().console().lines())
        if (line.rfind("[shell] ", 0) == 0) shell.push_back(line);
    ASSERT_EQ(2u, shell.size());
    // "[shell] open | <temp>\vlra-au-<time>.html |  | 10"
    size_t from = shell[0].find("| ") + 2, to = shell[0].find(" |", from);
    std::string page_path = shell[0].substr(from, to - from);
    EXPECT_NE(std::string::npos, page_path.find("\\vlra-au-"));
    EXPECT_EQ(".html", page_path.substr(page_path.size() - 5));
    EXPECT_EQ(" |  | 10", shell[0].substr(to));
    EXPECT_EQ("[shell] open | " + wide_to_utf8(h->folder()) + "\\components |  | 10", shell[1]);
    std::vector<uint8_t> bytes = read_file(utf8_to_wide(page_path));
    std::string page(bytes.begin(), bytes.end());
    EXPECT_NE(std::string::npos, page.find("<li title=\"vel_upkeep.dll\"><a "
                                           "href=\"http://updates.tendwell.test/get/vel_upkeep-2.zip\">Tendwell</a> "
                                           "<span>(1 to 2)</span></li>"));
    EXPECT_NE(std::string::npos, page.find("Probe <span>(0.1, skipped by user, 0.2 available)</span>"));
}

// A page that cannot be saved is reported as a failure; the dialog stays for a retry.
TEST_F(UpdateListDialog, FailedSaveSaysSoAndKeepsTheDialog) {
    stored_settings settings;
    settings.install_notice_off = true;
    ASSERT_TRUE(open(settings));
    wchar_t temp[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"TMP", temp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", (h->folder() + L"\\no such folder").c_str());
    command(1013);
    SetEnvironmentVariableW(L"TMP", *temp ? temp : nullptr);
    EXPECT_EQ(dialog, find_update_list_dialog());
    std::vector<std::string> boxes;
    for (const std::string& line : h->get().console().lines()) {
        EXPECT_NE(0u, line.rfind("[shell] ", 0)) << line;
        if (line.rfind("[message box] ", 0) == 0) boxes.push_back(line);
    }
    ASSERT_EQ(1u, boxes.size());
    // The console drops "\r" and shows a line feed as "\\n".
    EXPECT_EQ(0u, boxes[0].rfind("[message box] Error | 0x10 | Could not save log:\\nCould not open ", 0)) << boxes[0];
}

TEST_F(UpdateListDialog, CancellingTheNoticeKeepsEverything) {
    ASSERT_TRUE(open());
    wait_for_click_guard();
    {
        press_in_next_dialog cancel(L"Tendwell", IDCANCEL, dialog);
        command(1013);
    }
    EXPECT_EQ(dialog, find_update_list_dialog());
    for (const std::string& line : h->get().console().lines()) EXPECT_NE(0u, line.rfind("[shell] ", 0)) << line;
    EXPECT_FALSE(h->shut_down().install_notice_off);
}

// The notice grows to hold its text and stays centred; its header panel is white.
TEST_F(UpdateListDialog, NoticeBoxFitsItsTextAndStaysCentred) {
    ASSERT_TRUE(open());
    wait_for_click_guard();
    struct seen {
        RECT window, text, panel, separator, ok, check, icon;
        RECT text_units{47, 7, 47 + 242, 7 + 35}, ok_units{197, 57, 197 + 45, 57 + 14};
        RECT icon_units{12, 14, 12 + 21, 14 + 20}, panel_units{0, 0, 300, 50};
        int measured = 0;
        std::string caption, check_text;
        std::string picture;
    } notice{};
    auto look = [&](HWND box) {
        auto client_rect = [&](int id) { return rect_in_parent(GetDlgItem(box, id)); };
        GetWindowRect(box, &notice.window);
        notice.text = client_rect(1001);
        notice.panel = client_rect(1004);
        notice.separator = client_rect(1018);
        notice.ok = client_rect(1);
        notice.check = client_rect(1006);
        notice.icon = client_rect(1000);
        for (RECT* r : {&notice.text_units, &notice.ok_units, &notice.icon_units, &notice.panel_units})
            MapDialogRect(box, r);
        notice.caption = window_text(box);
        HWND text = GetDlgItem(box, 1001);
        std::wstring wide(4096, L'\0');
        wide.resize(static_cast<size_t>(GetWindowTextW(text, &wide[0], 4096)));
        HDC dc = GetDC(text);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
        RECT measure{0, 0, notice.text.right - notice.text.left, 0};
        DrawTextExW(dc, &wide[0], -1, &measure, DT_WORDBREAK | DT_EXTERNALLEADING | DT_CALCRECT | DT_NOPREFIX, nullptr);
        SelectObject(dc, old);
        ReleaseDC(text, dc);
        notice.measured = measure.bottom;
        notice.check_text = window_text(GetDlgItem(box, 1006));
        notice.picture = save_window_png(box, "notice-box");
    };
    {
        press_in_next_dialog cancel(L"Tendwell", IDCANCEL, dialog, look);
        command(1013);
    }
    EXPECT_EQ("Tendwell", notice.caption);
    EXPECT_EQ("Don't show this message anymore", notice.check_text);
    EXPECT_FALSE(notice.picture.empty());
    ASSERT_GT(notice.measured, 0);
    // The text takes its measured height; what it adds below the template moves the rest.
    EXPECT_EQ(notice.measured, notice.text.bottom - notice.text.top);
    const int template_height = notice.text_units.bottom - notice.text_units.top;
    const int growth = notice.measured > template_height ? notice.measured - template_height : 0;
    EXPECT_EQ(notice.panel_units.bottom + growth, notice.panel.bottom);
    EXPECT_EQ(notice.panel.bottom, notice.separator.top);
    EXPECT_EQ(notice.ok_units.top + growth, notice.ok.top);
    EXPECT_EQ(notice.ok.top, notice.check.top);
    EXPECT_EQ(notice.icon_units.top + growth / 2, notice.icon.top);
    // Centred on the work area as the dialog manager placed it, before it grew.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int centre = (notice.window.top + notice.window.bottom) / 2, work_centre = (work.top + work.bottom) / 2;
    EXPECT_LE(std::abs(centre - work_centre), 1) << growth;
}

TEST_F(UpdateListDialog, ResizingAndTheSplitterKeepTheirLimits) {
    ASSERT_TRUE(open());
    MINMAXINFO minimum{};
    SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&minimum));
    RECT window;
    GetWindowRect(dialog, &window);
    EXPECT_EQ(window.right - window.left, minimum.ptMinTrackSize.x);

    auto client_rect = [&](int id) { return rect_in_parent(GetDlgItem(dialog, id)); };
    RECT client_before, install_before = client_rect(1013), list_before = client_rect(1000);
    const int list_to_splitter = client_rect(1018).top - list_before.bottom;
    const int splitter_to_view = client_rect(1011).top - client_rect(1018).top;
    GetClientRect(dialog, &client_before);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 80,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client_after, install_after = client_rect(1013), list_after = client_rect(1000);
    GetClientRect(dialog, &client_after);
    EXPECT_EQ(client_before.right - install_before.right, client_after.right - install_after.right);
    EXPECT_EQ(client_before.bottom - install_before.bottom, client_after.bottom - install_after.bottom);
    EXPECT_EQ(list_before.right + 100, list_after.right);

    // Drag the splitter far up and far down: it stops at its limits.
    HWND splitter = GetDlgItem(dialog, 1018);
    auto drag_to = [&](int y_in_splitter) {
        SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 1));
        SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, static_cast<WORD>(y_in_splitter)));
        SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(5, static_cast<WORD>(y_in_splitter)));
        return client_rect(1018).top;
    };
    RECT upper = {0, 90, 0, 33};
    MapDialogRect(dialog, &upper);
    EXPECT_EQ(upper.top, drag_to(-2000));
    EXPECT_EQ(client_after.bottom - upper.bottom, drag_to(2000));
    // The list above and the release notes below follow the splitter.
    EXPECT_EQ(list_to_splitter, client_rect(1018).top - client_rect(1000).bottom);
    EXPECT_EQ(splitter_to_view, client_rect(1011).top - client_rect(1018).top);
}

TEST_F(UpdateListDialog, SplitterKeepsItsShareAndTheGripFollowsMaximising) {
    ASSERT_TRUE(open());
    auto top_of = [&](int id) { return rect_in_parent(GetDlgItem(dialog, id)).top; };
    auto client_height = [&] {
        RECT r;
        GetClientRect(dialog, &r);
        return static_cast<int>(r.bottom);
    };
    HWND grip = GetDlgItem(dialog, 0xE801);
    ASSERT_TRUE(grip);
    EXPECT_TRUE(IsWindowVisible(grip));
    const int ratio = top_of(1018) * 65536 / client_height();

    // A taller window keeps the splitter at the same share of the client height.
    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + 200,
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(client_height() * ratio / 65536, top_of(1018));

    ShowWindow(dialog, SW_MAXIMIZE);
    EXPECT_FALSE(IsWindowVisible(grip));
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(grip));
    const int restored = top_of(1018);
    ShowWindow(dialog, SW_MINIMIZE);
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_EQ(restored, top_of(1018));

    // The lowest the window goes: a client area that holds both splitter limits.
    MINMAXINFO limits{};
    SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT margins = {0, 90, 0, 33};
    MapDialogRect(dialog, &margins);
    RECT frame{0, 0, 0, margins.top + margins.bottom};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    EXPECT_EQ(frame.bottom - frame.top, limits.ptMinTrackSize.y);
}

// The bar is drawn in blends of the button face and text colours: lighter at rest,
// darker under the mouse and while dragged, with a line across its middle.
TEST_F(UpdateListDialog, SplitterShowsItsStates) {
    ASSERT_TRUE(open());
    HWND splitter = GetDlgItem(dialog, 1018);
    RECT r;
    GetClientRect(splitter, &r);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    auto blend = [&](int percent) {
        auto mix = [&](int a, int b) { return (percent * a + (100 - percent) * b) / 100; };
        return RGB(mix(GetRValue(face), GetRValue(text)), mix(GetGValue(face), GetGValue(text)),
                   mix(GetBValue(face), GetBValue(text)));
    };
    // Read from the screen once Wine has put the window's drawing there.
    auto pixel = [&](int y) {
        RedrawWindow(splitter, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        h->pump_for(150);
        POINT at{r.right / 2, y};
        ClientToScreen(splitter, &at);
        HDC screen = GetDC(nullptr);
        COLORREF c = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
        return c;
    };
    const int middle = r.bottom / 2, edge = middle == 0 ? 1 : 0;
    // The dialog opens centred, under the pointer of the test display: move it away.
    SetWindowPos(dialog, nullptr, 0, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    h->pump_for(300);
    struct state_case {
        const char* name;
        UINT message;
        WPARAM keys;
        int fill, line;
    };
    const state_case states[] = {
        {"normal", 0, 0, 100, 80},
        {"hot", WM_MOUSEMOVE, 0, 90, 60},
        {"dragging", WM_LBUTTONDOWN, MK_LBUTTON, 80, 40},
    };
    for (const state_case& s : states) {
        SCOPED_TRACE(s.name);
        if (s.message) SendMessageW(splitter, s.message, s.keys, MAKELPARAM(5, 1));
        EXPECT_EQ(blend(s.fill), pixel(edge));
        EXPECT_EQ(blend(s.line), pixel(middle));
    }
    SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(5, 1));
    EXPECT_EQ(blend(100), pixel(edge));
}

TEST_F(UpdateListDialog, Screenshots) {
    ASSERT_TRUE(open());
    ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    h->pump_for(300);
    std::string updates = save_window_png(dialog, "update-list-updates-mode");
    toggle_show_all();
    h->pump_for(300);
    std::string all = save_window_png(dialog, "update-list-show-all-mode");
    EXPECT_FALSE(updates.empty());
    EXPECT_FALSE(all.empty());
}

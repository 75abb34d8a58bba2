// The link label on real windows: static controls of a dialog made from a template in
// the dialog font, driven through the dialog manager's message loop, and checked by
// the notifications its parent receives and by the pixels it paints.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "upkeep/settings/link_label.h"

namespace {

constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kButtonAtom = 0x0080;
constexpr int kLabelId = 1007;
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr wchar_t kMarkupText[] = L"All aggregated data are publicly available <A>here</A>.";
constexpr unsigned kDialogOptions = LL_NOTOOLTIP | LL_USETAGS | LL_NOTIFYPARENT;

// ---- A dialog from an in-memory template, recording what its children tell it ----

struct dialog_item {
    WORD id;
    WORD atom;
    DWORD style;
    short x, y, cx, cy;
    std::wstring text;
};

struct notice {
    UINT message;  // WM_COMMAND or WM_NOTIFY
    int id;
    int code;
    HWND from;
};
std::vector<notice> g_notices;

INT_PTR CALLBACK recording_dialog_proc(HWND, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) return FALSE;  // the test sets the focus itself
    if (message == WM_COMMAND)
        g_notices.push_back({WM_COMMAND, LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam)});
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        g_notices.push_back({WM_NOTIFY, static_cast<int>(header->idFrom), static_cast<int>(header->code),
                             header->hwndFrom});
    }
    return FALSE;
}

void put_word(std::vector<WORD>& out, WORD w) { out.push_back(w); }
void put_dword(std::vector<WORD>& out, DWORD d) {
    out.push_back(LOWORD(d));
    out.push_back(HIWORD(d));
}
void put_text(std::vector<WORD>& out, const std::wstring& text) {
    for (wchar_t c : text) out.push_back(static_cast<WORD>(c));
    out.push_back(0);
}

// A visible, topmost dialog in "MS Shell Dlg" at (left, top) on the screen.
HWND create_dialog(const std::wstring& title, short cx, short cy, const std::vector<dialog_item>& items, int left,
                   int top) {
    std::vector<WORD> t;
    put_dword(t, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME);
    put_dword(t, 0);
    put_word(t, static_cast<WORD>(items.size()));
    put_word(t, 0);
    put_word(t, 0);
    put_word(t, static_cast<WORD>(cx));
    put_word(t, static_cast<WORD>(cy));
    put_word(t, 0);  // no menu
    put_word(t, 0);  // standard class
    put_text(t, title);
    put_word(t, 8);
    put_text(t, L"MS Shell Dlg");
    for (const dialog_item& item : items) {
        if (t.size() % 2) t.push_back(0);  // items start on a DWORD boundary
        put_dword(t, item.style | WS_CHILD | WS_VISIBLE);
        put_dword(t, 0);
        put_word(t, static_cast<WORD>(item.x));
        put_word(t, static_cast<WORD>(item.y));
        put_word(t, static_cast<WORD>(item.cx));
        put_word(t, static_cast<WORD>(item.cy));
        put_word(t, item.id);
        put_word(t, 0xFFFF);
        put_word(t, item.atom);
        put_text(t, item.text);
        put_word(t, 0);  // no creation data
    }
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                                             nullptr, recording_dialog_proc, 0);
    if (dialog)
        SetWindowPos(dialog, HWND_TOPMOST, left, top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return dialog;
}

// Runs the dialog's message loop until the queue is empty and `ms` have passed.
void pump(HWND dialog, DWORD ms = 0) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!dialog || !IsDialogMessageW(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (GetTickCount() - start >= ms) return;
        Sleep(10);
    }
}

// ---- Pixels of a painted control ----

struct picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

picture from_dib(const void* bits, int width, int height) {
    picture p;
    p.width = width;
    p.height = height;
    const auto* bgra = static_cast<const BYTE*>(bits);
    for (int i = 0; i < width * height; ++i)
        p.pixels.push_back(RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]));
    return p;
}

struct memory_bitmap {
    memory_bitmap(int width, int height) : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
        RECT all{0, 0, width, height};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));  // shows what nobody painted
        FillRect(dc, &all, magenta);
        DeleteObject(magenta);
    }
    ~memory_bitmap() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    picture read() const {
        GdiFlush();
        return from_dib(bits, width, height);
    }
    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    void* bits = nullptr;
};

// What the control paints into its client area.
picture capture(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    memory_bitmap bitmap(client.right, client.bottom);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.dc), PRF_CLIENT);
    return bitmap.read();
}

using pixel_test = std::function<bool(COLORREF)>;

pixel_test close_to(COLORREF colour, int tolerance = 60) {
    return [=](COLORREF p) {
        return std::abs(GetRValue(p) - GetRValue(colour)) <= tolerance &&
               std::abs(GetGValue(p) - GetGValue(colour)) <= tolerance &&
               std::abs(GetBValue(p) - GetBValue(colour)) <= tolerance;
    };
}
// Text drawn in black, smoothed edges included: grey and clearly darker than the
// dialog's background.
bool ink(COLORREF p) {
    int r = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
    return std::abs(r - g) < 16 && std::abs(g - b) < 16 && r < 170;
}
// Pixels that differ between two pictures of the same control.
int differences(const picture& a, const picture& b) {
    int n = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i] ? 1 : 0;
    return n;
}

struct box {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;  // right and bottom inclusive
    bool empty() const { return right < 0; }
    int width() const { return right - left + 1; }
    POINT centre() const { return POINT{(left + right) / 2, (top + bottom) / 2}; }
};

box find(const picture& p, const pixel_test& test, int from_x = 0, int to_x = INT_MAX) {
    box b;
    for (int y = 0; y < p.height; ++y)
        for (int x = from_x; x < p.width && x < to_x; ++x)
            if (test(p.at(x, y))) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

int count(const picture& p, const pixel_test& test) {
    int n = 0;
    for (COLORREF c : p.pixels) n += test(c) ? 1 : 0;
    return n;
}

// An underline: one row where the colour runs across nearly the whole text.
bool underlined(const picture& p, const pixel_test& test) {
    box text = find(p, test);
    if (text.empty() || text.width() < 6) return false;
    for (int y = text.top; y <= text.bottom; ++y) {
        int run = 0;
        for (int x = text.left; x <= text.right; ++x) run += test(p.at(x, y)) ? 1 : 0;
        if (run >= text.width() * 9 / 10) return true;
    }
    return false;
}

// ---- The registry colours, saved and restored around every test ----

constexpr wchar_t kColourKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

class saved_registry_value {
public:
    explicit saved_registry_value(const wchar_t* name) : m_name(name) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kColourKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
        DWORD size = 0;
        if (RegQueryValueExW(m_key, m_name, nullptr, &m_type, nullptr, &size) == ERROR_SUCCESS) {
            m_data.resize(size);
            m_present = RegQueryValueExW(m_key, m_name, nullptr, &m_type, m_data.data(), &size) == ERROR_SUCCESS;
        }
        RegDeleteValueW(m_key, m_name);
    }
    ~saved_registry_value() {
        if (m_present)
            RegSetValueExW(m_key, m_name, 0, m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
        else
            RegDeleteValueW(m_key, m_name);
        RegCloseKey(m_key);
    }
    void set(DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(m_key, m_name, 0, type, static_cast<const BYTE*>(data), size));
    }
    void set_text(const std::wstring& text) {
        set(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    const wchar_t* m_name;
    HKEY m_key = nullptr;
    DWORD m_type = 0;
    std::vector<BYTE> m_data;
    bool m_present = false;
};

// ---- Fixture: one dialog with one label, an OK button and a plain static ----

struct label_setup {
    std::wstring text;
    unsigned options = kDialogOptions;
    DWORD static_style = SS_LEFT | WS_TABSTOP;
    short cx = 285;  // dialog units
    short cy = 8;
};

// One dialog per test suite (Wine takes seconds to take a top-level window off the
// screen); each test adds its own controls to it and removes them at the end.
class LinkLabel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dialog = create_dialog(L"Link label test", 300, 60,
                                 {{IDOK, kButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 240, 40, 50, 14, L"OK"}}, 700,
                                 600);
    }
    static void TearDownTestSuite() {
        DestroyWindow(s_dialog);
        s_dialog = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(nullptr, s_dialog);
        g_notices.clear();
    }
    void TearDown() override {
        for (HWND control : m_controls) DestroyWindow(control);
        pump(s_dialog);
        SetFocus(GetDlgItem(s_dialog, IDOK));
    }

    // A static control in the dialog's font; position and size in dialog units.
    HWND add_static(int id, DWORD style, short x, short y, short cx, short cy, const std::wstring& text) {
        RECT place{x, y, x + cx, y + cy};
        MapDialogRect(s_dialog, &place);
        HWND control = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
                                       place.top, place.right - place.left, place.bottom - place.top, s_dialog,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        SendMessageW(control, WM_SETFONT, SendMessageW(s_dialog, WM_GETFONT, 0, 0), FALSE);
        m_controls.push_back(control);
        return control;
    }

    // Adds control kLabelId and makes it the fixture's label; the OK button keeps the focus.
    void open(const label_setup& setup) {
        m_control = add_static(kLabelId, setup.static_style, 7, 7, setup.cx, setup.cy, setup.text);
        m_label.set_options(setup.options);
        ASSERT_TRUE(m_label.attach(m_control));
        SetFocus(GetDlgItem(s_dialog, IDOK));
        pump(s_dialog);
        g_notices.clear();
    }
    HWND control() const { return m_control; }

    // Another label on a control of its own, for tables of cases.
    HWND add_label(AULinkLabel& label, unsigned options, const std::wstring& text, DWORD style = SS_LEFT) {
        HWND control = add_static(kLabelId + 1 + static_cast<int>(m_controls.size()), style, 7, 20, 285, 8, text);
        label.set_options(options);
        EXPECT_TRUE(label.attach(control));
        return control;
    }
    void remove(HWND control) {
        DestroyWindow(control);
        m_controls.erase(std::find(m_controls.begin(), m_controls.end(), control));
    }

    void post_click(POINT down, POINT up) {
        PostMessageW(control(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        PostMessageW(control(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
        pump(s_dialog);
    }
    void post_click(POINT at) { post_click(at, at); }
    // A key as the keyboard delivers it to the focused control, through the dialog manager.
    void press_key(WPARAM key) {
        SetFocus(control());
        pump(s_dialog);
        g_notices.clear();
        PostMessageW(control(), WM_KEYDOWN, key, 1);
        PostMessageW(control(), WM_KEYUP, key, 0xC0000001);
        pump(s_dialog);
    }
    // Where the link is drawn, found by its colour.
    box link_box(COLORREF colour = kBlue) { return find(capture(control()), close_to(colour)); }

    int commands_from_label() const {
        int n = 0;
        for (const notice& each : g_notices) n += each.message == WM_COMMAND && each.id == kLabelId ? 1 : 0;
        return n;
    }
    std::string notices_text() const {
        std::string out;
        for (const notice& n : g_notices)
            out += (n.message == WM_COMMAND ? "WM_COMMAND " : "WM_NOTIFY ") + std::to_string(n.id) + "/" +
                   std::to_string(n.code) + "; ";
        return out;
    }

    static HWND s_dialog;
    saved_registry_value m_anchor{L"Anchor Color"};
    saved_registry_value m_visited{L"Anchor Color Visited"};
    std::vector<HWND> m_controls;
    HWND m_control = nullptr;
    AULinkLabel m_label;
};
HWND LinkLabel::s_dialog = nullptr;

// ---- Pure functions ----

std::string narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(LinkColourText, ParsesRedGreenBlueOrAnswersMinusOne) {
    struct row {
        const wchar_t* text;
        long expected;
    } rows[] = {
        {L"0,0,255", 0x00FF0000},
        {L"255,0,0", 0x000000FF},
        {L"0,128,0", 0x00008000},
        {L" 12, +34,56", 0x0038220C},  // leading spaces and a sign
        {L"10x,20y,30z", 0x001E140A},  // each field stops at its first non-digit
        {L"256,257,-2", 0x00FE0100},   // lowest 8 bits of each
        {L"1,2,3,4", 0x00030201},      // the third field is the rest: "3,4" reads as 3
        {L"a,b,c", 0},
        {L",,5", 0x00050000},
        {L"255,0", -1},   // two fields
        {L"255", -1},     // one field
        {L"", -1},        // nothing
        {L"1,2,", -1},    // empty third field
        {L",,", -1},
        {L"-1,0,0", -1},  // -1 in a field is no colour
        {L"0,-1,0", -1},
        {L"0,0,-1", 0x00FF0000},  // the third field is not checked for -1
    };
    for (const row& r : rows) EXPECT_EQ(r.expected, parse_link_colour(r.text)) << "text \"" << narrow(r.text) << "\"";
}

TEST(LinkMarkup, SplitsAtTheTagsIgnoringCase) {
    struct row {
        const wchar_t* text;
        const char* prefix;
        const char* link;
        const char* suffix;
        bool has_link;
    } rows[] = {
        {kMarkupText, "All aggregated data are publicly available ", "here", ".", true},
        {L"<A>Update now</A> here or using the main menu", "", "Update now", " here or using the main menu", true},
        {L"Click <a>here</a> to see", "Click ", "here", " to see", true},
        {L"Click <a>here</A> mixed", "Click ", "here", " mixed", true},
        {L"See <A>here</A>", "See ", "here", "", true},  // no suffix
        {L"<A></A>", "", "", "", true},
        {L"Plain text", "Plain text", "", "", false},  // no link part; all of it is shown plainly
        {L"", "", "", "", false},
        {L"x < y <A>z</A>", "x < y ", "z", "", true},
        {L"a </A> b <A>c</A>", "a </A> b ", "c", "", true},  // a closing tag before the opening one is text
        {L"<A>x</A> <A>y</A>", "", "x", " <A>y</A>", true},  // one link; the rest is text
        {L"open <A>to the end", "open ", "to the end", "", true},
        {L"ends in <A", "ends in <A", "", "", false},
        {L"ends in <A>text</", "ends in ", "text</", "", true},
        {L"<B>bold</B>", "<B>bold</B>", "", "", false},
    };
    for (const row& r : rows) {
        link_markup parts = split_link_markup(r.text);
        std::string where = "text \"" + narrow(r.text) + "\"";
        EXPECT_EQ(r.prefix, narrow(parts.prefix)) << where;
        EXPECT_EQ(r.link, narrow(parts.link)) << where;
        EXPECT_EQ(r.suffix, narrow(parts.suffix)) << where;
        EXPECT_EQ(r.has_link, parts.has_link) << where;
    }
}

// ---- Markup on a real control ----

// For each text: the link is drawn blue and underlined, a click on it sends one
// command, and clicks on the text around it send nothing.
class LinkLabelMarkup : public LinkLabel, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(LinkLabelMarkup, OnlyTheMarkedPartIsLive) {
    open({GetParam()});
    picture painted = capture(control());
    box link = find(painted, close_to(kBlue));
    ASSERT_FALSE(link.empty());
    EXPECT_TRUE(underlined(painted, close_to(kBlue)));

    box before = find(painted, ink, 0, link.left);
    box after = find(painted, ink, link.right + 1);
    ASSERT_FALSE(before.empty() && after.empty()) << "the text around the link is drawn";
    for (const box& plain : {before, after}) {
        if (plain.empty()) continue;
        post_click(plain.centre());
        post_click(POINT{plain.left, plain.top});
        post_click(POINT{plain.right, plain.bottom});
    }
    EXPECT_EQ(0u, g_notices.size()) << notices_text();

    post_click(link.centre());
    ASSERT_EQ(1u, g_notices.size()) << notices_text();
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), g_notices[0].message);
    EXPECT_EQ(kLabelId, g_notices[0].id);
    EXPECT_EQ(0, g_notices[0].code);
    EXPECT_EQ(control(), g_notices[0].from);
}

INSTANTIATE_TEST_SUITE_P(Texts, LinkLabelMarkup,
                         ::testing::Values(kMarkupText,
                                           L"Click <a>here</a> to see what information specifically are collected.",
                                           L"<A>Update now</A> here or using the main menu command manually."));

TEST_F(LinkLabel, FullStopAfterTheLinkIsDrawnInTheNormalColour) {
    open({kMarkupText});
    picture painted = capture(control());
    box link = find(painted, close_to(kBlue));
    ASSERT_FALSE(link.empty());
    box full_stop = find(painted, ink, link.right + 1);
    ASSERT_FALSE(full_stop.empty());
    EXPECT_TRUE(find(painted, close_to(kBlue), link.right + 1).empty());
    EXPECT_LT(full_stop.right - link.right, 8) << "the full stop follows the link closely";
}

TEST_F(LinkLabel, TextWithoutOpeningTagIsDrawnPlainAndHasNoLivePart) {
    open({L"Nothing to click in this text."});
    picture painted = capture(control());
    EXPECT_EQ(0, count(painted, close_to(kBlue)));
    box text = find(painted, ink);
    ASSERT_FALSE(text.empty()) << "the text is still shown";
    post_click(text.centre());
    post_click(POINT{text.left + 1, text.top + 1});
    press_key(VK_RETURN);
    press_key(VK_SPACE);
    EXPECT_EQ(0, commands_from_label()) << notices_text();
}

TEST_F(LinkLabel, LinkAtTheEndHasNothingAfterIt) {
    open({L"Read the notes <A>here</A>"});
    picture painted = capture(control());
    box link = find(painted, close_to(kBlue));
    ASSERT_FALSE(link.empty());
    EXPECT_TRUE(find(painted, ink, link.right + 1).empty());
    post_click(POINT{link.right + 3, link.centre().y});
    EXPECT_EQ(0u, g_notices.size()) << notices_text();
}

// ---- Registry colours ----

TEST_F(LinkLabel, AnchorColourFromTheRegistry) {
    struct row {
        const char* what;
        std::function<void(saved_registry_value&)> set;
        COLORREF expected;
    } rows[] = {
        {"\"255,0,0\" is red", [](saved_registry_value& v) { v.set_text(L"255,0,0"); }, kRed},
        {"11 characters fit", [](saved_registry_value& v) { v.set_text(L"255,000,000"); }, kRed},
        {"expandable string", [](saved_registry_value& v) {
             v.set(REG_EXPAND_SZ, L"255,0,0", 16);
         }, kRed},
        {"two fields keep blue", [](saved_registry_value& v) { v.set_text(L"255,0"); }, kBlue},
        {"12 characters keep blue", [](saved_registry_value& v) { v.set_text(L"255,0000,000"); }, kBlue},
        {"far too long keeps blue", [](saved_registry_value& v) { v.set_text(L"255,0,0 and then some more"); }, kBlue},
        {"a number keeps blue", [](saved_registry_value& v) {
             DWORD red = 0xFF;
             v.set(REG_DWORD, &red, sizeof red);
         }, kBlue},
        {"no terminator keeps blue", [](saved_registry_value& v) { v.set(REG_SZ, L"255,0,0X", 14); }, kBlue},
        {"odd byte length keeps blue", [](saved_registry_value& v) { v.set(REG_SZ, L"255,0,0", 15); }, kBlue},
        {"empty keeps blue", [](saved_registry_value& v) { v.set(REG_SZ, L"", 0); }, kBlue},
        {"missing keeps blue", [](saved_registry_value&) {}, kBlue},
    };
    for (row& r : rows) {
        SCOPED_TRACE(r.what);
        {
            saved_registry_value value(L"Anchor Color");
            r.set(value);
            AULinkLabel label;
            HWND control = add_label(label, kDialogOptions, kMarkupText);
            picture painted = capture(control);
            EXPECT_GT(count(painted, close_to(r.expected)), 10);
            for (COLORREF other : {kRed, kBlue}) {
                if (other != r.expected) {
                    EXPECT_EQ(0, count(painted, close_to(other)));
                }
            }
            remove(control);
        }
    }
}

// ---- Activation ----

TEST_F(LinkLabel, EnterSpaceAndClickEachSendExactlyOneCommand) {
    open({kMarkupText});
    box link = link_box();
    ASSERT_FALSE(link.empty());

    press_key(VK_RETURN);
    ASSERT_EQ(1u, g_notices.size()) << "Enter activates the link, not the default button: " << notices_text();
    EXPECT_EQ(kLabelId, g_notices[0].id);
    EXPECT_EQ(0, g_notices[0].code);

    press_key(VK_SPACE);
    ASSERT_EQ(1u, g_notices.size()) << notices_text();
    EXPECT_EQ(kLabelId, g_notices[0].id);

    g_notices.clear();
    post_click(link.centre());
    ASSERT_EQ(1u, g_notices.size()) << notices_text();
    EXPECT_EQ(kLabelId, g_notices[0].id);

    // Other characters do nothing.
    press_key('A');
    press_key(VK_TAB);
    EXPECT_EQ(0, commands_from_label()) << notices_text();
}

TEST_F(LinkLabel, ClickTakesTheFocus) {
    open({kMarkupText});
    SetFocus(GetDlgItem(s_dialog, IDOK));
    PostMessageW(control(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(link_box().centre().x, link_box().centre().y));
    pump(s_dialog);
    EXPECT_EQ(control(), GetFocus());
    EXPECT_EQ(control(), GetCapture());
    PostMessageW(control(), WM_LBUTTONUP, 0, 0);
    pump(s_dialog);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(LinkLabel, FocusRectangleWhileFocused) {
    open({kMarkupText});
    picture unfocused = capture(control());
    box link = find(unfocused, close_to(kBlue));
    SetFocus(control());
    pump(s_dialog);
    picture focused = capture(control());
    EXPECT_GE(differences(unfocused, focused), link.width()) << "a dotted frame around the link";
    for (size_t i = 0; i < focused.pixels.size(); ++i) {
        int x = static_cast<int>(i) % focused.width;
        if (focused.pixels[i] != unfocused.pixels[i]) {
            ASSERT_TRUE(x >= link.left - 3 && x <= link.right + 3) << x;
        }
    }
    SetFocus(GetDlgItem(s_dialog, IDOK));
    pump(s_dialog);
    EXPECT_EQ(0, differences(unfocused, capture(control())));
}

TEST_F(LinkLabel, PressInsideReleasedOutsideSendsNothing) {
    open({kMarkupText});
    box link = link_box();
    ASSERT_FALSE(link.empty());
    post_click(link.centre(), POINT{link.left - 20, link.centre().y});
    post_click(link.centre(), POINT{link.right + 40, link.centre().y});
    post_click(link.centre(), POINT{link.centre().x, link.bottom + 30});
    EXPECT_EQ(0u, g_notices.size()) << notices_text();
    EXPECT_EQ(nullptr, GetCapture());
}

// The static would tell its parent about clicks itself (STN_CLICKED, STN_DBLCLK
// arrive as WM_COMMAND from the control), which the parent cannot tell from an
// activation.
TEST_F(LinkLabel, DoubleClickIsOneActivationAndClicksBesideTheLinkStaySilent) {
    open({kMarkupText});
    box link = link_box();
    POINT at = link.centre();
    PostMessageW(control(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(control(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    PostMessageW(control(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(control(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    pump(s_dialog);
    EXPECT_EQ(1u, g_notices.size()) << notices_text();

    g_notices.clear();
    POINT beside{2, at.y};
    PostMessageW(control(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(beside.x, beside.y));
    PostMessageW(control(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(beside.x, beside.y));
    pump(s_dialog);
    EXPECT_EQ(0u, g_notices.size()) << notices_text();
}

TEST_F(LinkLabel, NotifyClickSendsOneClickNotification) {
    open({kMarkupText, kDialogOptions | LL_NOTIFYCLICK});
    post_click(link_box().centre());
    ASSERT_EQ(1u, g_notices.size()) << notices_text();
    EXPECT_EQ(static_cast<UINT>(WM_NOTIFY), g_notices[0].message);
    EXPECT_EQ(kLabelId, g_notices[0].id);
    EXPECT_EQ(NM_CLICK, g_notices[0].code);
    EXPECT_EQ(control(), g_notices[0].from);
    press_key(VK_SPACE);
    ASSERT_EQ(1u, g_notices.size()) << notices_text();
    EXPECT_EQ(NM_CLICK, g_notices[0].code);
}

// ---- Layout ----

TEST_F(LinkLabel, CentredPlainLinkIsCentredAndLiveOnlyOverItsText) {
    open({L"Click here to show hidden updates.", LL_NOTIFYPARENT | LL_NOTOOLTIP, SS_CENTER | WS_TABSTOP, 155, 8});
    picture painted = capture(control());
    box link = find(painted, close_to(kBlue));
    ASSERT_FALSE(link.empty());
    int left_margin = link.left;
    int right_margin = painted.width - 1 - link.right;
    EXPECT_LE(std::abs(left_margin - right_margin), 3) << left_margin << " vs " << right_margin;
    EXPECT_GT(left_margin, 10);

    post_click(POINT{2, link.centre().y});
    post_click(POINT{painted.width - 2, link.centre().y});
    EXPECT_EQ(0u, g_notices.size()) << notices_text();
    post_click(POINT{link.left + 2, link.centre().y});
    EXPECT_EQ(1, commands_from_label()) << notices_text();
}

TEST_F(LinkLabel, NewFontMovesTheLink) {
    open({kMarkupText});
    box before = link_box();
    LOGFONTW big{};
    big.lfHeight = -18;
    wcscpy(big.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&big);
    SetWindowPos(control(), nullptr, 0, 0, 560, 40, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(control(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font), SendMessageW(control(), WM_GETFONT, 0, 0));
    box after = link_box();
    ASSERT_FALSE(after.empty());
    EXPECT_GT(after.left, before.left + 20);
    post_click(after.centre());
    EXPECT_EQ(1u, g_notices.size()) << notices_text();
    remove(control());
    DeleteObject(font);
}

// ---- Looks ----

TEST_F(LinkLabel, HoverUnderlineOnlyWhileTheMouseIsOverTheLink) {
    open({L"Show the release notes", LL_NOTIFYPARENT | LL_HOVERUNDERLINE, SS_LEFT});
    box link = link_box();
    ASSERT_FALSE(link.empty());
    EXPECT_FALSE(underlined(capture(control()), close_to(kBlue)));

    POINT inside = link.centre();
    ClientToScreen(control(), &inside);
    SetCursorPos(inside.x, inside.y);
    bool shown = false;
    for (int i = 0; i < 50 && !shown; ++i) {
        pump(s_dialog, 20);
        shown = underlined(capture(control()), close_to(kBlue));
    }
    EXPECT_TRUE(shown) << "underlined while the mouse is over the link";

    RECT frame{};
    GetWindowRect(s_dialog, &frame);
    SetCursorPos(frame.left - 50, frame.top - 50);
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        pump(s_dialog, 20);
        gone = !underlined(capture(control()), close_to(kBlue));
    }
    EXPECT_TRUE(gone) << "plain again after the mouse left";
    EXPECT_FALSE(find(capture(control()), close_to(kBlue)).empty());
}

TEST_F(LinkLabel, UnderlinedUnlessTurnedOffOrBold) {
    struct row {
        unsigned options;
        bool underline;
    } rows[] = {{0, true}, {LL_NOUNDERLINE, false}, {LL_USETAGS | LL_BOLDTAGS, false}, {LL_USETAGS, true}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.options);
        AULinkLabel label;
        HWND control = add_label(label, r.options | LL_NOTIFYPARENT, L"A <A>longer link text</A>");
        EXPECT_EQ(r.underline, underlined(capture(control), close_to(kBlue)));
        remove(control);
    }
}

TEST_F(LinkLabel, BoldTagsDrawTheLinkBold) {
    auto link_ink = [&](unsigned options) {
        AULinkLabel label;
        HWND control = add_label(label, options, L"Click <A>here</A> to see");
        picture painted = capture(control);
        remove(control);
        return std::make_pair(count(painted, close_to(kBlue)), find(painted, close_to(kBlue)).width());
    };
    auto normal = link_ink(LL_USETAGS | LL_NOTIFYPARENT | LL_NOUNDERLINE);
    auto bold = link_ink(LL_USETAGS | LL_NOTIFYPARENT | LL_BOLDTAGS);
    EXPECT_GT(bold.first, normal.first * 5 / 4) << "more ink";
    EXPECT_GT(bold.second, normal.second) << "wider";
}

TEST_F(LinkLabel, DisabledLinkIsGreyAndBlueAgainWhenEnabled) {
    open({L"Show the release notes", LL_NOTIFYPARENT, SS_LEFT});
    EnableWindow(control(), FALSE);
    pump(s_dialog);
    picture painted = capture(control());
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(0, count(painted, close_to(kBlue)));
    EXPECT_GT(count(painted, close_to(grey, 12)), 10);
    EXPECT_EQ(0, count(painted, [&](COLORREF p) { return GetRValue(p) < GetRValue(grey) - 30; }))
        << "no darker ink than the grey";

    EnableWindow(control(), TRUE);
    pump(s_dialog);
    EXPECT_GT(count(capture(control()), close_to(kBlue)), 10);
}

// ---- Opening the target with the shell ----

class scratch_file {
public:
    scratch_file(const wchar_t* name, const char* content) {
        wchar_t folder[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, folder);
        m_path = std::wstring(folder) + name;
        FILE* f = _wfopen(m_path.c_str(), L"wb");
        if (f) {
            fputs(content, f);
            fclose(f);
        }
    }
    ~scratch_file() { DeleteFileW(m_path.c_str()); }
    const std::wstring& path() const { return m_path; }

private:
    std::wstring m_path;
};

TEST_F(LinkLabel, OpeningTheTargetMarksTheLinkVisited) {
    m_visited.set_text(L"0,128,0");
    scratch_file script(L"vl_link_label_target.bat", "@exit /b 0\r\n");
    open({L"Open the notes", 0, SS_LEFT});
    ASSERT_TRUE(m_label.set_link_target(script.path()));
    box link = link_box();
    ASSERT_FALSE(link.empty());
    EXPECT_EQ(0, count(capture(control()), close_to(kGreen)));

    post_click(link.centre());
    EXPECT_TRUE(m_label.visited());
    picture painted = capture(control());
    EXPECT_GT(count(painted, close_to(kGreen)), 10) << "drawn in the visited colour from the registry";
    EXPECT_EQ(0, count(painted, close_to(kBlue)));
    EXPECT_EQ(0u, g_notices.size()) << "the parent is not told: " << notices_text();
}

TEST_F(LinkLabel, FailedOpenLeavesTheLinkUnvisited) {
    open({L"Open the notes", 0, SS_LEFT});
    ASSERT_TRUE(m_label.set_link_target(L"C:\\no such folder\\no such file.vlnothing"));
    post_click(link_box().centre());
    EXPECT_FALSE(m_label.visited());
    EXPECT_GT(count(capture(control()), close_to(kBlue)), 10);
    EXPECT_EQ(0, count(capture(control()), close_to(kPurple)));
}

TEST_F(LinkLabel, PlainLabelOpensItsOwnText) {
    open({L"www.tendwell.test", 0, SS_LEFT});
    EXPECT_EQ(L"www.tendwell.test", m_label.link_target());
    EXPECT_EQ(L"www.tendwell.test", m_label.label_text());
}

// ---- Tooltip ----

// The tooltip window that holds the label's tool.
HWND tooltip_of(HWND control) {
    struct search {
        HWND control;
        HWND found;
    } s{control, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<search*>(context);
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = s->control;
            tool.uId = 1;
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 &&
                SendMessageW(window, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)))
                s->found = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

TEST_F(LinkLabel, TooltipHasOneToolOverTheLinkAndGoesWithTheControl) {
    open({L"Read <A>the notes</A> first", LL_USETAGS, SS_LEFT});
    ASSERT_TRUE(m_label.set_link_target(L"C:\\notes.html"));
    ASSERT_TRUE(m_label.set_link_target(L"C:\\other notes.html"));
    HWND tooltip = tooltip_of(control());
    ASSERT_NE(nullptr, tooltip);
    EXPECT_EQ(1, SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));

    wchar_t text[64] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = control();
    tool.uId = 1;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(L"C:\\other notes.html", text);
    box link = link_box();
    EXPECT_LE(tool.rect.left, link.left);
    EXPECT_GE(tool.rect.right, link.right);
    EXPECT_GT(tool.rect.left, 5) << "the tool covers the link, not the text before it";

    remove(control());
    EXPECT_FALSE(IsWindow(tooltip));
}

// ---- Attaching ----

TEST_F(LinkLabel, AttachFailsWithoutTouchingTheControl) {
    HWND control = add_static(kLabelId, SS_LEFT, 7, 7, 285, 8, kMarkupText);
    HWND second = add_static(kLabelId + 1, SS_LEFT, 7, 20, 285, 8, L"second");
    HWND gone = CreateWindowExW(0, L"STATIC", L"x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    AULinkLabel label;
    label.set_options(kDialogOptions);
    EXPECT_FALSE(label.attach(nullptr));
    EXPECT_FALSE(label.attach(gone));

    // A control of another thread cannot be subclassed from here.
    HWND foreign = nullptr;
    HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        foreign = CreateWindowExW(0, L"STATIC", kMarkupText, SS_LEFT, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr);
        SetEvent(made);
        while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        DestroyWindow(foreign);
    });
    WaitForSingleObject(made, INFINITE);
    LONG_PTR style = GetWindowLongPtrW(foreign, GWL_STYLE);
    LONG_PTR procedure = GetWindowLongPtrW(foreign, GWLP_WNDPROC);
    EXPECT_FALSE(label.attach(foreign));
    EXPECT_EQ(style, GetWindowLongPtrW(foreign, GWL_STYLE));
    EXPECT_EQ(procedure, GetWindowLongPtrW(foreign, GWLP_WNDPROC));
    wchar_t text[80] = {};
    GetWindowTextW(foreign, text, 80);
    EXPECT_STREQ(kMarkupText, text) << "the raw text stays";
    SetEvent(done);
    owner.join();
    CloseHandle(made);
    CloseHandle(done);

    // After the failures the label still takes a control, and only one.
    ASSERT_TRUE(label.attach(control));
    EXPECT_TRUE(GetWindowLongPtrW(control, GWL_STYLE) & SS_NOTIFY);
    LONG_PTR second_style = GetWindowLongPtrW(second, GWL_STYLE);
    EXPECT_FALSE(label.attach(second));
    EXPECT_EQ(second_style, GetWindowLongPtrW(second, GWL_STYLE));
    EXPECT_FALSE(find(capture(control), close_to(kBlue)).empty());
}

TEST_F(LinkLabel, GraphicStaticKeepsItsOwnPainting) {
    open({L"", LL_NOTIFYPARENT, SS_BLACKRECT, 40, 20});
    picture painted = capture(control());
    COLORREF corner = painted.at(0, 0);
    EXPECT_EQ(painted.width * painted.height, count(painted, [](COLORREF p) { return ink(p); }))
        << "the black rectangle paints itself; a corner is " << std::hex << corner;
}

TEST_F(LinkLabel, DestroyedLabelLeavesAPlainStatic) {
    m_control = add_static(kLabelId, SS_LEFT, 7, 7, 285, 8, L"plain");
    {
        AULinkLabel label;
        label.set_options(LL_NOTIFYPARENT);
        ASSERT_TRUE(label.attach(control()));
    }
    // The control still gets messages; none reaches the gone label.
    post_click(POINT{3, 3});
    picture painted = capture(control());
    EXPECT_EQ(0, count(painted, close_to(kBlue)));
    EXPECT_FALSE(find(painted, ink).empty()) << "painted as a plain static";
}

// ---- A gallery of the variants, saved as a picture for the documentation ----

void write_bmp(const char* path, const memory_bitmap& bitmap) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = bitmap.width;
    info.biHeight = -bitmap.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    DWORD bytes = static_cast<DWORD>(bitmap.width * bitmap.height * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    GdiFlush();
    FILE* f = fopen(path, "wb");
    ASSERT_NE(nullptr, f);
    fwrite(&file, sizeof file, 1, f);
    fwrite(&info, sizeof info, 1, f);
    fwrite(bitmap.bits, bytes, 1, f);
    fclose(f);
}

TEST_F(LinkLabel, GalleryOfVariants) {
    struct variant {
        int id;
        unsigned options;
        DWORD style;
        const wchar_t* text;
        COLORREF link;
    } variants[] = {
        {1001, 0, SS_LEFT | WS_TABSTOP, L"www.tendwell.test", kBlue},
        {1002, kDialogOptions, SS_LEFT | WS_TABSTOP, kMarkupText, kBlue},
        {1003, LL_USETAGS | LL_BOLDTAGS | LL_NOTIFYPARENT, SS_LEFT | WS_TABSTOP,
         L"Click <A>here</A> to see what information specifically are collected.", kBlue},
        {1004, kDialogOptions, SS_LEFT | WS_TABSTOP | WS_DISABLED,
         L"<A>Update now</A> here or using the main menu command manually to review or show them.",
         GetSysColor(COLOR_GRAYTEXT)},
        {1005, LL_NOTIFYPARENT | LL_NOTOOLTIP, SS_CENTER | WS_TABSTOP, L"Click here to show hidden updates.", kBlue},
    };
    std::vector<dialog_item> items;
    short y = 7;
    for (const variant& v : variants) {
        items.push_back({static_cast<WORD>(v.id), kStaticAtom, v.style, 7, y, 285, 8, v.text});
        y += 14;
    }
    HWND gallery = create_dialog(L"Link label variants", 300, static_cast<short>(y + 4), items, 700, 500);
    std::vector<std::unique_ptr<AULinkLabel>> labels;
    for (const variant& v : variants) {
        labels.push_back(std::make_unique<AULinkLabel>());
        labels.back()->set_options(v.options);
        ASSERT_TRUE(labels.back()->attach(GetDlgItem(gallery, v.id)));
    }
    pump(gallery, 100);

    for (const variant& v : variants) {
        SCOPED_TRACE(v.id);
        HWND control = GetDlgItem(gallery, v.id);
        picture painted = capture(control);
        box text = find(painted, [](COLORREF p) { return GetRValue(p) + GetGValue(p) + GetBValue(p) < 600; });
        ASSERT_FALSE(text.empty());
        EXPECT_LT(text.right, painted.width - 1) << "the text fits the control";
        EXPECT_FALSE(find(painted, close_to(v.link, 12)).empty()) << "the link is drawn";
    }

    // What the screen shows of the dialog's client area (without a window manager
    // nobody draws the frame).
    RedrawWindow(gallery, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump(gallery, 200);
    RECT client{};
    GetClientRect(gallery, &client);
    POINT origin{0, 0};
    ClientToScreen(gallery, &origin);
    memory_bitmap bitmap(client.right, client.bottom);
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(BitBlt(bitmap.dc, 0, 0, bitmap.width, bitmap.height, screen, origin.x, origin.y, SRCCOPY));
    ReleaseDC(nullptr, screen);
    write_bmp("link_label_dialog.bmp", bitmap);
    DestroyWindow(gallery);
}

}  // namespace

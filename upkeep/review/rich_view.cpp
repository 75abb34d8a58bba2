#include "rich_view.h"

#include <richedit.h>
#include <vssym32.h>

#include <mutex>

#include "frame/api/shared.h"
#include "frame/utf16.h"
#include "frame/win32_handles.h"

namespace {

constexpr WPARAM kStreamUtf8Rtf = (CP_UTF8 << 16) | SF_USECODEPAGE | SF_RTF;

struct stream_source {
    const std::string* text;
    size_t position;
};

DWORD CALLBACK give_rtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<stream_source*>(cookie);
    size_t left = source->text->size() - source->position;
    size_t n = left < static_cast<size_t>(wanted) ? left : static_cast<size_t>(wanted);
    std::memcpy(buffer, source->text->data() + source->position, n);
    source->position += n;
    *given = static_cast<LONG>(n);
    return 0;
}

RgbColour colour_of(int system_index) { return RgbColour::from_colorref(GetSysColor(system_index)); }

// Has the non-client area drawn again (the border follows the focus).
void redraw_frame(HWND control) {
    SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

bool visual_styles_available() {
    static std::once_flag decided;
    static bool available = false;
    std::call_once(decided, [] {
        HMODULE theme_library = LoadLibraryW(L"uxtheme.dll");
        available = theme_library != nullptr;
        if (theme_library) FreeLibrary(theme_library);
    });
    return available;
}

AURichView::~AURichView() { close_theme(); }

bool AURichView::Attach(HWND control) {
    if (!attach(control)) return false;
    initialise();
    return true;
}

void AURichView::initialise() {
    HWND control = window();
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) & ~static_cast<LONG_PTR>(ES_AUTOHSCROLL));
    SendMessageW(control, EM_SETTARGETDEVICE, 0, 0);
    SendMessageW(control, EM_SETEVENTMASK, 0, ENM_LINK | ENM_SELCHANGE | ENM_KEYEVENTS);
    open_theme();
}

void AURichView::open_theme() {
    close_theme();
    if (visual_styles_available()) m_theme = OpenThemeData(window(), L"EDIT");
}

void AURichView::close_theme() {
    if (m_theme) CloseThemeData(m_theme);
    m_theme = nullptr;
}

void AURichView::conversion_inputs(Html2RtfFont& font, RgbColour& text, RgbColour& background,
                                   Html2RtfDisplay& display) {
    HWND control = window();
    HFONT parent_font = reinterpret_cast<HFONT>(SendMessageW(GetParent(control), WM_GETFONT, 0, 0));
    if (!parent_font) parent_font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    LOGFONTW logical{};
    GetObjectW(parent_font, sizeof logical, &logical);
    font.face = wide_to_utf8(logical.lfFaceName);
    font.height = logical.lfHeight;
    window_dc dc(control);
    text = RgbColour::from_colorref(GetTextColor(dc.get()));
    background = RgbColour::from_colorref(GetBkColor(dc.get()));
    display.pixels_per_inch = GetDeviceCaps(dc.get(), LOGPIXELSX);
    display.colours = {colour_of(COLOR_WINDOW), colour_of(COLOR_WINDOWTEXT), colour_of(COLOR_BTNFACE),
                       colour_of(COLOR_BTNTEXT)};
}

bool AURichView::SetHtml(const std::string& html) {
    uCallStackTracker marker("Html2Rtf");
    Html2RtfFont font;
    RgbColour text, background;
    Html2RtfDisplay display;
    conversion_inputs(font, text, background, display);
    std::optional<std::string> rtf = m_converter.Convert(html, font, text, background, display);
    if (!rtf) return false;
    show_rtf(*rtf, background);
    return true;
}

void AURichView::SetPlainText(const std::string& text) {
    Html2RtfFont font;
    RgbColour text_colour, background;
    Html2RtfDisplay display;
    conversion_inputs(font, text_colour, background, display);
    show_rtf(m_converter.ConvertPlainText(text, font, text_colour, background), background);
}

void AURichView::show_rtf(const std::string& rtf, RgbColour background) {
    HWND control = window();
    SendMessageW(control, EM_SETBKGNDCOLOR, 0, background.to_colorref());
    stream_source source{&rtf, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &give_rtf};
    SendMessageW(control, EM_STREAMIN, kStreamUtf8Rtf, reinterpret_cast<LPARAM>(&stream));
    for (const Html2RtfLink& link : m_converter.Links()) {
        CHARRANGE range{static_cast<LONG>(link.start), static_cast<LONG>(link.end)};
        SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_LINK | CFM_UNDERLINE | CFM_STYLE | CFM_UNDERLINETYPE;
        format.dwEffects = CFE_LINK | CFE_UNDERLINE;
        format.bUnderlineType = CFU_UNDERLINE;
        format.sStyle = 0;
        SendMessageW(control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    CHARRANGE start{0, 0};
    SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
}

LRESULT AURichView::on_reflected_notify(NMHDR* header) {
    HWND control = window();
    switch (header->code) {
    case EN_SELCHANGE: {
        auto* change = reinterpret_cast<SELCHANGE*>(header);
        SendMessageW(control, EM_HIDESELECTION, change->chrg.cpMin == change->chrg.cpMax, 0);
        return 0;
    }
    case EN_MSGFILTER: {
        auto* filter = reinterpret_cast<MSGFILTER*>(header);
        if (filter->msg != WM_KEYDOWN) return 1;
        switch (filter->wParam) {
        case VK_TAB: return 0;
        case VK_UP: SendMessageW(control, EM_SCROLL, SB_LINEUP, 0); return 1;
        case VK_DOWN: SendMessageW(control, EM_SCROLL, SB_LINEDOWN, 0); return 1;
        case VK_PRIOR: SendMessageW(control, EM_SCROLL, SB_PAGEUP, 0); return 1;
        case VK_NEXT: SendMessageW(control, EM_SCROLL, SB_PAGEDOWN, 0); return 1;
        case VK_HOME: SendMessageW(control, EM_SCROLL, 6, 0); return 1;
        case VK_END: SendMessageW(control, EM_SCROLL, 7, 0); return 1;
        default: return 1;
        }
    }
    case EN_LINK: {
        auto* link = reinterpret_cast<ENLINK*>(header);
        if (link->msg != WM_LBUTTONDOWN) return 0;
        if (const Html2RtfLink* record = m_converter.LinkStartingAt(static_cast<size_t>(link->chrg.cpMin)))
            uShellExecute(control, nullptr, record->url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
        return 1;
    }
    default:
        return 0;
    }
}

bool AURichView::paint_themed_border(HRGN update) {
    HWND control = window();
    HDC dc = GetWindowDC(control);
    if (!dc) return false;
    int border_x = GetSystemMetrics(SM_CXBORDER), border_y = GetSystemMetrics(SM_CYBORDER);
    const int state = GetFocus() == control ? ETS_FOCUSED : ETS_NORMAL;
    int sizing = 0;
    if (SUCCEEDED(GetThemeInt(m_theme, EP_EDITBORDER_NOSCROLL, state, TMT_SIZINGBORDERWIDTH, &sizing)))
        border_x = border_y = sizing;

    RECT outer;
    GetWindowRect(control, &outer);
    RECT inner = outer;
    InflateRect(&inner, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    HRGN region = CreateRectRgnIndirect(&inner);
    if (update != reinterpret_cast<HRGN>(1)) CombineRgn(region, region, update, RGN_AND);

    OffsetRect(&inner, -outer.left, -outer.top);
    OffsetRect(&outer, -outer.left, -outer.top);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    DrawThemeBackground(m_theme, dc, EP_EDITBORDER_NOSCROLL, state, &outer, nullptr);
    if (border_x < GetSystemMetrics(SM_CXEDGE) && border_y < GetSystemMetrics(SM_CYEDGE)) {
        // The ring between the themed border and the client area (the inner rectangle
        // is still excluded from drawing).
        RECT ring = outer;
        InflateRect(&ring, -border_x, -border_y);
        HBRUSH background = reinterpret_cast<HBRUSH>(GetClassLongPtrW(control, GCLP_HBRBACKGROUND));
        if (!background) background = GetSysColorBrush(COLOR_WINDOW);
        FillRect(dc, &ring, background);
    }
    ReleaseDC(control, dc);
    call_previous(WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
    DeleteObject(region);
    return true;
}

LRESULT AURichView::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND control = window();
    switch (message) {
    case WM_CREATE: {
        LRESULT result = call_previous(message, wparam, lparam);
        initialise();
        return result;
    }
    case WM_DESTROY:
        close_theme();
        return call_previous(message, wparam, lparam);
    case WM_THEMECHANGED:
        open_theme();
        return call_previous(message, wparam, lparam);
    case WM_NCPAINT:
        if (visual_styles_available() && m_theme && (GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) &&
            paint_themed_border(reinterpret_cast<HRGN>(wparam)))
            return 0;
        return call_previous(message, wparam, lparam);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS: {
        LRESULT result = call_previous(message, wparam, lparam);
        CHARRANGE range;
        SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        if (range.cpMin == range.cpMax) SendMessageW(control, EM_HIDESELECTION, TRUE, 0);
        redraw_frame(control);
        return result;
    }
    case WM_KILLFOCUS:
        redraw_frame(control);
        return call_previous(message, wparam, lparam);
    case reflected_notify:
        return on_reflected_notify(reinterpret_cast<NMHDR*>(lparam));
    default:
        return call_previous(message, wparam, lparam);
    }
}

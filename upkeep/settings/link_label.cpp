#include "link_label.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdlib>
#include <new>

#include "frame/seh_guard.h"
#include "frame/win32_handles.h"

// The module this code is linked into (the plug-in), for the tooltip's tool.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr UINT_PTR kSubclassId = 0x4C4C4142;  // any value unique among this window's subclasses
constexpr UINT_PTR kToolId = 1;
// The tool description the tooltip is given: 48 bytes in the shipped 32-bit build.
static_assert(sizeof(void*) != 4 || sizeof(TTTOOLINFOW) == 48, "tool description size");
constexpr wchar_t kColourKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

bool tag_at(std::wstring_view text, size_t position, std::wstring_view tag) {
    if (text.size() - position < tag.size()) return false;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.data() + position, static_cast<int>(tag.size()),
                          tag.data(), static_cast<int>(tag.size())) == CSTR_EQUAL;
}

// One colour value of the registry; -1 unless it is a terminated string of fewer than
// 12 characters that parses as a colour.
long read_colour_value(HKEY key, const wchar_t* name) {
    wchar_t buffer[12] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return -1;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size % 2 != 0) return -1;
    size_t chars = size / 2;
    if (chars != 0 && buffer[chars - 1] != L'\0') return -1;
    return parse_link_colour(std::wstring_view(buffer, chars ? chars - 1 : 0));
}

// WM_SETFONT with no font means the system font.
HFONT font_or_system(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

int text_length(std::wstring_view text) { return static_cast<int>(text.size()); }

UINT static_alignment(HWND window) {
    LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & SS_TYPEMASK;
    if (type == SS_CENTER) return DT_CENTER;
    if (type == SS_RIGHT) return DT_RIGHT;
    return DT_LEFT;
}

}  // namespace

link_markup split_link_markup(std::wstring_view text) {
    link_markup parts;
    size_t link_start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'<') continue;
        if (!parts.has_link) {
            if (tag_at(text, i, L"<A>")) {
                parts.prefix = text.substr(0, i);
                parts.has_link = true;
                link_start = i + 3;
                parts.link = text.substr(link_start);  // until a closing tag is found
                i += 2;
            }
        } else if (tag_at(text, i, L"</A>")) {
            parts.link = text.substr(link_start, i - link_start);
            parts.suffix = text.substr(i + 4);
            break;
        }
    }
    // Without an opening tag the whole text is shown as normal text.
    if (!parts.has_link) parts.prefix = text;
    return parts;
}

long parse_link_colour(std::wstring_view text) {
    std::wstring buffer(text);  // split in place: each comma becomes a terminator
    wchar_t* field = buffer.data();
    long values[3] = {};
    for (int i = 0; i < 2; ++i) {
        wchar_t* p = field;
        while (*p != L'\0' && *p != L',') p = CharNextW(p);
        if (*p != L',') return -1;
        *p = L'\0';
        values[i] = _wtoi(field);
        if (values[i] == -1) return -1;
        field = p + 1;
    }
    if (*field == L'\0') return -1;
    values[2] = _wtoi(field);
    return (values[0] & 0xFF) | ((values[1] & 0xFF) << 8) | ((values[2] & 0xFF) << 16);
}

AULinkLabel::~AULinkLabel() {
    detach();
    if (m_state & state_owns_link_font) DeleteObject(m_link_font);
}

bool AULinkLabel::attach(HWND control) {
    // One control per label; a window can only be subclassed from its own thread.
    if (m_window || !IsWindow(control) || GetWindowThreadProcessId(control, nullptr) != GetCurrentThreadId())
        return false;
    if (!SetWindowSubclass(control, &AULinkLabel::subclass_proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_window = control;
    run_attach_steps();
    return true;
}

void AULinkLabel::detach() {
    if (!m_window) return;
    if (m_tooltip) DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
    RemoveWindowSubclass(m_window, &AULinkLabel::subclass_proc, kSubclassId);
    m_window = nullptr;
}

bool AULinkLabel::set_label_text(std::wstring_view text) {
    try {
        std::wstring copy(text);
        m_label.swap(copy);
    } catch (const std::bad_alloc&) {
        return false;
    }
    recompute_link_rect();
    if (m_window) {
        SetWindowTextW(m_window, m_label.c_str());
        // The static draws its new text at once in its own way; draw it as a link.
        InvalidateRect(m_window, nullptr, TRUE);
    }
    return true;
}

bool AULinkLabel::set_link_target(std::wstring_view target) {
    try {
        std::wstring copy(target);
        m_target.swap(copy);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (m_label.empty()) recompute_link_rect();
    if (m_tooltip) {
        SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
        add_tool();
    }
    return true;
}

void AULinkLabel::run_attach_steps() {
    wchar_t class_name[8] = {};
    GetClassNameW(m_window, class_name, 8);
    if (lstrcmpiW(class_name, L"static") == 0) {
        // Without SS_NOTIFY a static lets every mouse message through to its parent.
        LONG_PTR style = GetWindowLongPtrW(m_window, GWL_STYLE);
        if (!(style & SS_NOTIFY)) SetWindowLongPtrW(m_window, GWL_STYLE, style | SS_NOTIFY);
        // Icons, frames, bitmaps and owner-drawn statics keep their own painting.
        LONG_PTR type = style & SS_TYPEMASK;
        if ((type >= SS_ICON && type <= SS_WHITEFRAME) || (type >= SS_OWNERDRAW && type <= SS_ENHMETAFILE))
            m_state &= ~state_paint_as_link;
    }

    m_hand = LoadCursorW(nullptr, IDC_HAND);

    if (painting_as_link()) {
        m_normal_font = reinterpret_cast<HFONT>(SendMessageW(GetParent(m_window), WM_GETFONT, 0, 0));
        if (!m_normal_font) m_normal_font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        if (!m_link_font) create_link_font();
    }

    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, m_window, nullptr, reinterpret_cast<HINSTANCE>(&__ImageBase), nullptr);

    if (m_label.empty()) {
        int length = GetWindowTextLengthW(m_window);
        if (length > 0) {
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            text.resize(static_cast<size_t>(GetWindowTextW(m_window, text.data(), length + 1)));
            set_label_text(text);
        }
    }

    recompute_link_rect();

    if (!m_target.empty() || (m_options & LL_NOTIFYPARENT)) {
        if (m_tooltip) {
            SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
            add_tool();
        }
    } else if (!m_label.empty()) {
        // The text shown is also what activation opens.
        set_link_target(m_label);
    }

    if (painting_as_link()) read_registry_colours();
}

void AULinkLabel::create_link_font() {
    LOGFONTW font{};
    if (GetObjectW(m_normal_font, sizeof font, &font) == 0) return;
    if ((m_options & LL_USETAGS) && (m_options & LL_BOLDTAGS))
        font.lfWeight = FW_BOLD;
    else if (!(m_options & LL_NOUNDERLINE))
        font.lfUnderline = TRUE;
    m_link_font = CreateFontIndirectW(&font);
    if (m_link_font) m_state |= state_owns_link_font;
}

void AULinkLabel::read_registry_colours() {
    // Read access is all it needs; a key the user may not write stays readable.
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kColourKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return;
    registry_key_t key(raw);
    long colour = read_colour_value(key.get(), L"Anchor Color");
    if (colour != -1) m_link_colour = static_cast<COLORREF>(colour);
    colour = read_colour_value(key.get(), L"Anchor Color Visited");
    if (colour != -1) m_visited_colour = static_cast<COLORREF>(colour);
}

void AULinkLabel::add_tool() {
    // One tool: a new target replaces the one added before.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_window;
    tool.uId = kToolId;
    SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.rect = m_link_rect;
    tool.hinst = reinterpret_cast<HINSTANCE>(&__ImageBase);
    tool.lpszText = m_target.empty() ? nullptr : m_target.data();
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void AULinkLabel::recompute_link_rect() {
    if (!m_window || !IsWindow(m_window) || shown_text().empty()) return;
    RECT client{};
    GetClientRect(m_window, &client);
    RECT link = client;
    if (painting_as_link()) {
        window_dc dc(m_window);
        HFONT link_font = m_link_font ? m_link_font : font_or_system(m_normal_font);
        const std::wstring& text = shown_text();
        if (m_options & LL_USETAGS) {
            link_markup parts = split_link_markup(text);
            if (!parts.has_link) {
                link = RECT{};  // nothing to click
            } else {
                if (!parts.prefix.empty()) {
                    gdi_selection font(dc.get(), font_or_system(m_normal_font));
                    RECT prefix = client;
                    DrawTextW(dc.get(), parts.prefix.data(), text_length(parts.prefix), &prefix,
                              DT_CALCRECT | DT_WORDBREAK);
                    link.left = prefix.right;
                }
                gdi_selection font(dc.get(), link_font);
                DrawTextW(dc.get(), parts.link.data(), text_length(parts.link), &link, DT_CALCRECT | DT_WORDBREAK);
            }
        } else {
            UINT alignment = static_alignment(m_window);
            gdi_selection font(dc.get(), link_font);
            DrawTextW(dc.get(), text.data(), text_length(text), &link, DT_CALCRECT | DT_WORDBREAK | alignment);
            int free_width = client.right - link.right;
            if (alignment == DT_CENTER) OffsetRect(&link, free_width / 2, 0);
            if (alignment == DT_RIGHT) OffsetRect(&link, free_width, 0);
        }
    }
    m_link_rect = link;
    if (m_tooltip) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_window;
        tool.uId = kToolId;
        tool.rect = m_link_rect;
        SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool AULinkLabel::link_is_live() const { return !m_target.empty() || (m_options & LL_NOTIFYPARENT); }

bool AULinkLabel::can_activate() const { return link_is_live() && !IsRectEmpty(&m_link_rect); }

void AULinkLabel::repaint_now(const RECT* area) {
    InvalidateRect(m_window, area, TRUE);
    UpdateWindow(m_window);
}

void AULinkLabel::set_hovering(bool hovering) {
    if (hovering)
        m_state |= state_hovering;
    else
        m_state &= ~state_hovering;
    repaint_now(&m_link_rect);
}

void AULinkLabel::activate() {
    if (!can_activate()) return;
    if (m_options & LL_NOTIFYPARENT) {
        // The parent may destroy this label while it handles the notification: nothing
        // of the label is touched after it.
        HWND parent = GetParent(m_window);
        int id = GetDlgCtrlID(m_window);
        if (m_options & LL_NOTIFYCLICK) {
            NMHDR header{m_window, static_cast<UINT_PTR>(id), static_cast<UINT>(NM_CLICK)};
            SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
        } else {
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(m_window));
        }
        return;
    }
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", m_target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) {
        m_state |= state_visited;
        repaint_now(nullptr);
    }
}

void AULinkLabel::paint(HDC dc) {
    RECT client{};
    GetClientRect(m_window, &client);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(m_window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(m_window)));
    if (brush) FillRect(dc, &client, brush);

    int previous_mode = SetBkMode(dc, TRANSPARENT);
    COLORREF previous_colour = GetTextColor(dc);
    COLORREF link_colour = !IsWindowEnabled(m_window) ? GetSysColor(COLOR_GRAYTEXT)
                           : visited()                ? m_visited_colour
                                                      : m_link_colour;
    HFONT normal_font = font_or_system(m_normal_font);
    bool plain = ((m_options & LL_HOVERUNDERLINE) && !(m_state & state_hovering)) || !m_link_font;
    HFONT link_font = plain ? normal_font : m_link_font;
    HGDIOBJ previous_font = SelectObject(dc, normal_font);

    const std::wstring& text = shown_text();
    if (m_options & LL_USETAGS) {
        link_markup parts = split_link_markup(text);
        RECT area = client;
        DrawTextW(dc, parts.prefix.data(), text_length(parts.prefix), &area, DT_WORDBREAK);
        if (parts.has_link) {
            SetTextColor(dc, link_colour);
            SelectObject(dc, link_font);
            area = m_link_rect;
            DrawTextW(dc, parts.link.data(), text_length(parts.link), &area, DT_WORDBREAK);
            SetTextColor(dc, previous_colour);
            SelectObject(dc, normal_font);
            area = RECT{m_link_rect.right, m_link_rect.top, client.right, client.bottom};
            DrawTextW(dc, parts.suffix.data(), text_length(parts.suffix), &area, DT_WORDBREAK);
        }
    } else {
        SetTextColor(dc, link_colour);
        SelectObject(dc, link_font);
        RECT area = m_link_rect;
        DrawTextW(dc, text.data(), text_length(text), &area, DT_WORDBREAK | static_alignment(m_window));
    }

    if (GetFocus() == m_window) DrawFocusRect(dc, &m_link_rect);
    SelectObject(dc, previous_font);
    SetTextColor(dc, previous_colour);
    SetBkMode(dc, previous_mode);
}

LRESULT CALLBACK AULinkLabel::subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                            DWORD_PTR data) {
    LRESULT result = 0;
    run_seh_guarded([&] {
        auto* self = reinterpret_cast<AULinkLabel*>(data);
        result = self->on_message(message, wparam, lparam);
        if (message == WM_NCDESTROY) self->detach();
    });
    return result;
}

LRESULT AULinkLabel::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    auto previous = [&] { return DefSubclassProc(m_window, message, wparam, lparam); };

    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && m_tooltip && !(m_options & LL_NOTOOLTIP)) {
        MSG relayed{m_window, message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
        DWORD position = GetMessagePos();
        relayed.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }

    switch (message) {
    case WM_CREATE:
        run_attach_steps();
        return 0;
    case WM_DESTROY:
        if (m_tooltip) DestroyWindow(m_tooltip);
        m_tooltip = nullptr;
        return previous();

    case WM_MOUSEMOVE: {
        POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        bool hover_option = (m_options & LL_HOVERUNDERLINE) != 0;
        bool hovering = (m_state & state_hovering) != 0;
        if (link_is_live() && point_in_link(point)) {
            SetCursor(m_hand);
            if (hover_option && !hovering) {
                set_hovering(true);
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_window, 0};
                TrackMouseEvent(&track);
            }
        } else if (hover_option && hovering) {
            set_hovering(false);
        }
        return previous();
    }
    case WM_MOUSELEAVE:
        if ((m_options & LL_HOVERUNDERLINE) && (m_state & state_hovering)) set_hovering(false);
        return 0;
    case WM_SETCURSOR:
        if (link_is_live()) {
            POINT point{};
            GetCursorPos(&point);
            ScreenToClient(m_window, &point);
            if (point_in_link(point)) {
                SetCursor(m_hand);
                return TRUE;
            }
        }
        return previous();

    // The static's own click notifications (STN_CLICKED, STN_DBLCLK) would reach the
    // parent as WM_COMMAND with the control's identifier, like an activation, so no
    // left-button message goes on to it.
    case WM_LBUTTONDOWN: {
        POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (point_in_link(point)) {
            SetFocus(m_window);
            SetCapture(m_window);
        }
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != m_window) return 0;
        ReleaseCapture();
        POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (point_in_link(point)) activate();
        return 0;
    }

    case WM_CHAR:
        if (wparam == 13 || wparam == 32) activate();
        return 0;
    case WM_GETDLGCODE: {
        // Enter must reach the label as a character, not press the dialog's default button.
        LRESULT code = DLGC_WANTCHARS;
        const MSG* key = reinterpret_cast<const MSG*>(lparam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN && can_activate())
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!painting_as_link()) return previous();
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;

    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (!painting_as_link()) return previous();
        if (wparam) {
            paint(reinterpret_cast<HDC>(wparam));
        } else {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(m_window, &ps);
            paint(dc);
            EndPaint(m_window, &ps);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
        repaint_now(nullptr);
        return 0;
    case WM_SIZE:
        recompute_link_rect();
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    case WM_SETFONT:
        m_normal_font = reinterpret_cast<HFONT>(wparam);
        // The text around the link changes width, so the link moves.
        recompute_link_rect();
        if (LOWORD(lparam)) repaint_now(nullptr);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_normal_font);
    case WM_UPDATEUISTATE:
        return 0;
    default:
        return previous();
    }
}

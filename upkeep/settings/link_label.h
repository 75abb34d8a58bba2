// AULinkLabel: turns a static control of a dialog into a hyperlink-style label. The
// link is drawn in the link colour and font, the pointer turns into a hand over it,
// the label takes the keyboard focus, and activating it (click, Enter, Space) tells
// the parent or opens the target with the shell. With LL_USETAGS only the part
// between "<A>" and "</A>" is the link. Main thread only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Options, set by the owner before attaching.
enum : unsigned {
    LL_NOUNDERLINE = 0x01,     // the link font is not underlined
    LL_HOVERUNDERLINE = 0x02,  // the link font only while the mouse is over the link
    LL_NOTIFYPARENT = 0x04,    // activation notifies the parent; live even without a target
    LL_NOTIFYCLICK = 0x08,     // with LL_NOTIFYPARENT: NM_CLICK instead of WM_COMMAND
    LL_USETAGS = 0x10,         // "<A>...</A>" marks the link part of the text
    LL_BOLDTAGS = 0x20,        // with LL_USETAGS: bold link instead of underlined
    LL_NOTOOLTIP = 0x40,       // mouse messages never reach the tooltip
};

// A text cut at its "<A>" and "</A>" tags (compared without regard to case). A text
// without "<A>" is all prefix and has no link; a link without "</A>" runs to the end.
struct link_markup {
    std::wstring_view prefix;
    std::wstring_view link;
    std::wstring_view suffix;
    bool has_link = false;
};
link_markup split_link_markup(std::wstring_view text);

// Parses a colour written as "red,green,blue" in decimal; -1 when the text is not
// such a colour. Each field keeps its lowest 8 bits.
long parse_link_colour(std::wstring_view text);

class AULinkLabel {
public:
    AULinkLabel() = default;
    ~AULinkLabel();
    AULinkLabel(const AULinkLabel&) = delete;
    AULinkLabel& operator=(const AULinkLabel&) = delete;

    void set_options(unsigned options) { m_options = options; }

    // Makes `control` the label. False (and the control left as it was) when the
    // label cannot take it over; the owner then keeps a plain static control.
    bool attach(HWND control);
    HWND window() const { return m_window; }

    // Both answer false when the text cannot be stored. An empty text means none.
    bool set_label_text(std::wstring_view text);
    bool set_link_target(std::wstring_view target);
    const std::wstring& label_text() const { return m_label; }
    const std::wstring& link_target() const { return m_target; }

    bool visited() const { return (m_state & state_visited) != 0; }

private:
    enum : unsigned {
        state_paint_as_link = 0x01,
        state_visited = 0x02,
        state_hovering = 0x04,
        state_owns_link_font = 0x08,
    };

    static LRESULT CALLBACK subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                          DWORD_PTR data);
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
    void detach();

    void run_attach_steps();
    void read_registry_colours();
    void create_link_font();
    void add_tool();
    void recompute_link_rect();

    bool painting_as_link() const { return (m_state & state_paint_as_link) != 0; }
    // The text that is shown: the label text, or the target when there is none.
    const std::wstring& shown_text() const { return m_label.empty() ? m_target : m_label; }
    // Live: a click on the link does something (it has a target, or the parent is told).
    bool link_is_live() const;
    // A live link part exists, so Enter, Space and clicks activate it.
    bool can_activate() const;
    bool point_in_link(POINT point) const { return PtInRect(&m_link_rect, point) != FALSE; }

    void paint(HDC dc);
    void repaint_now(const RECT* area);
    void activate();
    void set_hovering(bool hovering);

    HWND m_window = nullptr;
    std::wstring m_label;
    std::wstring m_target;
    HCURSOR m_hand = nullptr;
    HFONT m_link_font = nullptr;
    HFONT m_normal_font = nullptr;
    COLORREF m_link_colour = RGB(0, 0, 255);
    COLORREF m_visited_colour = RGB(128, 0, 128);
    RECT m_link_rect{};
    HWND m_tooltip = nullptr;
    unsigned m_options = 0;
    unsigned m_state = state_paint_as_link;
};

#include "update_list_layout.h"

#include "frame/dialog_window.h"
#include "update_list_dialog_ids.h"

namespace {

// Resize rule flags.
enum : unsigned {
    right_with_width = 0x001,
    move_with_width = 0x004,
    move_with_height = 0x008,
    centre_horizontally = 0x020,
    bottom_with_height = 0x200,
    move_with_splitter = 0x400,
    bottom_with_splitter = 0x800,
};

struct control_rule {
    int id;
    unsigned flags;
};

const control_rule kRules[] = {
    {IDC_UL_LIST, bottom_with_splitter | right_with_width},
    {IDC_UL_SHOW_ALL, move_with_splitter | move_with_width},
    {IDC_UL_NAME_LABEL, move_with_splitter},
    {IDC_UL_INSTALLED_LABEL, move_with_splitter},
    {IDC_UL_LATEST_LABEL, move_with_splitter},
    {IDC_UL_AUTHOR_LABEL, move_with_splitter},
    {IDC_UL_DATE_LABEL, move_with_splitter},
    {IDC_UL_INSTALLED, move_with_splitter},
    {IDC_UL_LATEST, move_with_splitter},
    {IDC_UL_NAME, move_with_splitter | right_with_width},
    {IDC_UL_AUTHOR, move_with_splitter | right_with_width},
    {IDC_UL_DATE, move_with_splitter | right_with_width},
    {IDC_UL_SPLITTER, move_with_splitter | right_with_width},
    {IDC_UL_DETAILS, move_with_splitter | bottom_with_height | right_with_width},
    {IDC_UL_SHOW_HIDDEN, centre_horizontally | move_with_height},
    {IDC_UL_HIDDEN_NOTE, centre_horizontally | move_with_height},
    {IDC_UL_CLOSE, move_with_height},
    {IDC_UL_INSTALL, move_with_width | move_with_height},
};

constexpr int kGripId = 0xE801;

// The splitter's share of the client height, in 1/65536.
int ratio_of(int position, int client_height) {
    return client_height > 0 ? static_cast<int>(static_cast<long long>(position) * 65536 / client_height) : 0;
}

}  // namespace

void update_list_layout::setup(HWND dialog, int splitter_id, int upper_limit_dlu, int lower_margin_dlu) {
    m_dialog = dialog;
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
    SetWindowLongPtrW(dialog, GWL_EXSTYLE, GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_DLGMODALFRAME);
    RECT client, window;
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    m_initial_client = {client.right, client.bottom};
    m_min_track = {window.right - window.left, window.bottom - window.top};

    int grip = GetSystemMetrics(SM_CXVSCROLL);
    m_grip = CreateWindowExW(0, L"SCROLLBAR", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEBOX | SBS_SIZEGRIP |
                                 SBS_SIZEBOXBOTTOMRIGHTALIGN,
                             client.right - grip, client.bottom - grip, grip, grip, dialog,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGripId)), nullptr, nullptr);
    if (m_grip) m_grip_initial = rect_in_parent(m_grip);

    for (const control_rule& r : kRules) {
        HWND control = GetDlgItem(dialog, r.id);
        if (control) m_rules.push_back({control, r.flags, rect_in_parent(control)});
    }

    RECT splitter = rect_in_parent(GetDlgItem(dialog, splitter_id));
    m_position = m_initial_position = splitter.top;
    m_ratio = ratio_of(m_position, m_initial_client.cy);
    RECT limits = {0, upper_limit_dlu, 0, lower_margin_dlu};
    MapDialogRect(dialog, &limits);
    m_upper_limit = limits.top;
    m_lower_margin = limits.bottom;

    RECT minimum = {0, 0, 0, m_upper_limit + m_lower_margin};
    AdjustWindowRectEx(&minimum, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    m_min_track.y = minimum.bottom - minimum.top;
}

int update_list_layout::limited(int top, int client_height) const {
    if (top < m_upper_limit) return m_upper_limit;
    return top < client_height - m_lower_margin ? top : client_height - m_lower_margin;
}

void update_list_layout::on_size(WPARAM size_type, int client_height) {
    if (!m_dialog) return;
    if (m_grip) {
        if (size_type == SIZE_MAXIMIZED) ShowWindow(m_grip, SW_HIDE);
        if (size_type == SIZE_RESTORED) ShowWindow(m_grip, SW_SHOW);
    }
    if (size_type == SIZE_MINIMIZED) return;
    m_position = limited(static_cast<int>(static_cast<long long>(client_height) * m_ratio / 65536), client_height);
    SendMessageW(m_dialog, WM_SETREDRAW, FALSE, 0);
    apply();
    SendMessageW(m_dialog, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_dialog, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void update_list_layout::on_get_min_max_info(MINMAXINFO& info) const {
    info.ptMinTrackSize = m_min_track;
}

void update_list_layout::on_splitter_moved(int top) {
    RECT client;
    GetClientRect(m_dialog, &client);
    int position = limited(top, client.bottom);
    if (position == m_position) return;
    m_position = position;
    m_ratio = ratio_of(m_position, client.bottom);
    apply();
}

void update_list_layout::apply() {
    RECT client;
    GetClientRect(m_dialog, &client);
    const int dx = client.right - m_initial_client.cx;
    const int dy = client.bottom - m_initial_client.cy;
    const int ds = m_position - m_initial_position;
    for (const rule& r : m_rules) {
        RECT x = r.initial;
        if (r.flags & right_with_width) x.right += dx;
        if (r.flags & move_with_width) {
            x.left += dx;
            x.right += dx;
        }
        if (r.flags & move_with_height) {
            x.top += dy;
            x.bottom += dy;
        }
        if (r.flags & centre_horizontally) {
            int width = x.right - x.left;
            x.left = (client.right - width) / 2;
            x.right = x.left + width;
        }
        if (r.flags & move_with_splitter) {
            x.top += ds;
            x.bottom += ds;
        }
        if (r.flags & bottom_with_splitter) x.bottom = r.initial.bottom + ds;
        if (r.flags & bottom_with_height) x.bottom = r.initial.bottom + dy;
        SetWindowPos(r.window, nullptr, x.left, x.top, x.right - x.left, x.bottom - x.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_grip) {
        SetWindowPos(m_grip, nullptr, m_grip_initial.left + dx, m_grip_initial.top + dy, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        InvalidateRect(m_grip, nullptr, TRUE);
    }
}

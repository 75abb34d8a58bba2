#include "splitter.h"

#include <windowsx.h>

#include "frame/win32_handles.h"

COLORREF AUSplitter::blend(COLORREF a, COLORREF b, int percent) {
    auto mix = [percent](int x, int y) { return (percent * x + (100 - percent) * y) / 100; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void AUSplitter::set_state(visual_state state) {
    m_state = state;
    InvalidateRect(window(), nullptr, FALSE);
}

void AUSplitter::paint() {
    static const int kFill[] = {100, 90, 80};
    static const int kLine[] = {80, 60, 40};
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window(), &ps);
    COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    FillRect(dc, &ps.rcPaint, brush_t(CreateSolidBrush(blend(face, text, kFill[m_state]))).get());
    RECT client;
    GetClientRect(window(), &client);
    RECT line = {ps.rcPaint.left, client.bottom / 2, ps.rcPaint.right, client.bottom / 2 + 1};
    FillRect(dc, &line, brush_t(CreateSolidBrush(blend(face, text, kLine[m_state]))).get());
    EndPaint(window(), &ps);
}

LRESULT AUSplitter::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
    case WM_SETCURSOR:
    case WM_NCHITTEST:
        return 1;
    case WM_MOUSEMOVE:
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENS)));
        if (m_state == state_normal) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window(), 0};
            TrackMouseEvent(&track);
            set_state(state_hot);
        } else if (m_state == state_dragging) {
            POINT point = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            HWND parent = GetParent(window());
            MapWindowPoints(window(), parent, &point, 1);
            splitter_notification n{};
            n.header.hwndFrom = window();
            n.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window()));
            n.header.code = splitter_moved;
            n.top = point.y - m_grab_offset;
            SendMessageW(parent, WM_NOTIFY, n.header.idFrom, reinterpret_cast<LPARAM>(&n));
        }
        return 0;
    case WM_LBUTTONDOWN:
        m_grab_offset = GET_Y_LPARAM(lparam);
        set_state(state_dragging);
        SetCapture(window());
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        set_state(state_normal);
        return 0;
    case WM_CAPTURECHANGED:
    case WM_MOUSELEAVE:
        if (m_state != state_normal) set_state(state_normal);
        return 0;
    default:
        return call_previous(message, wparam, lparam);
    }
}

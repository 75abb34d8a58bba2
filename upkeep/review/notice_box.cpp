#include "notice_box.h"

#include "frame/api/shared.h"
#include "frame/component.h"
#include "frame/dialog_window.h"
#include "frame/utf16.h"
#include "frame/win32_handles.h"
#include "notice_box_ids.h"

namespace {

class notice_box : public dialog_window {
public:
    notice_box(const char* caption, const char* text, HICON icon) : m_caption(caption), m_text(text), m_icon(icon) {}

    notice_box_result run(HWND owner) {
        INT_PTR result = run_modal(component::module_handle(), IDD_NOTICE_BOX, owner);
        if (result == -1 || result == 0) return {0xFFFF, false};
        return {static_cast<int>(result & 0xFFFF), m_dont_show};
    }

private:
    INT_PTR on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
        HWND dialog = handle();
        switch (message) {
        case WM_INITDIALOG:
            init();
            return TRUE;
        case WM_CTLCOLORSTATIC: {
            int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
            if (id != IDC_NB_ICON && id != IDC_NB_TEXT && id != IDC_NB_PANEL) return FALSE;
            HDC dc = reinterpret_cast<HDC>(wparam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(dialog, LOWORD(wparam));
            return TRUE;
        case WM_CLOSE:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            m_dont_show = IsDlgButtonChecked(dialog, IDC_NB_DONT_SHOW) == BST_CHECKED;
            m_font.reset();
            return FALSE;
        default:
            return FALSE;
        }
    }

    void init() {
        HWND dialog = handle();
        uSetWindowText(dialog, m_caption);
        SendDlgItemMessageW(dialog, IDC_NB_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_icon), 0);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = 504;
        HWND text = GetDlgItem(dialog, IDC_NB_TEXT);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
            m_font.reset(CreateFontIndirectW(&metrics.lfMessageFont));
            SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        }

        const RECT box = rect_in_parent(text);
        const int template_height = box.bottom - box.top;
        std::wstring wide = utf8_to_wide(m_text);
        RECT measured = {0, 0, box.right - box.left, 0};
        {
            window_dc dc(text);
            HFONT font = reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0));
            gdi_selection selected(dc.get(), font);
            DrawTextExW(dc.get(), &wide[0], static_cast<int>(wide.size()), &measured,
                        DT_WORDBREAK | DT_EXTERNALLEADING | DT_CALCRECT | DT_NOPREFIX, nullptr);
        }
        const int height = measured.bottom - measured.top;
        SetWindowPos(text, nullptr, 0, 0, box.right - box.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowTextW(text, wide.c_str());

        const int growth = height > template_height ? height - template_height : 0;
        if (growth == 0) return;
        auto move_by = [&](int id, int down, int taller) {
            HWND control = GetDlgItem(dialog, id);
            const RECT r = rect_in_parent(control);
            SetWindowPos(control, nullptr, r.left, r.top + down, r.right - r.left, r.bottom - r.top + taller,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        };
        move_by(IDC_NB_ICON, growth / 2, 0);
        move_by(IDC_NB_PANEL, 0, growth);
        for (int id : {IDC_NB_SEPARATOR, IDC_NB_DONT_SHOW, IDC_NB_OK, IDC_NB_CANCEL}) move_by(id, growth, 0);
        RECT window;
        GetWindowRect(dialog, &window);
        SetWindowPos(dialog, nullptr, window.left, window.top - growth / 2, window.right - window.left,
                     window.bottom - window.top + growth, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const char* m_caption;
    const char* m_text;
    HICON m_icon;
    font_t m_font;
    bool m_dont_show = false;
};

}  // namespace

notice_box_result AUNoticeBox(HWND owner, const char* caption, const char* text, HICON icon) {
    notice_box box(caption, text, icon);
    return box.run(owner);
}

// AUULD: the update list dialog, in which the user reviews the result of a check:
// the list of updates (or of all components), each one's details and release notes,
// choosing what to install, hiding updates, and the install hand-off. Modeless,
// top-level, at most one per process. Main thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "frame/dialog_window.h"
#include "frame/win32_handles.h"
#include "rich_view.h"
#include "splitter.h"
#include "update_list_layout.h"
#include "upkeep/checking/json_value.h"
#include "upkeep/settings/link_label.h"

class AUULD : public dialog_window {
public:
    // Opens the dialog on the answer's "updates" array; answers its window, or nullptr
    // (after a console line) when it could not be created.
    static HWND Open(const JSONValuePtr& updates, bool show_all, bool manual, bool record_check_time);
    // When no dialog is open answers true (a check may start). Otherwise brings the
    // dialog to the user's attention (a manual request also shows and raises it) and
    // answers false.
    static bool Flash(bool manual);
    // The open dialog's window, or nullptr.
    static HWND Window();

private:
    AUULD(const JSONValuePtr& updates, bool show_all, bool manual, bool record_check_time);
    ~AUULD() override;

    INT_PTR on_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    void on_window_gone() override;

    void Init();
    void FillList(bool first);
    void Refill();
    void SortList();
    void NoSelection();
    bool Toggle(int row);
    void CM(LPARAM position);
    LRESULT ULNot(NMHDR* header);
    void Install();

    void show_details(size_t entry);
    void select_row(int row);
    int selected_row() const;
    void update_install_button();
    void show_hidden_bar(bool show);
    void on_header_click(int column);
    void on_show_hidden();
    void hide_or_unhide(int row);

    HWND list() const { return GetDlgItem(handle(), 1000); }
    JSONValuePtr entry(size_t index) const { return m_updates->arrayItem(index); }

    JSONValuePtr m_updates;
    size_t m_count;
    std::vector<bool> m_skip;
    std::vector<size_t> m_visible;
    bool m_show_all;
    bool m_interactive;
    uint64_t m_pending_check_time = 0;
    int m_sort_key = 1;

    module_t m_rich_edit_library;
    update_list_layout m_layout;
    AUSplitter m_splitter;
    AURichView m_details;
    AULinkLabel m_show_hidden;
    font_t m_bold_font;
    icon_t m_big_icon;
    icon_t m_small_icon;
    bool m_registered = false;
};

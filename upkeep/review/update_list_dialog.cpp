#include "update_list_dialog.h"

#include <richedit.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>

#include "frame/api/shared.h"
#include "frame/api/ui_services.h"
#include "frame/component.h"
#include "frame/console.h"
#include "frame/service_lookup.h"
#include "frame/utf16.h"
#include "update_list_dialog_ids.h"
#include "upkeep/checking/file_time.h"
#include "upkeep/checking/upkeep_config.h"

namespace {

HWND g_open_dialog = nullptr;

constexpr UINT_PTR kClickGuardTimer = 1;
constexpr UINT kHideCommand = 1;

const char kNoDetails[] =
    "<body bgcolor=\"buttonface\"><font size=\"1\"><i>There are no additional information for this "
    "component.</i></font></body>";
const char kNoSelection[] = "<body bgcolor=\"buttonface\"><font size=\"1\"><i>No component selected.</i></font></body>";

// Sort field codes.
enum sort_field { by_file_name = 1, by_name = 2, by_installed = 3, by_offered = 4, by_date = 5, by_status = 6 };

// The columns of each mode: title, width in dialog units and the field shown (and
// sorted by).
struct column {
    const wchar_t* title;
    int width;
    int field;
};
const column kShowAllColumns[] = {{L"Module name", 80, by_file_name},
                                  {L"Component name", 160, by_name},
                                  {L"Version", 50, by_installed},
                                  {L"Status", 50, by_status}};
const column kUpdatesColumns[] = {{L"Component name", 230, by_name}, {L"Version", 50, by_offered},
                                  {L"Release date", 60, by_date}};

struct column_set {
    const column* columns;
    int count;
    // The field of a column, or 0 for a column the mode does not have.
    int field_of(int index) const { return index >= 0 && index < count ? columns[index].field : 0; }
};

column_set columns_of_mode(bool show_all) {
    if (show_all) return {kShowAllColumns, static_cast<int>(std::size(kShowAllColumns))};
    return {kUpdatesColumns, static_cast<int>(std::size(kUpdatesColumns))};
}

void flash_taskbar_button(HWND window) {
    FLASHWINFO flash{sizeof flash, window, FLASHW_TRAY | FLASHW_TIMERNOFG, 100, 0};
    FlashWindowEx(&flash);
}

std::string text_member(const JSONValue& entry, const char* name, const char* fallback = "") {
    JSONValuePtr value = entry.objectMember(name, true);
    return value ? value->getString() : std::string(fallback);
}

std::string status_text(const JSONValue& entry) {
    if (entry.objectMember("_hidden", true)) return "hidden";
    switch (entry.objectMember("state")->getInteger()) {
    case 0: return "unknown";
    case 1: return "latest";
    case 2: return "outdated";
    case 3: return text_member(entry, "ignoreReason", "ignored");
    default: return "";
    }
}

bool is_checkable(const JSONValue& entry) {
    return entry.objectMember("state")->getInteger() == 2 && !entry.objectMember("_hidden", true);
}

std::string field_text(const JSONValue& entry, int field) {
    switch (field) {
    case by_file_name: return text_member(entry, "fileName");
    case by_name: return text_member(entry, "name");
    case by_installed: return text_member(entry, "curVersion");
    case by_offered: return text_member(entry, "version");
    case by_date: return text_member(entry, "versionDate", "-");
    case by_status: return status_text(entry);
    default: return "";
    }
}

void set_item_text(HWND dialog, int id, const std::string& text) { uSetDlgItemText(dialog, static_cast<UINT>(id), text.c_str()); }

void register_with_host(HWND window, bool add) {
    try {
        auto registry = lookup_exactly_one<modeless_dialog_manager>();
        if (add)
            registry->add(window);
        else
            registry->remove(window);
    } catch (const std::exception&) {
        // Without the registry the dialog only lacks keyboard navigation.
    }
}

}  // namespace

// ---- opening ----

HWND AUULD::Open(const JSONValuePtr& updates, bool show_all, bool manual, bool record_check_time) {
    AUULD* dialog = nullptr;
    try {
        dialog = new AUULD(updates, show_all, manual, record_check_time);
        if (!dialog->create_modeless(component::module_handle(), IDD_UPDATE_LIST, nullptr)) {
            DWORD error = GetLastError();
            delete dialog;
            dialog = nullptr;
            throw exception_win32(error);
        }
    } catch (const std::exception& e) {
        console::print(std::string("Window creation failure: ") + e.what());
        return nullptr;
    }
    return g_open_dialog;
}

bool AUULD::Flash(bool manual) {
    if (!g_open_dialog) return true;
    if (manual)
        SetWindowPos(g_open_dialog, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    flash_taskbar_button(g_open_dialog);
    return false;
}

HWND AUULD::Window() { return g_open_dialog; }

AUULD::AUULD(const JSONValuePtr& updates, bool show_all, bool manual, bool record_check_time)
    : m_updates(updates),
      m_count(updates->arraySize()),
      m_skip(m_count, false),
      m_show_all(show_all),
      m_interactive(manual),
      m_pending_check_time(record_check_time ? current_file_time() : 0),
      m_rich_edit_library(LoadLibraryW(L"RICHED20.DLL")) {}

AUULD::~AUULD() {
    if (m_registered && handle()) register_with_host(handle(), false);
}

void AUULD::on_window_gone() { delete this; }

// ---- initialisation ----

void AUULD::Init() {
    uCallStackTracker marker("AUULD::Init");
    HWND dialog = handle();
    g_open_dialog = dialog;
    m_layout.setup(dialog, IDC_UL_SPLITTER, 90, 33);

    HINSTANCE module = component::module_handle();
    m_big_icon.reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_TENDWELL), IMAGE_ICON, 32, 32, 0)));
    m_small_icon.reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_TENDWELL), IMAGE_ICON, 16, 16, 0)));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_big_icon.get()));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_small_icon.get()));

    std::string intro = m_show_all ? "This is a list of all installed components and their status."
                                   : "There are updated versions of the following components available.";
    intro += " Select a component to see more information. You can hide updates you don't want to be notified "
             "about anymore using context menu.";
    set_item_text(dialog, IDC_UL_INTRO, intro);

    HWND view = list();
    SetWindowTheme(view, L"explorer", nullptr);
    ListView_SetExtendedListViewStyle(view, LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    ListView_SetCallbackMask(view, LVIS_STATEIMAGEMASK);

    m_splitter.attach(GetDlgItem(dialog, IDC_UL_SPLITTER));
    HWND details = GetDlgItem(dialog, IDC_UL_DETAILS);
    m_details.Attach(details);
    SendMessageW(details, EM_EXLIMITTEXT, 0, 65536);
    SendMessageW(details, EM_SHOWSCROLLBAR, SB_VERT, TRUE);

    m_show_hidden.set_options(LL_NOTIFYPARENT | LL_NOTOOLTIP);
    m_show_hidden.attach(GetDlgItem(dialog, IDC_UL_SHOW_HIDDEN));

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDC_UL_NAME_LABEL, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    font.lfWeight = FW_BOLD;
    m_bold_font.reset(CreateFontIndirectW(&font));
    for (int id = IDC_UL_NAME_LABEL; id <= IDC_UL_DATE_LABEL; ++id)
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(m_bold_font.get()), FALSE);

    CheckDlgButton(dialog, IDC_UL_SHOW_ALL, m_show_all ? BST_CHECKED : BST_UNCHECKED);
    FillList(true);
    select_row(0);
    update_install_button();
    SetTimer(dialog, kClickGuardTimer, GetDoubleClickTime(), nullptr);

    if (m_interactive) {
        ShowWindow(dialog, SW_SHOWNORMAL);
    } else {
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
        flash_taskbar_button(dialog);
    }
}

// ---- the list ----

void AUULD::FillList(bool first) {
    m_visible.clear();
    size_t hidden = 0;
    for (size_t i = 0; i < m_count; ++i) {
        JSONValuePtr e = entry(i);
        if (e->objectMember("state")->getInteger() != 2) {
            if (first) m_skip[i] = true;
            if (!m_show_all) continue;
        } else if (e->objectMember("_hidden", true)) {
            ++hidden;
            if (first) m_skip[i] = true;
            if (!m_show_all) continue;
        }
        m_visible.push_back(i);
    }
    show_hidden_bar(hidden > 0 && !m_show_all);

    HWND view = list();
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    const column_set mode = columns_of_mode(m_show_all);
    for (int i = 0; i < mode.count; ++i) {
        RECT width = {0, 0, mode.columns[i].width, 0};
        MapDialogRect(handle(), &width);
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.fmt = LVCFMT_LEFT;
        c.cx = width.right;
        c.pszText = const_cast<wchar_t*>(mode.columns[i].title);
        ListView_InsertColumn(view, i, &c);
    }
    while (ListView_DeleteColumn(view, mode.count)) {
    }
    ListView_SetItemCountEx(view, static_cast<int>(m_visible.size()), 0);
    SortList();
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(view, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void AUULD::Refill() {
    int row = selected_row();
    bool had = row >= 0 && static_cast<size_t>(row) < m_visible.size();
    size_t remembered = had ? m_visible[static_cast<size_t>(row)] : 0;
    if (row >= 0) ListView_SetItemState(list(), row, 0, LVIS_SELECTED | LVIS_FOCUSED);
    FillList(false);
    if (!had) return;
    auto found = std::find(m_visible.begin(), m_visible.end(), remembered);
    if (found != m_visible.end()) select_row(static_cast<int>(found - m_visible.begin()));
}

void AUULD::SortList() {
    const int field = m_sort_key < 0 ? -m_sort_key : m_sort_key;
    const bool ascending = m_sort_key > 0;
    std::stable_sort(m_visible.begin(), m_visible.end(), [&](size_t a, size_t b) {
        std::string x = field_text(*entry(a), field), y = field_text(*entry(b), field);
        int order = uStringCompare(x.c_str(), y.c_str());
        return ascending ? order < 0 : order > 0;
    });
    HWND header = ListView_GetHeader(list());
    const column_set mode = columns_of_mode(m_show_all);
    int count = Header_GetItemCount(header);
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | HDF_STRING;
        if (mode.field_of(i) == field) item.fmt |= ascending ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
}

void AUULD::on_header_click(int column) {
    const int field = columns_of_mode(m_show_all).field_of(column);
    if (field == 0) return;
    m_sort_key = (m_sort_key == field || m_sort_key == -field) ? -m_sort_key : field;
    SortList();
    ListView_RedrawItems(list(), 0, static_cast<int>(m_visible.size()) - 1);
    InvalidateRect(list(), nullptr, FALSE);
}

int AUULD::selected_row() const { return ListView_GetNextItem(list(), -1, LVNI_SELECTED); }

void AUULD::select_row(int row) {
    HWND view = list();
    if (row < 0 || static_cast<size_t>(row) >= m_visible.size()) return;
    ListView_SetItemState(view, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(view, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(view, row);
    ListView_EnsureVisible(view, row, FALSE);
}

void AUULD::update_install_button() {
    bool any = std::find(m_skip.begin(), m_skip.end(), false) != m_skip.end();
    EnableWindow(GetDlgItem(handle(), IDC_UL_INSTALL), any);
}

void AUULD::show_hidden_bar(bool show) {
    ShowWindow(GetDlgItem(handle(), IDC_UL_HIDDEN_NOTE), show ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(handle(), IDC_UL_SHOW_HIDDEN), show ? SW_SHOW : SW_HIDE);
}

void AUULD::show_details(size_t index) {
    JSONValuePtr e = entry(index);
    HWND dialog = handle();
    set_item_text(dialog, IDC_UL_NAME, text_member(*e, "name"));
    set_item_text(dialog, IDC_UL_INSTALLED, text_member(*e, "curVersion"));
    set_item_text(dialog, IDC_UL_LATEST, text_member(*e, "version", "<unknown>"));
    set_item_text(dialog, IDC_UL_AUTHOR, text_member(*e, "author", "<unknown>"));
    set_item_text(dialog, IDC_UL_DATE, text_member(*e, "versionDate", "<unknown>"));
    std::string details = text_member(*e, "details");
    if (details.empty()) details = kNoDetails;
    // Notes the converter cannot read are shown as plain text rather than leaving the
    // previous component's notes in view.
    if (!m_details.SetHtml(details)) m_details.SetPlainText(details);
}

void AUULD::NoSelection() {
    for (int id = IDC_UL_NAME; id <= IDC_UL_DATE; ++id) set_item_text(handle(), id, "");
    m_details.SetHtml(kNoSelection);
}

bool AUULD::Toggle(int row) {
    if (row < 0 || static_cast<size_t>(row) >= m_visible.size()) return false;
    size_t index = m_visible[static_cast<size_t>(row)];
    if (!is_checkable(*entry(index))) return false;
    m_skip[index] = !m_skip[index];
    ListView_RedrawItems(list(), row, row);
    update_install_button();
    return true;
}

LRESULT AUULD::ULNot(NMHDR* header) {
    uCallStackTracker marker("AUULD::ULNot");
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_visible.size()) return 0;
        JSONValuePtr e = entry(m_visible[static_cast<size_t>(item.iItem)]);
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            std::wstring text = utf8_to_wide(field_text(*e, columns_of_mode(m_show_all).field_of(item.iSubItem)));
            size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
            text.copy(item.pszText, n);
            item.pszText[n] = 0;
        }
        if (item.mask & LVIF_STATE) {
            item.stateMask = LVIS_STATEIMAGEMASK;
            item.state = is_checkable(*e) ? INDEXTOSTATEIMAGEMASK(m_skip[m_visible[static_cast<size_t>(item.iItem)]] ? 1 : 2)
                                          : 0;
        }
        return 0;
    }
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (change->iItem < 0) return 0;
        UINT state = ListView_GetItemState(list(), change->iItem, LVIS_SELECTED | LVIS_FOCUSED);
        if (state == (LVIS_SELECTED | LVIS_FOCUSED) && static_cast<size_t>(change->iItem) < m_visible.size())
            show_details(m_visible[static_cast<size_t>(change->iItem)]);
        else if (state == LVIS_SELECTED)
            ListView_RedrawItems(list(), change->iItem, change->iItem);
        return 0;
    }
    case NM_CLICK: {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        LVHITTESTINFO hit{};
        hit.pt = click->ptAction;
        ListView_SubItemHitTest(list(), &hit);
        if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMSTATEICON)) Toggle(hit.iItem);
        return 0;
    }
    case LVN_KEYDOWN: {
        auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
        int row = selected_row();
        if (key->wVKey == VK_SPACE && row >= 0 && !Toggle(row)) MessageBeep(0xFFFFFFFF);
        return 0;
    }
    case LVN_COLUMNCLICK:
        on_header_click(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
    default:
        return 0;
    }
}

// ---- hiding ----

void AUULD::CM(LPARAM position) {
    uCallStackTracker marker("AUULD::CM");
    HWND view = list();
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    int row;
    if (point.x == -1 && point.y == -1) {
        row = selected_row();
        if (row < 0) return;
        RECT label;
        ListView_GetItemRect(view, row, &label, LVIR_LABEL);
        point = {label.left, label.bottom - 1};
        ClientToScreen(view, &point);
    } else {
        LVHITTESTINFO hit{};
        hit.pt = point;
        ScreenToClient(view, &hit.pt);
        row = ListView_HitTest(view, &hit);
        if (row < 0 || !(hit.flags & LVHT_ONITEM)) return;
    }
    if (static_cast<size_t>(row) >= m_visible.size()) return;
    JSONValuePtr e = entry(m_visible[static_cast<size_t>(row)]);

    menu_t menu(CreatePopupMenu());
    UINT flags = MF_STRING;
    bool enabled = e->objectMember("state")->getInteger() == 2;
    if (!enabled) flags |= MF_GRAYED;
    if (e->objectMember("_hidden", true)) flags |= MF_CHECKED;
    AppendMenuW(menu.get(), flags, kHideCommand, L"Don't show this update anymore");
    UINT chosen = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, point.x,
                                                   point.y, 0, handle(), nullptr));
    if (chosen == kHideCommand && enabled) hide_or_unhide(row);
}

void AUULD::hide_or_unhide(int row) {
    size_t index = m_visible[static_cast<size_t>(row)];
    JSONValuePtr e = entry(index);
    std::string file_name = text_member(*e, "fileName");
    if (e->objectMember("_hidden", true)) {
        cfg_hidden_updates.get().erase(file_name);
        e->objectRemove("_hidden");
    } else {
        cfg_hidden_updates.get()[file_name] = text_member(*e, "version");
        e->objectSet("_hidden", JSONValue::newBoolean(true));
        m_skip[index] = true;
    }
    HWND view = list();
    if (m_show_all) {
        ListView_RedrawItems(view, row, row);
    } else {
        ListView_SetItemState(view, row, 0, LVIS_SELECTED | LVIS_FOCUSED);
        m_visible.erase(m_visible.begin() + row);
        ListView_SetItemCountEx(view, static_cast<int>(m_visible.size()), LVSICF_NOSCROLL);
        if (!m_visible.empty())
            select_row(std::min(row, static_cast<int>(m_visible.size()) - 1));
        else
            NoSelection();
        show_hidden_bar(true);
    }
    update_install_button();
}

void AUULD::on_show_hidden() {
    cfg_hidden_updates.get().clear();
    for (size_t i = 0; i < m_count; ++i) entry(i)->objectRemove("_hidden");
    Refill();
    SetFocus(list());
    show_hidden_bar(false);
}

// ---- messages ----

INT_PTR AUULD::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND dialog = handle();
    switch (message) {
    case WM_INITDIALOG:
        register_with_host(dialog, true);
        m_registered = true;
        Init();
        return m_interactive;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lparam);
        if (header->idFrom == IDC_UL_LIST) return dialog_result(dialog, ULNot(header));
        if (header->idFrom == IDC_UL_DETAILS)
            return dialog_result(dialog, SendMessageW(header->hwndFrom, AURichView::reflected_notify, wparam, lparam));
        if (header->idFrom == IDC_UL_SPLITTER && header->code == AUSplitter::splitter_moved) {
            m_layout.on_splitter_moved(reinterpret_cast<splitter_notification*>(header)->top);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wparam) == list()) CM(lparam);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_UL_CLOSE:
            DestroyWindow(dialog);
            return TRUE;
        case IDC_UL_SHOW_ALL:
            m_show_all = !m_show_all;
            Refill();
            if (m_visible.empty()) NoSelection();
            return TRUE;
        case IDC_UL_SHOW_HIDDEN:
            on_show_hidden();
            return TRUE;
        case IDC_UL_INSTALL:
            Install();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_TIMER:
        if (wparam == kClickGuardTimer) {
            KillTimer(dialog, kClickGuardTimer);
            EnableWindow(GetDlgItem(dialog, IDC_UL_CLOSE), TRUE);
            EnableWindow(GetDlgItem(dialog, IDC_UL_INSTALL), TRUE);
        }
        return TRUE;
    case WM_SIZE:
        m_layout.on_size(wparam, HIWORD(lparam));
        return TRUE;
    case WM_GETMINMAXINFO:
        m_layout.on_get_min_max_info(*reinterpret_cast<MINMAXINFO*>(lparam));
        return TRUE;
    case WM_ACTIVATE:
        if ((LOWORD(wparam) == WA_ACTIVE || LOWORD(wparam) == WA_CLICKACTIVE) && m_pending_check_time) {
            cfg_last_check_time = m_pending_check_time;
            m_pending_check_time = 0;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        if (g_open_dialog == dialog) g_open_dialog = nullptr;
        KillTimer(dialog, kClickGuardTimer);
        register_with_host(dialog, false);
        m_registered = false;
        return FALSE;
    default:
        return FALSE;
    }
}

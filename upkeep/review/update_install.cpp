// AUULD::Install: writes the update log page, opens it and the components folder,
// and closes the list dialog.
#include "frame/api/shared.h"
#include "frame/bug_check.h"
#include "frame/component.h"
#include "frame/filesystem_helpers.h"
#include "notice_box.h"
#include "update_list_dialog.h"
#include "update_log_page.h"
#include "upkeep/checking/check_schedule.h"
#include "upkeep/checking/file_time.h"
#include "upkeep/checking/transport_formats.h"
#include "upkeep/checking/upkeep_config.h"

namespace {

const char kNotice[] =
    "The application will now open a web page with several links to websites from which you should download and "
    "install the updated versions of the components you chose.\nFor convenience, Vellora's components folder, where "
    "the component files should be put to, will be opened as well.\nNote you will have to shut down Vellora while "
    "updating the component files.";

// Writes the page into the temporary folder; answers its path.
std::string write_log_page(const std::string& page, uint64_t now) {
    string_sink_std folder;
    if (!uGetTempPath(folder)) throw_last_error();
    std::string path = folder.str() + "vlra-au-" + replay_key_text(now) + ".html";
    abort_callback_dummy abort;
    service_ptr_t<vellora_io::file> file = filesystem_helpers::g_open(path.c_str(), filesystem::open_mode_write_new, abort);
    file->write(page.data(), page.size(), abort);
    return path;
}

}  // namespace

void AUULD::Install() {
    uCallStackTracker marker("AUULD::Install");
    HWND dialog = handle();
    if (!cfg_install_notice_off) {
        notice_box_result notice =
            AUNoticeBox(dialog, "Tendwell", kNotice, LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION)));
        if (notice.button == IDCANCEL) return;
        if (notice.button != 0xFFFF && notice.dont_show) cfg_install_notice_off = true;
    }
    const uint64_t now = current_file_time();
    std::string path;
    try {
        std::string page = build_update_log_page(*m_updates, m_skip, format_timestamp(now).substr(0, 16));
        path = write_log_page(page, now);
    } catch (const std::exception& e) {
        std::string text = std::string("Could not save log:\r\n") + e.what();
        uMessageBox(dialog, text.c_str(), "Error", MB_OK | MB_ICONERROR);
        return;
    }
    HWND main_window = component::api()->get_main_window();
    uShellExecute(main_window, "open", path.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
    string_sink_std module_path;
    uGetModuleFileName(component::module_handle(), module_path);
    uShellExecute(main_window, "open", module_folder_of(module_path.str()).c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
    DestroyWindow(dialog);
}

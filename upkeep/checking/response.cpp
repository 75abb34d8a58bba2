// The end of a check: the worker's validation and failure lines, and the main
// thread's handling of the answer.
#include "answer_rules.h"
#include "file_time.h"
#include "frame/api/shared.h"
#include "frame/console.h"
#include "frame/main_thread.h"
#include "frame/service_lookup.h"
#include "update_check.h"
#include "update_manager.h"
#include "upkeep/review/update_list_dialog.h"
#include "upkeep_config.h"

namespace {

void print(const std::string& text) { console::print("[Autoupdate] " + text); }

// Yes and No, No as the default, with the information icon (0x144).
constexpr UINT kAskToShowAll = MB_ICONINFORMATION | MB_YESNO | MB_DEFBUTTON2;

}  // namespace

void AUGULT::body() {
    {
        uCallStackTracker marker("AUGULT");
        try {
            JSONValuePtr request = std::move(m_document);
            JSONValuePtr answer = send_request(request);
            check_answer_version(*answer);
            check_answer_updates(*answer);
            m_abort.check();
            m_document = answer;
        } catch (const JSONParserException& e) {
            print(std::string("Data parsing error: ") + e.what());
        } catch (const JSONValueException& e) {
            print(std::string("Data processing error: ") + e.what());
        } catch (const vellora_io::exception_io& e) {
            print(std::string("I/O error: ") + e.what());
        } catch (const std::exception& e) {
            print(e.what());
        } catch (...) {
            print("Unknown error.");
        }
    }
    // Whatever happened, the main thread gets the check back.
    lookup_exactly_one<main_thread_callback_manager>()->add_callback(this);
}

void AUGULT::callback_run() {
    uCallStackTracker marker("AUGULT::CB");
    assert_main_thread();
    JSONValuePtr answer = std::move(m_document);
    if (!answer) {
        if (m_manual)
            uMessageBox(nullptr, "Checking for updates failed.\nCheck console (main menu > View > Console) for details.",
                        "Tendwell", MB_ICONERROR | MB_OK);
        AUM::instance().finish();
        return;
    }

    JSONValuePtr updates = answer->objectMember("updates");
    hidden_reconciliation hidden = reconcile_hidden_updates(*updates, cfg_hidden_updates.get());
    if (hidden.removed != 0) cfg_hidden_updates.set(hidden.still_hidden);
    console::print(check_summary_line(hidden.updated, hidden.hidden, hidden.removed));
    const bool manual = m_manual;
    AUM::instance().finish();

    HWND owner = nullptr;
    if (hidden.hidden < hidden.updated) {
        owner = AUULD::Open(updates, false, manual, true);
    } else {
        cfg_last_check_time = current_file_time();
        if (manual) {
            std::string text = hidden.hidden > 0 ? "All components are either up to date, not known by the server, or "
                                                   "you have hidden the new versions previously"
                                                 : "All components are up to date or not known by the server";
            text += ", so there is nothing to show.\nWould you like to see the full components list anyway?";
            if (uMessageBox(nullptr, text.c_str(), "Tendwell", kAskToShowAll) == IDYES)
                owner = AUULD::Open(updates, true, manual, false);
        }
    }
    if (JSONValuePtr message = answer->objectMember("message", true)) {
        std::string text = "The server sent you an additional message:\n\n" + message->getString();
        uMessageBox(owner, text.c_str(), "Tendwell", MB_ICONWARNING | MB_OK);
    }
}

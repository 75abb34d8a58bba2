// AUULD: the update list dialog, in which the user reviews the result of a check.
#pragma once

#include <windows.h>

#include "upkeep/checking/json_value.h"

class AUULD {
public:
    // Opens the dialog on the answer's "updates" array; answers its window, or nullptr
    // when it could not be created. Main thread.
    static HWND Open(const JSONValuePtr& updates, bool show_all, bool manual, bool record_check_time);
    // When no dialog is open answers true (a check may start). Otherwise brings the
    // dialog to the user's attention (a manual request also shows and raises it) and
    // answers false.
    static bool Flash(bool manual);
};

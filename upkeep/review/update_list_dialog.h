// AUULD: the update list dialog, in which the user reviews the result of a check.
#pragma once

#include <windows.h>

#include "upkeep/checking/json_value.h"

class AUULD {
public:
    // Opens the dialog on the answer's "updates" array; answers its window, or nullptr
    // when it could not be created. Main thread.
    static HWND Open(const JSONValuePtr& updates, bool show_all, bool manual, bool record_check_time);
    // True while the dialog exists.
    static bool IsOpen();
    // Brings the open dialog to the user's attention; a manual request shows it first.
    static void Flash(bool manual);
};

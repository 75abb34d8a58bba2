// AUFirstRun: asks once whether update requests may carry anonymous statistics.
#pragma once

#include <windows.h>

class AUFirstRun {
public:
    // Opens the dialog (or activates it when open); when it closes it queues the
    // update manager's deferred check. Main thread.
    static void Open(HWND parent);
};

// AUNoticeBox: a modal notice with an icon, OK and Cancel, and "Don't show this
// message anymore". Main thread.
#pragma once

#include <windows.h>

struct notice_box_result {
    int button;         // IDOK (1) or IDCANCEL (2); 0xFFFF when the box could not be shown
    bool dont_show;     // the check box was checked
};

// Shows the notice over `owner`; the text box grows to fit the text and the window
// with it, staying centred.
notice_box_result AUNoticeBox(HWND owner, const char* caption, const char* text, HICON icon);

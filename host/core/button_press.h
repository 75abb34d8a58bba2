// Presses a button of one of this thread's top-level windows, as a user's click
// would: for scripted runs of the host (demos, tests). Main thread.
#pragma once

#include <string>

// Finds the visible top-level window of the calling thread titled `window_title` and
// its enabled child button whose text is `button_text`, and clicks it (BM_CLICK, so
// the window receives the same command a mouse click sends). Answers false when no
// such window or button exists, or the button is disabled.
bool press_window_button(const std::wstring& window_title, const std::wstring& button_text);

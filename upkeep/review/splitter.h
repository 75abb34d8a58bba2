// AUSplitter: a static control made into a horizontal bar that the user drags to
// divide the height between the controls above and below it. It tells its parent the
// new top position it is dragged to (WM_NOTIFY, code splitter_moved). Main thread.
#pragma once

#include <windows.h>

#include "frame/window_subclass.h"

// The notification a dragged splitter sends to its parent.
struct splitter_notification {
    NMHDR header;  // code: AUSplitter::splitter_moved
    int top;       // wanted top edge in the parent's client coordinates
};

class AUSplitter : public window_subclass {
public:
    enum : UINT { splitter_moved = 1 };
    enum visual_state { state_normal = 0, state_hot = 1, state_dragging = 2 };

    visual_state state() const { return m_state; }

    // A blend of colours a and b holding `percent` % of a, per channel in integers.
    static COLORREF blend(COLORREF a, COLORREF b, int percent);

protected:
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void set_state(visual_state state);
    void paint();

    visual_state m_state = state_normal;
    int m_grab_offset = 0;
};

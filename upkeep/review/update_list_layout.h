// How the update list dialog's controls follow its size: the resize rules, the size
// grip, the minimum tracking size and the splitter's position, ratio and limits.
// Main thread.
#pragma once

#include <windows.h>

#include <vector>

class update_list_layout {
public:
    // Records the controls' rectangles and creates the size grip; the splitter's top
    // edge, with `upper_limit` and `lower_margin` in dialog units, bounds its position.
    void setup(HWND dialog, int splitter_id, int upper_limit_dlu, int lower_margin_dlu);

    void on_size(WPARAM size_type, int client_height);
    void on_get_min_max_info(MINMAXINFO& info) const;
    // The splitter asks to move its top edge to `top`.
    void on_splitter_moved(int top);

    int splitter_position() const { return m_position; }
    int upper_limit() const { return m_upper_limit; }
    int lower_margin() const { return m_lower_margin; }
    HWND size_grip() const { return m_grip; }

private:
    struct rule {
        HWND window;
        unsigned flags;
        RECT initial;
    };
    int limited(int top, int client_height) const;
    void apply();

    HWND m_dialog = nullptr;
    HWND m_grip = nullptr;
    std::vector<rule> m_rules;
    SIZE m_initial_client{};
    POINT m_min_track{};
    RECT m_grip_initial{};
    int m_position = 0;
    int m_initial_position = 0;
    int m_ratio = 0;
    int m_upper_limit = 0;
    int m_lower_margin = 0;
};

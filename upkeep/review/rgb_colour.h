// A colour as red, green and blue, and the system colours a page can name. Portable.
#pragma once

#include <cstdint>

struct RgbColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    // Windows keeps colours as 0x00BBGGRR (COLORREF).
    static RgbColour from_colorref(uint32_t value) {
        return {uint8_t(value & 0xFF), uint8_t((value >> 8) & 0xFF), uint8_t((value >> 16) & 0xFF)};
    }
    uint32_t to_colorref() const { return uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16; }
    bool operator==(const RgbColour& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const RgbColour& other) const { return !(*this == other); }
};

// The system colours a page can name ("window", "windowtext", "buttonface",
// "buttontext"), as the system reports them at the time of a conversion. On Windows:
// GetSysColor(COLOR_WINDOW), COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT.
struct SystemColours {
    RgbColour window;
    RgbColour window_text;
    RgbColour button_face;
    RgbColour button_text;
};

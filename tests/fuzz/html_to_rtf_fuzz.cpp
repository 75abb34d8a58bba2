// Feeds arbitrary bytes to the HTML-to-RTF converter as release notes, and as plain
// text. Properties: no crash and no write past a buffer (sanitizers); every "{" of the
// RTF has its "}" and nothing follows the document; the text read back from the RTF
// has exactly as many characters as the converter counted; links are non-empty, lie
// within the text, and follow each other without overlap (the rich view finds a
// clicked link by binary search on its start).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/support/rtf_text.h"
#include "upkeep/review/html_to_rtf.h"

namespace {

Html2RtfDisplay display(uint8_t pixelsPerInch) {
    Html2RtfDisplay d;
    d.colours.window = {255, 255, 255};
    d.colours.window_text = {0, 0, 0};
    d.colours.button_face = {236, 233, 216};
    d.colours.button_text = {0, 0, 0};
    d.pixels_per_inch = pixelsPerInch;
    return d;
}

void checkDocument(const std::string& rtf, size_t textLength) {
    const RtfReading reading = read_rtf_text(rtf);
    if (!reading.balanced) std::abort();
    if (reading.text.size() != textLength) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the screen's pixels per inch (0 included; "`" is 96), the
    // rest is the page.
    if (size == 0) return 0;
    const std::string_view html(reinterpret_cast<const char*>(data + 1), size - 1);
    const Html2RtfFont font{"MS Shell Dlg", -11};

    Html2Rtf converter;
    RgbColour background{255, 255, 255};
    if (const auto rtf = converter.Convert(html, font, {0, 0, 0}, background, display(data[0]))) {
        checkDocument(*rtf, converter.TextLength());
        size_t previousEnd = 0;
        for (const Html2RtfLink& link : converter.Links()) {
            if (link.start < previousEnd || link.end <= link.start || link.end > converter.TextLength())
                std::abort();
            if (converter.LinkStartingAt(link.start) != &link) std::abort();
            previousEnd = link.end;
        }
    } else if (!converter.Links().empty() || background != RgbColour{255, 255, 255}) {
        std::abort();
    }
    const std::string text = converter.ConvertPlainText(html, font, {0, 0, 0}, {255, 255, 255});
    checkDocument(text, converter.TextLength());
    if (!converter.Links().empty()) std::abort();
    return 0;
}

// AURichView: a RichEdit 2.0 control made into a read-only viewer of release notes:
// HTML converted to RTF and streamed in, clickable links, keyboard scrolling only, an
// invisible caret, and a border in the edit box's visual style. The owner reflects
// the control's WM_NOTIFY messages back to it (WM_NOTIFY + 0x2000). Main thread.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <string>

#include "frame/window_subclass.h"
#include "html_to_rtf.h"

class AURichView : public window_subclass {
public:
    // The message an owner sends the view with each WM_NOTIFY the control sent it.
    static constexpr UINT reflected_notify = WM_NOTIFY + 0x2000;

    ~AURichView() override;

    // Subclasses the control and initialises it.
    bool Attach(HWND control);
    // Shows UTF-8 HTML. Answers false (keeping the previous content) when the
    // converter refuses it.
    bool SetHtml(const std::string& html);
    // Shows the text literally (for notes the converter refused).
    void SetPlainText(const std::string& text);

    const Html2Rtf& converter() const { return m_converter; }

protected:
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void initialise();
    void open_theme();
    void close_theme();
    // Streams the RTF in, sets the background and marks the links.
    void show_rtf(const std::string& rtf, RgbColour background);
    LRESULT on_reflected_notify(NMHDR* header);
    bool paint_themed_border(HRGN update);
    // Reads the font, colours and screen facts a conversion needs.
    void conversion_inputs(Html2RtfFont& font, RgbColour& text, RgbColour& background, Html2RtfDisplay& display);

    Html2Rtf m_converter;
    HTHEME m_theme = nullptr;
};

// Whether visual styles can be used in this process; decided once.
bool visual_styles_available();

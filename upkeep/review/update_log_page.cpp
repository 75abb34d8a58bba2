#include "update_log_page.h"

namespace {

const char* const kHead[] = {
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">",
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\">",
    "<head>",
    "<title>Vellora Tendwell Log</title>",
    "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\" />",
    "<style type=\"text/css\" media=\"all\">",
    "body { margin: 2em; background: #e3e3e3; color: #000; font: 16px Tahoma, Arial, helvetica, sans-serif; }",
    "body, h2, h2, h3, h4, ul, p, span { line-height: 120%; }",
    ".content { width: 45em; margin: 0 auto; padding: 1em; background: #fff; border: 1px solid #777; }",
    "hr { margin: 1em 0 0 0; height: 0; border: none; border-top: 1px solid #888; }",
    "h1 { margin: 0 0 1em 0; padding: 0; font-weight: bold; font-size: 160%; }",
    "h2, h3, h4 { margin: 0 0 0 0.5em; padding: 0; font-weight: bold; }",
    "h2 { font-size: 120%; }",
    "h3 { font-size: 105%; }",
    "h4 { font-size: 90%; }",
    "ul { margin-top: 0; margin-bottom: 1em; }",
    "ul.h2l { font-size: 100%; }",
    "ul.h3l { font-size: 90%; }",
    "ul.h4l { font-size: 80%; }",
    "p.footer { margin: 0; font-size: 70%; color: #888; }",
    "a, a:link, a:visited { color: #555; background: transparent; text-decoration: underline; }",
    "a:active { color: #333; background: transparent; }",
    "a:hover { color: #333; background: #f0f0f0; }",
    "li span { font-size: 80%; line-height: 120%; color: #555; }",
    "</style>",
    "</head>",
    "<body>",
    "<div class=\"content\">",
    "<h1>Vellora Tendwell Log</h1>",
    "",
    "<h2>The following components need updating:</h2>",
    "<ul class=\"h2l\">",
};

// A string member, or `fallback` when the entry has none; escaped for the page.
std::string field(const JSONValue& entry, const char* name, const char* fallback) {
    JSONValuePtr value = entry.objectMember(name, true);
    return html_escape(value ? value->getString() : std::string(fallback));
}

bool is_chosen(const JSONValue& entry, int64_t state, const std::vector<bool>& skip, size_t index) {
    return state == 2 && !(index < skip.size() && skip[index]);
}

void line(std::string& page, const std::string& text) {
    page += text;
    page += '\n';
}

}  // namespace

std::string html_escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '"': out += "&quot;"; break;
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string build_update_log_page(const JSONValue& updates, const std::vector<bool>& skip,
                                  const std::string& generated_at) {
    std::string page;
    for (const char* text : kHead) line(page, text);
    const size_t count = updates.arraySize();

    for (size_t i = 0; i < count; ++i) {
        JSONValuePtr e = updates.arrayItem(i);
        if (!is_chosen(*e, e->objectMember("state")->getInteger(), skip, i)) continue;
        line(page, "<li title=\"" + field(*e, "fileName", "") + "\"><a href=\"" + field(*e, "link", "") + "\">" +
                       field(*e, "name", "") + "</a> <span>(" + field(*e, "curVersion", "old version") + " to " +
                       field(*e, "version", "new version") + ")</span></li>");
    }
    for (const char* text : {"</ul>", "", "<h3>The following components are up to date:</h3>", "<ul class=\"h3l\">"})
        line(page, text);

    for (size_t i = 0; i < count; ++i) {
        JSONValuePtr e = updates.arrayItem(i);
        if (e->objectMember("state")->getInteger() != 1) continue;
        line(page, "<li title=\"" + field(*e, "fileName", "") + "\">" + field(*e, "name", "") + " <span>(" +
                       field(*e, "curVersion", "new version") + ")</span></li>");
    }
    for (const char* text :
         {"</ul>", "", "<h4>The following components are ignored or unknown:</h4>", "<ul class=\"h4l\">"})
        line(page, text);

    for (size_t i = 0; i < count; ++i) {
        JSONValuePtr e = updates.arrayItem(i);
        int64_t state = e->objectMember("state")->getInteger();
        if (state == 1 || is_chosen(*e, state, skip, i)) continue;
        std::string remark;
        if (e->objectMember("_hidden", true))
            remark = "hidden, " + field(*e, "version", "new version") + " available";
        else if (state == 0)
            remark = "unknown";
        else if (state == 2)
            remark = "skipped by user, " + field(*e, "version", "new version") + " available";
        else if (state == 3)
            remark = field(*e, "ignoreReason", "ignored");
        line(page, "<li title=\"" + field(*e, "fileName", "") + "\">" + field(*e, "name", "") + " <span>(" +
                       field(*e, "curVersion", "version") + ", " + remark + ")</span></li>");
    }
    for (const char* text : {"</ul>", "", "<hr />"}) line(page, text);
    line(page, "<p class=\"footer\">Generated at " + generated_at + " by vel_upkeep version 1.</p>");
    for (const char* text : {"</div>", "</body>", "</html>"}) line(page, text);
    return page;
}

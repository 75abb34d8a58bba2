// The update log page: its exact text for a fixture answer, escaping, defaults, and
// that an XML parser reads it as a well-formed document.
#include <expat.h>
#include <gtest/gtest.h>

#include "upkeep/checking/json_parser.h"
#include "upkeep/review/update_log_page.h"

namespace {

JSONValuePtr updates_of(const std::string& answer) {
    return JSONParse(answer.data(), answer.size())->objectMember("updates");
}

// The lines between the page's fixed head and its footer.
std::string lists_of(const std::string& page) {
    size_t from = page.find("<h2>");
    size_t to = page.find("<hr />");
    return page.substr(from, to - from);
}

bool well_formed_xml(const std::string& text, std::string& error) {
    XML_Parser parser = XML_ParserCreate("UTF-8");
    bool ok = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
    if (!ok)
        error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(parser));
    XML_ParserFree(parser);
    return ok;
}

const char kFixture[] = R"({"updates":[
 {"state":2,"fileName":"a.dll","name":"A&B <beta>","curVersion":"1.0","version":"1.1","link":"http://x.invalid/?a=1&b=\"2\""},
 {"state":2,"fileName":"skipped.dll","name":"Skipped","curVersion":"2.0","version":"2.1"},
 {"state":2,"fileName":"hidden.dll","name":"Hidden","curVersion":"3.0","version":"3.1","_hidden":true},
 {"state":1,"fileName":"latest.dll","name":"Latest","curVersion":"4"},
 {"state":0,"fileName":"unknown.dll","name":"Unknown","curVersion":"5"},
 {"state":3,"fileName":"ignored.dll","name":"Ignored","curVersion":"6","ignoreReason":"ships with the player"},
 {"state":3,"fileName":"plain.dll","name":"Plain"},
 {"state":2,"fileName":"bare.dll"}
]})";

}  // namespace

TEST(UpdateLogPage, HtmlEscape) {
    EXPECT_EQ("A&amp;B &lt;beta&gt; &quot;q&quot; it's", html_escape("A&B <beta> \"q\" it's"));
    EXPECT_EQ("", html_escape(""));
    EXPECT_EQ("\xC3\xA9t\xC3\xA9", html_escape("\xC3\xA9t\xC3\xA9"));
}

TEST(UpdateLogPage, ListsTheChosenUpToDateAndOtherEntries) {
    JSONValuePtr updates = updates_of(kFixture);
    // Entry 1 is skipped by the user; entry 2 is hidden (and so skipped too).
    std::vector<bool> skip = {false, true, true, true, true, true, true, false};
    std::string page = build_update_log_page(*updates, skip, "2026-12-11 04:16");
    EXPECT_EQ(
        "<h2>The following components need updating:</h2>\n"
        "<ul class=\"h2l\">\n"
        "<li title=\"a.dll\"><a href=\"http://x.invalid/?a=1&amp;b=&quot;2&quot;\">A&amp;B &lt;beta&gt;</a> "
        "<span>(1.0 to 1.1)</span></li>\n"
        "<li title=\"bare.dll\"><a href=\"\"></a> <span>(old version to new version)</span></li>\n"
        "</ul>\n"
        "\n"
        "<h3>The following components are up to date:</h3>\n"
        "<ul class=\"h3l\">\n"
        "<li title=\"latest.dll\">Latest <span>(4)</span></li>\n"
        "</ul>\n"
        "\n"
        "<h4>The following components are ignored or unknown:</h4>\n"
        "<ul class=\"h4l\">\n"
        "<li title=\"skipped.dll\">Skipped <span>(2.0, skipped by user, 2.1 available)</span></li>\n"
        "<li title=\"hidden.dll\">Hidden <span>(3.0, hidden, 3.1 available)</span></li>\n"
        "<li title=\"unknown.dll\">Unknown <span>(5, unknown)</span></li>\n"
        "<li title=\"ignored.dll\">Ignored <span>(6, ships with the player)</span></li>\n"
        "<li title=\"plain.dll\">Plain <span>(version, ignored)</span></li>\n"
        "</ul>\n"
        "\n",
        lists_of(page));
    EXPECT_NE(std::string::npos,
              page.find("<hr />\n<p class=\"footer\">Generated at 2026-12-11 04:16 by vel_upkeep version 1.</p>\n"
                        "</div>\n</body>\n</html>\n"));
    EXPECT_EQ(0u, page.find("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n<html "
                            "xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\">\n<head>\n"));
    EXPECT_EQ(std::string::npos, page.find('\r'));

    std::string error;
    EXPECT_TRUE(well_formed_xml(page, error)) << error;
}

TEST(UpdateLogPage, NothingChosenListsEveryOutdatedEntryAsSkippedOrHidden) {
    JSONValuePtr updates = updates_of(kFixture);
    std::vector<bool> skip(updates->arraySize(), true);
    std::string lists = lists_of(build_update_log_page(*updates, skip, "2026-12-11 04:16"));
    EXPECT_NE(std::string::npos, lists.find("<ul class=\"h2l\">\n</ul>\n"));
    EXPECT_NE(std::string::npos, lists.find("A&amp;B &lt;beta&gt; <span>(1.0, skipped by user, 1.1 available)"));
    EXPECT_NE(std::string::npos, lists.find("<li title=\"bare.dll\"> <span>(version, skipped by user, new version "
                                            "available)</span></li>"));
}

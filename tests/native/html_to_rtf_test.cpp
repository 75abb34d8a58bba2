// The release notes' HTML-to-RTF converter: exact RTF for each kind of markup, the
// link ranges checked against the text that the RTF holds when read back, the font
// and colour tables, the document frame, and the notes that cannot be converted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/rtf_text.h"
#include "upkeep/review/html_attributes.h"
#include "upkeep/review/html_to_rtf.h"

namespace {

const RgbColour kNavy{0, 0, 128};      // the control's text colour in these tests
const RgbColour kWhite{255, 255, 255};  // its background
const RgbColour kBlack{0, 0, 0};
const RgbColour kButtonFace{236, 233, 216};

Html2RtfDisplay display(int pixelsPerInch = 96) {
    Html2RtfDisplay d;
    d.colours.window = kWhite;
    d.colours.window_text = kBlack;
    d.colours.button_face = kButtonFace;
    d.colours.button_text = RgbColour{16, 16, 16};
    d.pixels_per_inch = pixelsPerInch;
    return d;
}

const Html2RtfFont kFont{"MS Shell Dlg", -11};

const std::string kHeader =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 MS Shell Dlg;}}"
    "{\\colortbl ;\\red0\\green0\\blue128;\\red255\\green255\\blue255;";
const std::string kHeaderEnd = "}\\pard\\plain\\tx0\\fs24";

// The body of a document: what follows the header (whose colour table grows with the
// colours the page uses) up to the document's closing brace.
std::string bodyOf(const std::string& rtf) {
    const size_t start = rtf.find(kHeaderEnd);
    if (start == std::string::npos || rtf.empty() || rtf.back() != '}') return "<no document>";
    return rtf.substr(start + kHeaderEnd.size(), rtf.size() - start - kHeaderEnd.size() - 1);
}

struct Link {
    std::string url;
    size_t start, end;
    std::u16string text;  // what the range covers in the text read back
};

struct Case {
    const char* html;
    std::string body;
    std::u16string text;
    std::vector<Link> links;
};

// Converts, checks the body, reads the RTF back and checks that it balances, that it
// holds the expected text and that every link range covers the link's text.
void check(const Case& c) {
    SCOPED_TRACE(c.html);
    Html2Rtf converter;
    RgbColour background = kWhite;
    const auto rtf = converter.Convert(c.html, kFont, kNavy, background, display());
    ASSERT_TRUE(rtf.has_value());
    EXPECT_EQ(c.body, bodyOf(*rtf));
    const RtfReading reading = read_rtf_text(*rtf);
    EXPECT_TRUE(reading.balanced);
    EXPECT_EQ(c.text, reading.text);
    EXPECT_EQ(reading.text.size(), converter.TextLength());
    ASSERT_EQ(c.links.size(), converter.Links().size());
    for (size_t i = 0; i < c.links.size(); ++i) {
        const Html2RtfLink& got = converter.Links()[i];
        EXPECT_EQ(c.links[i].url, got.url);
        EXPECT_EQ(c.links[i].start, got.start);
        EXPECT_EQ(c.links[i].end, got.end);
        ASSERT_LE(got.end, reading.text.size());
        EXPECT_EQ(c.links[i].text, reading.text.substr(got.start, got.end - got.start));
    }
}

}  // namespace

// Text runs: escaping, white space and the flags that decide it.
TEST(Html2Rtf, Text) {
    const Case cases[] = {
        {"", "", u"", {}},
        // A space ends the header's "\fs24" before text that would extend it.
        {"Hello", " Hello", u"Hello", {}},
        {"123 new", " 123 new", u"123 new", {}},
        {"a\\b{c}", " a\\\\b\\{c\\}", u"a\\b{c}", {}},
        {"  lead", " lead", u"lead", {}},
        {"a  \t b", " a b", u"a b", {}},
        {"a\r\nb", " a b", u"a b", {}},
        // A line feed is written without marking a space: two give two spaces.
        {"a\n\nb", " a  b", u"a  b", {}},
        {"a \nb", " a b", u"a b", {}},
        {"a\n b", " a  b", u"a  b", {}},
        {"<br>  x", "\\line x", u"\vx", {}},
        {"a<p>  b", " a\\par\\par b", u"a\r\rb", {}},
        // Characters beyond ASCII go in as Unicode units, so that no reader takes the
        // UTF-8 bytes for characters of its own code page.
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80!", " caf\\u233? \\u8364? \\u-10179?\\u-8704?!",
         u"caf\u00E9 \u20AC \U0001F600!", {}},
        // Bytes that are not well-formed UTF-8 (a stray byte, a cut sequence, an
        // overlong form) each read as the replacement character.
        {"a\xFF" "b\xC3(\xE0\x80\x80", " a\\u-3?b\\u-3?(\\u-3?\\u-3?\\u-3?", u"a\uFFFDb\uFFFD(\uFFFD\uFFFD\uFFFD", {}},
        // The input ends at its first NUL.
        {"ab\0cd", " ab", u"ab", {}},
    };
    for (const Case& c : cases) check(c);
}

TEST(Html2Rtf, Entities) {
    const Case cases[] = {
        {"&amp;", " &", u"&", {}},
        {"&lt;b&gt;x", " <b>x", u"<b>x", {}},
        {"&QUOT;&Nbsp;x", " \"\\~x", u"\"\u00A0x", {}},
        {"&#8226;", "\\u8226?", u"\u2022", {}},
        {"&#x41;", "\\u65?", u"A", {}},
        // Only a lower-case x starts a hexadecimal number; the number then reads as 0.
        {"&#X41;", "\\u0?X41;", std::u16string(1, u'\0') + u"X41;", {}},
        {"&#65;;;b", "\\u65?b", u"Ab", {}},
        {"&#65b", "\\u65?b", u"Ab", {}},
        {"&#;x", "\\u0?x", std::u16string(1, u'\0') + u"x", {}},
        {"&copy; &amp", " &copy; &amp", u"&copy; &amp", {}},
        {"a & b", " a & b", u"a & b", {}},
        // RTF takes \uN as a signed 16-bit value.
        {"&#32767;&#32768;&#65535;", "\\u32767?\\u-32768?\\u-1?", u"\u7FFF\u8000\uFFFF", {}},
        {"&#40000;", "\\u-25536?", u"\u9C40", {}},
        // Beyond the Basic Multilingual Plane: a surrogate pair, each unit on its own.
        {"&#x1F600;", "\\u-10179?\\u-8704?", u"\U0001F600", {}},
        {"&#1114111;", "\\u-9217?\\u-8193?", u"\U0010FFFF", {}},
        // No character: the replacement character.
        {"&#x110000;&#xD800;&#99999999999999999999;", "\\u-3?\\u-3?\\u-3?", u"\uFFFD\uFFFD\uFFFD", {}},
    };
    for (const Case& c : cases) check(c);
}

TEST(Html2Rtf, InlineAndBlockTags) {
    const Case cases[] = {
        {"<b>bold</b> <i>it</i> <u>u</u>", "\\b1 bold\\b0  \\i1 it\\i0  \\ul1 u\\ulnone ", u"bold it u", {}},
        {"<STRONG>S</Strong>", "\\b1 S\\b0 ", u"S", {}},
        {"a<br>b<br />c", " a\\line b\\line c", u"a\vb\vc", {}},
        // "br/" is a name of its own, and unknown.
        {"a<br/>b", " ab", u"ab", {}},
        {"<h3>Title</h3>", " Title", u"Title", {}},
        // Nothing was written before: the first paragraph still breaks twice.
        {"<p>one</p><p>two", "\\par\\par one\\par\\par two", u"\r\rone\r\rtwo", {}},
        {"<p><p>x", "\\par\\par \\par x", u"\r\r\rx", {}},
        {"<ul><li>A</li><li>B</li></ul>", "  \\u8226* A \\u8226* B", u" \u2022 A \u2022 B", {}},
        {"x<div align=center>b</div>c", " x{\\par \\qc b\\par }\r\nc", u"x\rb\rc", {}},
        {"<div align='justify' nowrap>b</div>", "{\\par \\qj \\nowwrap b\\par }\r\n", u"\rb\r", {}},
        {"<br><div align=middle>b</div>", "\\line {b\\par }\r\n", u"\vb\r", {}},
        // A tag cut off by the end of the input ends there.
        {"a<b", " a\\b1 ", u"a", {}},
        {"a<", " a", u"a", {}},
    };
    for (const Case& c : cases) check(c);
}

TEST(Html2Rtf, Tables) {
    const std::string borders =
        "\\trbrdrt\\brdrs\\brdrw1 \\trbrdrl\\brdrs\\brdrw1 \\trbrdrb\\brdrs\\brdrw1 \\trbrdrr\\brdrs\\brdrw1 ";
    const std::string cellBorders =
        "\\clbrdrt\\brdrw15\\brdrs\\clbrdrl\\brdrw15\\brdrs\\clbrdrb\\brdrw15\\brdrs\\clbrdrr\\brdrw15\\brdrs";
    const Case cases[] = {
        {"<table border=1><col width=100><col width=50><tr><td>A</td><td>B</td></tr></table>z",
         "{\\par\\trowd \\trgaph108\\trleft-108" + borders + cellBorders + "\\cellx1500" + cellBorders +
             "\\cellx2250\\intbl \\par A\\cell \\par B\\cell \\row }\r\nz",
         u"\r\rA\a\rB\a\rz",
         {}},
        // The cell edge starts again with every table; text after it is not a digit of it.
        {"<table><col width=10>5</table>",
         "{\\par\\trowd \\trgaph108\\trleft-108"
         "\\trbrdrt\\brdrs\\brdrw0 \\trbrdrl\\brdrs\\brdrw0 \\trbrdrb\\brdrs\\brdrw0 \\trbrdrr\\brdrs\\brdrw0 " +
             cellBorders + "\\cellx150 5}\r\n",
         u"\r5",
         {}},
    };
    for (const Case& c : cases) check(c);
}

TEST(Html2Rtf, Links) {
    const Case cases[] = {
        {"see <a href='http://x.test/'>here</a>.", " see {here}\r\n.", u"see here.",
         {{"http://x.test/", 4, 8, u"here"}}},
        // Positions count what the control holds: a two-byte character once, a
        // four-byte one and a reference beyond the BMP twice, the bullet three times.
        {"\xC3\xA9<a href=u>x</a>", "\\u233?{x}\r\n", u"\u00E9x", {{"u", 1, 2, u"x"}}},
        {"\xF0\x9F\x98\x80<a href=u>x</a>", "\\u-10179?\\u-8704?{x}\r\n", u"\U0001F600x", {{"u", 2, 3, u"x"}}},
        {"&#x1F600;<a href=u>x</a>", "\\u-10179?\\u-8704?{x}\r\n", u"\U0001F600x", {{"u", 2, 3, u"x"}}},
        {"<li><a href=u>x</a>", "  \\u8226* {x}\r\n", u" \u2022 x", {{"u", 3, 4, u"x"}}},
        {"<p>a<br><a href=\"u\">&amp;b</a>", "\\par\\par a\\line {&b}\r\n", u"\r\ra\v&b", {{"u", 4, 6, u"&b"}}},
        {"<a href=one>A</a> <a href=two><b>B</b></a>", "{A}\r\n {\\b1 B\\b0 }\r\n", u"A B",
         {{"one", 0, 1, u"A"}, {"two", 2, 3, u"B"}}},
        // The attribute is found by substring: here inside another attribute's value,
        // where no "=" follows, so the URL is empty.
        {"<a title='href' href='u'>x</a>", "{x}\r\n", u"x", {{"", 0, 1, u"x"}}},
        // An anchor without href records nothing, and neither does an empty link.
        {"<a name=n>x</a><a href=u></a>", "{x}\r\n{}\r\n", u"x", {}},
        // Each href gives one link: a later anchor without href does not repeat it.
        {"<a href=u>A</a><a name=n>B</a>", "{A}\r\n{B}\r\n", u"AB", {{"u", 0, 1, u"A"}}},
        // A nested href replaces the pending one.
        {"<a href=u>A<a href=v>B</a>C</a>", "{A{B}\r\nC}\r\n", u"ABC", {{"v", 1, 2, u"B"}}},
    };
    for (const Case& c : cases) check(c);
}

// Long tags, names and URLs are ordinary release notes, not failures.
TEST(Html2Rtf, LongTagsNamesAndUrlsConvert) {
    const std::string url = "http://downloads.example.org/components/" + std::string(300, 'x') + "/setup.zip";
    const std::string longName(40, 'q');
    const std::string html = "<a href=\"" + url + "\" title=\"" + std::string(200, 't') + "\">download</a><" +
                             longName + " a=b>x</" + longName + ">";
    Html2Rtf converter;
    RgbColour background = kWhite;
    const auto rtf = converter.Convert(html, kFont, kNavy, background, display());
    ASSERT_TRUE(rtf.has_value());
    EXPECT_EQ("{download}\r\nx", bodyOf(*rtf));
    ASSERT_EQ(1u, converter.Links().size());
    EXPECT_EQ(url, converter.Links()[0].url);
    EXPECT_EQ(0u, converter.Links()[0].start);
    EXPECT_EQ(8u, converter.Links()[0].end);
}

TEST(Html2Rtf, FormattingGroups) {
    const Case cases[] = {
        {"<font color='#ff0000'>r</font>", "{\\cf3 r}\r\n", u"r", {}},
        // After the ":" the value is unquoted and starts with "#": it reads as empty,
        // which is black.
        {"<span style='color:#ff0000'>x</span>", "{\\cf3 x}\r\n", u"x", {}},
        // "color" is found inside "background-color": both become black.
        {"<span style='background-color:#ffff00'>x</span>", "{\\cf3\\highlight3 x}\r\n", u"x", {}},
        {"<span style=\"color: red\">x</span>", "{\\cf3 x}\r\n", u"x", {}},
        // The style property needs its ":".
        {"<font color=\"#00ff00\" style=\"x\">x</font>", "{\\cf3 x}\r\n", u"x", {}},
        {"<span>x</span>", "{x}\r\n", u"x", {}},
        {"<font size=1>a</font><font size=7>b</font><font size=9>c</font>",
         "{\\fs15 a}\r\n{\\fs72 b}\r\n{c}\r\n", u"abc", {}},
        // The default face in other capitalisation: another text, the same table entry.
        {"<font face='ms shell dlg'>x</font>", "{\\f0 x}\r\n", u"x", {}},
        {"<font face='MS Shell Dlg'>x</font>", "{x}\r\n", u"x", {}},
        {"<font face=Courier>x<font face=Courier>y<font face=Arial>z</font></font></font>",
         "{\\f1 x{y{\\f2 z}\r\n}\r\n}\r\n", u"xyz", {}},
        {"<font color=window>w</font><font color=buttontext>t</font>", "{\\cf2 w}\r\n{\\cf3 t}\r\n", u"wt", {}},
        // Closing restores the state: the same colour again is a change again.
        {"<font color='#000080'>a</font>", "{a}\r\n", u"a", {}},
        // Unquoted, a value cannot start with "#": black.
        {"<font color=#ff0000>a</font>", "{\\cf3 a}\r\n", u"a", {}},
        // Groups still open at the end are closed there.
        {"<font size=2>x<span>y", "{\\fs20 x{y}}", u"xy", {}},
        // The body's margins do not take up the text after them.
        {"<body>123</body>", "{\\margt120\\margb120\\li120\\ri120 123}\r\n", u"123", {}},
        {"<body leftmargin=0 topmargin='4' rightmargin=-2>x", "{\\margt60\\margb120\\li0\\ri-30 x}", u"x", {}},
        // A space after them stays a space of the text.
        {"a<body> b", " a{\\margt120\\margb120\\li120\\ri120  b}", u"a b", {}},
    };
    for (const Case& c : cases) check(c);
}

// The dialog's placeholder page at 96 dots per inch.
TEST(Html2Rtf, PlaceholderPage) {
    const std::string html =
        "<body bgcolor=\"buttonface\"><font size=\"1\"><i>No component selected.</i></font></body>";
    Html2Rtf converter;
    RgbColour background = kWhite;
    const auto rtf = converter.Convert(html, kFont, kNavy, background, display());
    ASSERT_TRUE(rtf.has_value());
    EXPECT_EQ("{\\margt120\\margb120\\li120\\ri120\\highlight3 {\\fs15 \\i1 No component selected.\\i0 }\r\n}\r\n",
              bodyOf(*rtf));
    ASSERT_EQ(3u, converter.Colours().colours().size());
    EXPECT_EQ(kButtonFace, converter.Colours().colours()[2]);
    EXPECT_EQ(kButtonFace, background);

    // A button face equal to the control's background adds no colour and no change.
    Html2RtfDisplay grey = display();
    grey.colours.button_face = kWhite;
    background = kWhite;
    const auto same = converter.Convert(html, kFont, kNavy, background, grey);
    ASSERT_TRUE(same.has_value());
    EXPECT_EQ("{\\margt120\\margb120\\li120\\ri120{\\fs15 \\i1 No component selected.\\i0 }\r\n}\r\n",
              bodyOf(*same));
    EXPECT_EQ(2u, converter.Colours().colours().size());
}

TEST(Html2Rtf, DocumentFrame) {
    Html2Rtf converter;
    RgbColour background = kWhite;
    const auto rtf = converter.Convert("<font face=Courier color='#102030'>x</font>", kFont, kNavy, background,
                                       display());
    ASSERT_TRUE(rtf.has_value());
    EXPECT_EQ("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 MS Shell Dlg;}{\\f1\\fnil\\fcharset0 Courier;}}"
              "{\\colortbl ;\\red0\\green0\\blue128;\\red255\\green255\\blue255;\\red16\\green32\\blue48;}"
              "\\pard\\plain\\tx0\\fs24{\\cf3\\f1 x}\r\n}",
              *rtf);
    EXPECT_EQ(kWhite, background);  // no body bgcolor: the page keeps the control's
}

TEST(Html2Rtf, DefaultSizeFromFontHeight) {
    const struct {
        int32_t height;
        int size;
    } cases[] = {{100, 72}, {36, 72}, {35, 48}, {24, 48}, {18, 36}, {16, 32}, {14, 28}, {13, 24},
                 {12, 24},  {10, 20}, {8, 18},  {7, 24},  {0, 24},  {-11, 24}, {-40, 24}};
    for (const auto& c : cases) EXPECT_EQ(c.size, html2rtf_default_size(c.height)) << c.height;

    Html2Rtf converter;
    RgbColour background = kWhite;
    const auto rtf = converter.Convert("x", Html2RtfFont{"Tahoma", 16}, kNavy, background, display());
    ASSERT_TRUE(rtf.has_value());
    EXPECT_NE(std::string::npos, rtf->find("\\fs32 x}"));
}

TEST(Html2Rtf, PixelsPerInchScaleMargins) {
    const struct {
        int ppi;
        const char* margins;
    } cases[] = {{96, "\\margt120\\margb120\\li120\\ri120"},
                 {120, "\\margt96\\margb96\\li96\\ri96"},
                 {144, "\\margt80\\margb80\\li80\\ri80"},
                 {0, "\\margt120\\margb120\\li120\\ri120"}};  // unknown: 96
    for (const auto& c : cases) {
        Html2Rtf converter;
        RgbColour background = kWhite;
        const auto rtf = converter.Convert("<body></body>", kFont, kNavy, background, display(c.ppi));
        ASSERT_TRUE(rtf.has_value());
        EXPECT_EQ(std::string("{") + c.margins + "}\r\n", bodyOf(*rtf)) << c.ppi;
    }
}

TEST(Html2Rtf, FontTable) {
    Html2Rtf converter;
    RgbColour background = kWhite;
    // Faces from the page cannot break the table's groups; long faces are cut to 63
    // bytes without splitting a character.
    const std::string longFace = std::string(62, 'a') + "\xC3\xA9" + "tail";
    const std::string html = "<font face='a}b{c\\'>1</font><font face='COURIER'>2<font face=courier>3</font></font>"
                             "<font face='" + longFace + "'>4</font>";
    const auto rtf = converter.Convert(html, kFont, kNavy, background, display());
    ASSERT_TRUE(rtf.has_value());
    const std::vector<std::string> faces{"MS Shell Dlg", "a}b{c\\", "COURIER", std::string(62, 'a')};
    EXPECT_EQ(faces, converter.Fonts().faces());
    EXPECT_NE(std::string::npos, rtf->find("{\\f1\\fnil\\fcharset0 a\\}b\\{c\\\\;}"));
    EXPECT_EQ("{\\f1 1}\r\n{\\f2 2{\\f2 3}\r\n}\r\n{\\f3 4}\r\n", bodyOf(*rtf));
    const RtfReading reading = read_rtf_text(*rtf);
    EXPECT_TRUE(reading.balanced);
    EXPECT_EQ(u"1234", reading.text);

    // The control's own face is cut the same way; the tables start afresh each time.
    const auto again = converter.Convert("x", Html2RtfFont{std::string(70, 'F'), -11}, kNavy, background, display());
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(std::vector<std::string>{std::string(63, 'F')}, converter.Fonts().faces());
}

TEST(Html2Rtf, ColourValues) {
    const SystemColours system = display().colours;
    const struct {
        const char* value;
        RgbColour colour;
    } cases[] = {
        {"#ff8000", {255, 128, 0}},
        {"#FF8000", {255, 128, 0}},
        {"#f00", {0, 15, 0}},  // short forms are not expanded
        {"#12zz", {0, 0, 18}},
        {"#", {0, 0, 0}},
        {"#1234567", {255, 255, 255}},  // beyond 0xFFFFFF
        {"window", kWhite},
        {"windowtext", kBlack},
        {"buttonface", kButtonFace},
        {"buttontext", {16, 16, 16}},
        {"Window", kBlack},
        {"red", kBlack},
        {"", kBlack},
    };
    for (const auto& c : cases) EXPECT_EQ(c.colour, html_colour(c.value, system)) << c.value;

    // Colours are entered once, in order of first use, after the two defaults.
    Html2Rtf converter;
    RgbColour background = kWhite;
    ASSERT_TRUE(converter
                    .Convert("<font color='#010203'>a<font color='#040506'>b</font></font><font color='#010203'>c</font>"
                             "<font color=window>d</font>",
                             kFont, kNavy, background, display())
                    .has_value());
    const std::vector<RgbColour> expected{kNavy, kWhite, {1, 2, 3}, {4, 5, 6}};
    EXPECT_EQ(expected, converter.Colours().colours());
}

TEST(Html2Rtf, Attributes) {
    const struct {
        const char* attributes;
        const char* name;
        bool present;
        const char* value;
    } cases[] = {
        {"href=\"a b\"", "href", true, "a b"},
        {"href = 'x\"y' z", "href", true, "x\"y"},
        {"href=\"open", "href", true, "open"},
        {"href=abc-9.html", "href", true, "abc-9"},
        {"href=#top", "href", true, ""},
        {"nowrap", "nowrap", true, ""},
        {"nowrap align=left", "align", true, "left"},
        {"data-align=x align=y", "align", true, "x"},  // the first occurrence counts
        {"size", "href", false, ""},
    };
    for (const auto& c : cases) {
        const auto value = html_attribute(c.attributes, c.name);
        EXPECT_EQ(c.present, value.has_value()) << c.attributes;
        if (value && c.present) EXPECT_EQ(c.value, *value) << c.attributes;
    }
    EXPECT_FALSE(html_style_property("style=\"color=red\"", "color").has_value());
    EXPECT_EQ("red", html_style_property("style=\"color :  red\"", "color").value_or("-"));

    const struct {
        const char* text;
        int32_t value;
    } numbers[] = {{"12", 12},   {" -7px", -7}, {"+3", 3},          {"x1", 0}, {"", 0},
                   {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (const auto& n : numbers) EXPECT_EQ(n.value, html_number(n.text)) << n.text;
}

// A closing tag with no group open cannot be converted: nothing is answered, the
// caller's background stays and no link of the failed page remains.
TEST(Html2Rtf, ClosingTagWithoutOpenGroupFails) {
    for (const char* html : {"</font>", "</a>", "</span>", "</div>", "</table>", "</body>",
                             "<a href=u>x</a></a>", "<body bgcolor=buttonface><a href=u>x</a></font></body>"}) {
        Html2Rtf converter;
        RgbColour background = kWhite;
        EXPECT_FALSE(converter.Convert(html, kFont, kNavy, background, display()).has_value()) << html;
        EXPECT_EQ(kWhite, background) << html;
        EXPECT_TRUE(converter.Links().empty()) << html;
    }
    // Closing tags that close no group are harmless.
    Html2Rtf converter;
    RgbColour background = kWhite;
    EXPECT_TRUE(converter.Convert("</b></i></u></tr></td></p></li>", kFont, kNavy, background, display()).has_value());
}

// What the dialog shows for notes that cannot be converted: the notes themselves,
// markup and all, as text.
TEST(Html2Rtf, PlainTextShowsMarkupAsText) {
    Html2Rtf converter;
    RgbColour background = kWhite;
    ASSERT_TRUE(converter.Convert("<a href=u>x</a>", kFont, kNavy, background, display()).has_value());
    ASSERT_EQ(1u, converter.Links().size());

    const std::string notes = "<b>Fixed</b> {x} & \\y</font>\r\n\tnext\n1";
    const std::string rtf = converter.ConvertPlainText(notes, kFont, kNavy, kWhite);
    EXPECT_EQ(kHeader + kHeaderEnd + " <b>Fixed</b> \\{x\\} & \\\\y</font>\\line \\tab next\\line 1}", rtf);
    const RtfReading reading = read_rtf_text(rtf);
    EXPECT_TRUE(reading.balanced);
    EXPECT_EQ(u"<b>Fixed</b> {x} & \\y</font>\v\tnext\v1", reading.text);
    EXPECT_EQ(reading.text.size(), converter.TextLength());
    EXPECT_TRUE(converter.Links().empty());
}

TEST(Html2Rtf, LinkStartingAt) {
    Html2Rtf converter;
    RgbColour background = kWhite;
    ASSERT_TRUE(converter
                    .Convert("<a href=one>A</a> and <a href=two>BB</a> <a href=three>C</a>", kFont, kNavy,
                             background, display())
                    .has_value());
    const struct {
        size_t position;
        const char* url;
    } cases[] = {{0, "one"}, {1, nullptr}, {6, "two"}, {7, nullptr}, {9, "three"}, {10, nullptr}, {99, nullptr}};
    for (const auto& c : cases) {
        const Html2RtfLink* link = converter.LinkStartingAt(c.position);
        if (c.url == nullptr) {
            EXPECT_EQ(nullptr, link) << c.position;
        } else {
            ASSERT_NE(nullptr, link) << c.position;
            EXPECT_EQ(c.url, link->url);
        }
    }
}

// A release-notes page as the server sends them, end to end.
TEST(Html2Rtf, ReleaseNotesPage) {
    const std::string html =
        "<h3>Version 1.4</h3>\n<ul>\n"
        "<li>Faster start-up &amp; less memory.</li>\n"
        "<li>Fixed: titles with &quot;quotes&quot; were cut.</li>\n"
        "<li>Caf\xC3\xA9 \xE2\x80\x94 <b>new</b> option.</li>\n</ul>\n"
        "<p>See <a href=\"http://www.example.org/changes.html\">the full list</a> or "
        "<a href='http://www.example.org/dl'>download</a>.</p>";
    Html2Rtf converter;
    RgbColour background = kWhite;
    const auto rtf = converter.Convert(html, kFont, kNavy, background, display());
    ASSERT_TRUE(rtf.has_value());
    const RtfReading reading = read_rtf_text(*rtf);
    EXPECT_TRUE(reading.balanced);
    EXPECT_EQ(u"Version 1.4   \u2022 Faster start-up & less memory.  \u2022 Fixed: titles with \"quotes\" were "
              u"cut.  \u2022 Caf\u00E9 \u2014 new option.  \r\rSee the full list or download.",
              reading.text);
    ASSERT_EQ(2u, converter.Links().size());
    for (const auto& [index, text] : {std::pair<size_t, std::u16string>{0, u"the full list"}, {1, u"download"}}) {
        const Html2RtfLink& link = converter.Links()[index];
        EXPECT_EQ(text, reading.text.substr(link.start, link.end - link.start));
    }
}

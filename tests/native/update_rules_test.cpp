// The update notifier's portable rules: wire formats, compression, what an answer
// must hold, the hidden-updates reconciliation, the summary line and the schedule.
#include <gtest/gtest.h>

#include <functional>

#include "upkeep/checking/answer_rules.h"
#include "upkeep/checking/check_schedule.h"
#include "upkeep/checking/json_parser.h"
#include "upkeep/checking/json_writer.h"
#include "upkeep/checking/raw_deflate.h"
#include "upkeep/checking/transport_formats.h"

namespace {

std::string error_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

JSONValuePtr parse(const std::string& text) { return JSONParse(text.data(), text.size()); }

}  // namespace

TEST(TransportFormats, SignatureBase64) {
    const struct {
        const char* text;
        bool valid;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"", true, {}},
        {"AAEC", true, {0, 1, 2}},
        {"/+9A", true, {0xFF, 0xEF, 0x40}},
        {"AAE=", true, {0, 1}},
        {"AA==", true, {0}},
        {"AAE", false, {}},         // three characters: not a multiple of 4
        {"AA=A", false, {}},        // something after the first "="
        {"A===", false, {}},        // more than two "="
        {"AA-_", false, {}},        // URL-safe alphabet is not standard Base64
        {"AA E", false, {}},        // no blanks
        {"AA==AAAA", false, {}},    // padding in the middle
    };
    for (const auto& c : cases) {
        auto decoded = decode_signature_base64(c.text);
        EXPECT_EQ(c.valid, decoded.has_value()) << c.text;
        if (decoded && c.valid) EXPECT_EQ(c.bytes, *decoded) << c.text;
    }
}

TEST(TransportFormats, ContentLengthReadsLeadingDigits) {
    const struct {
        const char* text;
        uint32_t value;
    } cases[] = {{"12", 12}, {"12abc", 12}, {"", 0}, {"abc", 0}, {"0007", 7}, {"4294967296", 0}, {" 5", 0}};
    for (const auto& c : cases) EXPECT_EQ(c.value, parse_content_length(c.text)) << c.text;
    EXPECT_EQ("133802688000000000", replay_key_text(133802688000000000ull));
    EXPECT_EQ("0", replay_key_text(0));
}

TEST(RawDeflate, RoundTripsAndGrowsTheOutputBuffer) {
    std::string text = "{\"c\":[[\"vel_upkeep.dll\",\"Tendwell\",\"1\"]],\"t\":2,\"v\":\"1.1\"}";
    std::vector<uint8_t> packed = raw_deflate(text);
    EXPECT_EQ(text, raw_inflate(packed.data(), packed.size()));

    // Inflating to many times the compressed size makes the buffer double repeatedly.
    std::string large(100000, 'x');
    packed = raw_deflate(large);
    ASSERT_LT(packed.size() * 10, large.size());
    EXPECT_EQ(large, raw_inflate(packed.data(), packed.size()));

    // Bytes after the end of the deflate stream are ignored.
    packed = raw_deflate(text);
    packed.push_back(0xAB);
    packed.push_back(0xCD);
    EXPECT_EQ(text, raw_inflate(packed.data(), packed.size()));
}

TEST(RawDeflate, TruncatedOrForeignInputFailsInsteadOfGrowing) {
    std::string large(50000, 'y');
    std::vector<uint8_t> packed = raw_deflate(large);
    for (size_t keep : {size_t{0}, size_t{1}, packed.size() / 2, packed.size() - 1}) {
        EXPECT_EQ("Decompressor failure.", error_of([&] { raw_inflate(packed.data(), keep); })) << keep;
    }
    const uint8_t garbage[] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ("Decompressor failure.", error_of([&] { raw_inflate(garbage, sizeof garbage); }));
    EXPECT_THROW(raw_inflate(garbage, sizeof garbage), vellora_io::exception_io);
}

TEST(AnswerRules, Version) {
    const struct {
        const char* version;
        const char* error;
    } cases[] = {
        {"1.1", ""},
        {"1.7", ""},
        {"01.99", ""},
        {"1", "Invalid version."},
        {"1.", "Invalid version."},
        {".1", "Invalid version."},
        {"1.0a", "Invalid version."},
        {" 1.1", "Invalid version."},
        {"1.1.1", "Invalid version."},
        {"0.9", "Invalid version - client too new?"},
        {"2.0", "Invalid version - client too old, update."},
    };
    for (const auto& c : cases) {
        JSONValuePtr answer = parse(std::string("{\"version\":\"") + c.version + "\",\"updates\":[]}");
        EXPECT_EQ(c.error, error_of([&] { check_answer_version(*answer); })) << c.version;
    }
    EXPECT_EQ("Object key not found.", error_of([&] { check_answer_version(*parse("{\"updates\":[]}")); }));
    EXPECT_EQ("Wrong value type.", error_of([&] { check_answer_version(*parse("{\"version\":1.1}")); }));
}

TEST(AnswerRules, UpdateEntries) {
    const std::string base = "\"fileName\":\"a.dll\",\"name\":\"A\",\"curVersion\":\"1.0\"";
    const struct {
        std::string entry;
        const char* error;
    } cases[] = {
        {"{\"state\":2,\"version\":\"1.1\"," + base + "}", ""},
        {"{\"state\":1,\"version\":\"1.0\"," + base + "}", ""},
        {"{\"state\":3," + base + "}", ""},
        {"{\"state\":0," + base + ",\"details\":\"<p>x</p>\",\"author\":\"me\",\"versionDate\":\"2026\"}", ""},
        {"{\"state\":4,\"version\":\"1.1\"," + base + "}", "Invalid entry state."},
        {"{\"state\":-1," + base + "}", "Invalid entry state."},
        {"{\"state\":2," + base + "}", "Object key not found."},
        {"{\"state\":\"2\",\"version\":\"1.1\"," + base + "}", "Wrong value type."},
        {"{\"state\":0,\"fileName\":\"a.dll\",\"name\":\"A\"}", "Object key not found."},
        {"{\"state\":0," + base + ",\"author\":7}", "Wrong value type."},
        {"[]", "Wrong value type."},
    };
    for (const auto& c : cases) {
        JSONValuePtr answer = parse("{\"version\":\"1.1\",\"updates\":[" + c.entry + "]}");
        EXPECT_EQ(c.error, error_of([&] { check_answer_updates(*answer); })) << c.entry;
    }
}

TEST(AnswerRules, HiddenUpdatesFollowTheOfferedVersion) {
    JSONValuePtr answer = parse(
        "{\"updates\":["
        "{\"state\":2,\"fileName\":\"a.dll\",\"name\":\"A\",\"curVersion\":\"0.9\",\"version\":\"1.0\"},"
        "{\"state\":2,\"fileName\":\"b.dll\",\"name\":\"B\",\"curVersion\":\"2.0\",\"version\":\"2.1\"},"
        "{\"state\":1,\"fileName\":\"c.dll\",\"name\":\"C\",\"curVersion\":\"3\",\"version\":\"3\"}]}");
    JSONValuePtr updates = answer->objectMember("updates");
    hidden_reconciliation r = reconcile_hidden_updates(*updates, {{"a.dll", "1.0"}, {"b.dll", "2.0"}, {"c.dll", "3"}});
    EXPECT_EQ(2u, r.updated);
    EXPECT_EQ(1u, r.hidden);
    EXPECT_EQ(2u, r.removed);
    EXPECT_EQ((std::map<std::string, std::string>{{"a.dll", "1.0"}}), r.still_hidden);
    EXPECT_TRUE(updates->arrayItem(0)->objectMember("_hidden", true));
    EXPECT_FALSE(updates->arrayItem(1)->objectMember("_hidden", true));
    EXPECT_FALSE(updates->arrayItem(2)->objectMember("_hidden", true));
}

TEST(AnswerRules, SummaryLine) {
    const struct {
        size_t updated, hidden, removed;
        const char* line;
    } cases[] = {
        {2, 1, 1, "[Autoupdate] 2 updated component(s) found, 1 hidden. 1 hidden update(s) no longer offered were removed."},
        {3, 0, 0, "[Autoupdate] 3 updated component(s) found."},
        {2, 2, 0, "[Autoupdate] 2 updated component(s) found, all hidden."},
        {0, 0, 0, "[Autoupdate] No updated components were found."},
        {0, 0, 3, "[Autoupdate] No updated components were found. 3 hidden update(s) no longer offered were removed."},
    };
    for (const auto& c : cases) EXPECT_EQ(c.line, check_summary_line(c.updated, c.hidden, c.removed));
}

TEST(CheckSchedule, AutomaticCheckDecision) {
    const uint64_t now = 134000000000000000ull;
    const struct {
        const char* what;
        int32_t interval;
        uint64_t last;
        bool due;
    } cases[] = {
        {"never", 0, 0, false},
        {"never, even long after", 0, now - 1000 * kFileTimeHour, false},
        {"no check yet", 24, 0, true},
        {"exactly a day", 24, now - 24 * kFileTimeHour, true},
        {"not quite a day", 24, now - 24 * kFileTimeHour + 1, false},
        {"a week, checked 8 days ago", 168, now - 192 * kFileTimeHour, true},
        {"last check in the future", 24, now + kFileTimeHour, true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.due, is_automatic_check_due(c.interval, c.last, now)) << c.what;
}

TEST(CheckSchedule, ModuleFolder) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\Program Files\\Vellora\\components\\vel_upkeep.dll", "C:\\Program Files\\Vellora\\components"},
        {"C:\\vel_upkeep.dll", "C:\\"},
        {"\\\\server\\share\\\\vel_upkeep.dll", "\\\\server\\share\\\\"},
        {"vel_upkeep.dll", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.folder, module_folder_of(c.path)) << c.path;
}

// The configuration stream with the real variable tables of both components:
// every kind's payload, the record layout, and how damaged streams are read.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frame/byte_order.h"
#include "frame/cfg_var.h"
#include "frame/memory_stream.h"
#include "porter/porter_settings.h"
#include "tests/support/stream_bytes.h"
#include "upkeep/checking/upkeep_config.h"

namespace {

using namespace stream_bytes;

void read_stream(const bytes& stream) {
    memory_stream_reader reader(stream);
    abort_callback_dummy abort;
    cfg_read_all(cfg_var::list_head(), reader, abort);
}

bytes write_stream() {
    memory_stream_writer writer;
    abort_callback_dummy abort;
    cfg_write_all(cfg_var::list_head(), writer, abort);
    return writer.data();
}

// The written stream as (GUID, payload) records, checking the framing on the way.
std::vector<std::pair<guid, bytes>> records_of(const bytes& stream) {
    std::vector<std::pair<guid, bytes>> out;
    size_t pos = 0;
    while (pos < stream.size()) {
        EXPECT_LE(pos + 20, stream.size());
        guid id = guid::from_bytes(&stream[pos]);
        uint32_t size = le_load_u32(&stream[pos + 16]);
        EXPECT_LE(pos + 20 + size, stream.size());
        out.emplace_back(id, bytes(stream.begin() + pos + 20, stream.begin() + pos + 20 + size));
        pos += 20 + size;
    }
    return out;
}

bytes payload_of(const bytes& stream, const guid& id) {
    for (auto& [g, payload] : records_of(stream))
        if (g == id) return payload;
    ADD_FAILURE() << "no record for " << id.to_text();
    return {};
}

void restore_defaults() {
    cfg_check_interval_hours = 24;
    cfg_last_check_time = 0;
    cfg_hidden_updates.get().clear();
    cfg_stats_consent = stats_consent_not_asked;
    cfg_install_notice_off = false;
    cfg_device_paths = "Z:\\Music\\%artist%\\%album%\\%title%.$ext(%_path%)";
    cfg_tag_sources = 0;
    cfg_last_destination = "";
    cfg_process_destinations = 0;
    cfg_process_command_path = "";
    cfg_process_command = guid{};
    cfg_process_subcommand = guid{};
    cfg_encoder_command_line = "\"c:\\program files\\Vellora\\lame.exe\" --vbr-new -V 5";
    cfg_prompt_conversion = 1;
    cfg_copy_cover_art = 0;
    cfg_cover_filename = "cover.jpg";
}

guid kInterval() { return cfg_check_interval_hours.get_guid(); }
guid kConsent() { return cfg_stats_consent.get_guid(); }
guid kHidden() { return cfg_hidden_updates.get_guid(); }
guid kLastCheck() { return cfg_last_check_time.get_guid(); }
guid kNotice() { return cfg_install_notice_off.get_guid(); }
guid kCover() { return cfg_cover_filename.get_guid(); }
guid kCommand() { return cfg_process_command.get_guid(); }

class ConfigStream : public ::testing::Test {
protected:
    void SetUp() override { restore_defaults(); }
    void TearDown() override { restore_defaults(); }
};

}  // namespace

TEST_F(ConfigStream, FreshInstallationHasTheTabledDefaults) {
    read_stream({});
    EXPECT_EQ(24, cfg_check_interval_hours);
    EXPECT_EQ(0u, cfg_last_check_time);
    EXPECT_TRUE(cfg_hidden_updates.get().empty());
    EXPECT_EQ(2, cfg_stats_consent);
    EXPECT_FALSE(cfg_install_notice_off);
    EXPECT_EQ("Z:\\Music\\%artist%\\%album%\\%title%.$ext(%_path%)", cfg_device_paths.get());
    EXPECT_EQ(0, cfg_tag_sources);
    EXPECT_EQ(0, cfg_process_destinations);
    EXPECT_EQ(1, cfg_prompt_conversion);
    EXPECT_EQ(0, cfg_copy_cover_art);
    EXPECT_EQ("cover.jpg", cfg_cover_filename.get());
    EXPECT_EQ("\"c:\\program files\\Vellora\\lame.exe\" --vbr-new -V 5", cfg_encoder_command_line.get());
    EXPECT_TRUE(cfg_process_command.get_value().is_null());
}

TEST_F(ConfigStream, EveryKindRoundTrips) {
    const guid command = guid::parse("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    std::string long_value(200000, 'v');  // read in doubling pieces
    cfg_check_interval_hours = -5;
    cfg_last_check_time = 0xFEDCBA9876543210ull;
    cfg_hidden_updates.get() = {{"a.dll", "1.0"}, {"b.dll", long_value}, {"\xC3\xA9t\xC3\xA9.dll", ""}};
    cfg_stats_consent = 1;
    cfg_install_notice_off = true;
    cfg_device_paths = "E:\\%title%\r\nF:\\%artist%";
    cfg_process_command = command;
    cfg_cover_filename = "";
    const bytes first = write_stream();

    restore_defaults();
    read_stream(first);
    EXPECT_EQ(-5, cfg_check_interval_hours);
    EXPECT_EQ(0xFEDCBA9876543210ull, cfg_last_check_time);
    EXPECT_EQ((cfg_string_map::map_type{{"a.dll", "1.0"}, {"b.dll", long_value}, {"\xC3\xA9t\xC3\xA9.dll", ""}}),
              cfg_hidden_updates.get());
    EXPECT_EQ(1, cfg_stats_consent);
    EXPECT_TRUE(cfg_install_notice_off);
    EXPECT_EQ("E:\\%title%\r\nF:\\%artist%", cfg_device_paths.get());
    EXPECT_EQ(command, cfg_process_command.get_value());
    EXPECT_EQ("", cfg_cover_filename.get());
    // Writing again without changes gives the same bytes.
    EXPECT_EQ(first, write_stream());
}

TEST_F(ConfigStream, PayloadEncodings) {
    cfg_check_interval_hours = 0x01020304;
    cfg_last_check_time = 0x1122334455667788ull;
    cfg_install_notice_off = true;
    cfg_process_command = guid::parse("{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}");
    cfg_hidden_updates.get() = {{"b", "2"}, {"a", "1"}, {"c", "33"}};
    cfg_cover_filename = "";
    const bytes stream = write_stream();

    EXPECT_EQ((bytes{4, 3, 2, 1}), payload_of(stream, kInterval()));
    EXPECT_EQ((bytes{0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}), payload_of(stream, kLastCheck()));
    EXPECT_EQ((bytes{1}), payload_of(stream, kNotice()));
    EXPECT_EQ(guid_bytes(cfg_process_command.get_value()), payload_of(stream, kCommand()));
    // Entries in ascending key order, each text as u32 length + bytes, no terminator.
    EXPECT_EQ(cat({u32(3), u32(1), text("a"), u32(1), text("1"), u32(1), text("b"), u32(1), text("2"), u32(1),
                   text("c"), u32(2), text("33")}),
              payload_of(stream, kHidden()));
    // The empty text is a record of size 0 with no payload.
    EXPECT_EQ(bytes{}, payload_of(stream, kCover()));
}

TEST_F(ConfigStream, RecordsRunFromTheLastConstructedVariableToTheFirst) {
    const std::vector<guid> construction_order = {
        cfg_device_paths.get_guid(),         cfg_tag_sources.get_guid(),
        cfg_last_destination.get_guid(),     cfg_process_destinations.get_guid(),
        cfg_process_command_path.get_guid(), cfg_process_command.get_guid(),
        cfg_process_subcommand.get_guid(),   cfg_encoder_command_line.get_guid(),
        cfg_prompt_conversion.get_guid(),    cfg_copy_cover_art.get_guid(),
        cfg_cover_filename.get_guid(),
    };
    std::vector<guid> written;
    for (auto& [id, payload] : records_of(write_stream()))
        for (const guid& g : construction_order)
            if (g == id) written.push_back(id);
    EXPECT_EQ(std::vector<guid>(construction_order.rbegin(), construction_order.rend()), written);
}

TEST_F(ConfigStream, DamagedRecordsKeepWhatCanBeKept) {
    const guid unknown = guid::parse("{DEADBEEF-0000-0000-0000-000000000000}");
    const struct {
        const char* what;
        bytes stream;
        int32_t interval;  // expected afterwards
        int32_t consent;
    } cases[] = {
        {"size 0 keeps the default, next record read", cat({record(kInterval(), {}), record(kConsent(), u32(1))}), 24, 1},
        {"short payload keeps the default", cat({record(kInterval(), {9, 0}), record(kConsent(), u32(0))}), 24, 0},
        {"surplus is skipped", cat({record(kInterval(), {8, 0, 0, 0, 0xFF, 0xFF}), record(kConsent(), u32(1))}), 8, 1},
        {"unknown GUID is skipped", cat({record(unknown, text("whatever")), record(kConsent(), u32(0))}), 24, 0},
        {"fewer than 16 bytes end the stream quietly", cat({record(kInterval(), u32(3)), bytes(15, 0xAB)}), 3, 2},
        {"a repeated record keeps the last value", cat({record(kInterval(), u32(3)), record(kInterval(), u32(4))}), 4, 2},
    };
    for (const auto& c : cases) {
        restore_defaults();
        EXPECT_NO_THROW(read_stream(c.stream)) << c.what;
        EXPECT_EQ(c.interval, cfg_check_interval_hours) << c.what;
        EXPECT_EQ(c.consent, cfg_stats_consent) << c.what;
    }
}

TEST_F(ConfigStream, StreamEndingInsideASizeFieldThrowsAfterKeepingEarlierRecords) {
    bytes stream = cat({record(kInterval(), u32(48)), guid_bytes(kConsent()), bytes{1, 0}});
    EXPECT_THROW(read_stream(stream), vellora_io::exception_io_data_truncation);
    EXPECT_EQ(48, cfg_check_interval_hours);
    EXPECT_EQ(2, cfg_stats_consent);
}

TEST_F(ConfigStream, StreamEndingInsideAPayloadThrows) {
    // The size promises 8 bytes, 3 arrive: the variable keeps its value and the
    // missing rest cannot be skipped.
    bytes stream = cat({record(kInterval(), u32(12)), guid_bytes(kLastCheck()), u32(8), bytes{1, 2, 3}});
    EXPECT_THROW(read_stream(stream), vellora_io::exception_io_data_truncation);
    EXPECT_EQ(12, cfg_check_interval_hours);
    EXPECT_EQ(0u, cfg_last_check_time);
}

TEST_F(ConfigStream, StringMapKeepsEntriesReadCompletely) {
    const struct {
        const char* what;
        bytes payload;
        cfg_string_map::map_type expected;
    } cases[] = {
        {"three entries",
         cat({u32(3), u32(1), text("a"), u32(1), text("1"), u32(1), text("b"), u32(0), u32(1), text("c"), u32(1),
              text("3")}),
         {{"a", "1"}, {"b", ""}, {"c", "3"}}},
        {"truncated value drops its entry",
         cat({u32(2), u32(1), text("a"), u32(1), text("1"), u32(1), text("b"), u32(5), text("xy")}),
         {{"a", "1"}}},
        {"truncated key", cat({u32(2), u32(1), text("a"), u32(1), text("1"), u32(9), text("bb")}), {{"a", "1"}}},
        {"count larger than the entries", cat({u32(100), u32(1), text("k"), u32(1), text("v")}), {{"k", "v"}}},
        {"false huge length", cat({u32(1), u32(0xFFFFFFF0u), text("abc")}), {}},
        {"repeated key keeps the value read last",
         cat({u32(2), u32(1), text("k"), u32(1), text("1"), u32(1), text("k"), u32(1), text("2")}),
         {{"k", "2"}}},
        {"missing count", {}, {}},
    };
    for (const auto& c : cases) {
        cfg_hidden_updates.get() = {{"stale", "entry"}};
        EXPECT_NO_THROW(read_stream(record(kHidden(), c.payload))) << c.what;
        EXPECT_EQ(c.expected, cfg_hidden_updates.get()) << c.what;
    }
}

TEST_F(ConfigStream, RecordsAfterADamagedMapAreStillRead) {
    bytes stream = cat({record(kHidden(), cat({u32(1), u32(4), text("ab")})), record(kConsent(), u32(0))});
    read_stream(stream);
    EXPECT_TRUE(cfg_hidden_updates.get().empty());
    EXPECT_EQ(0, cfg_stats_consent);
}

TEST_F(ConfigStream, BoolReadsAnyNonZeroByteAsTrue) {
    read_stream(record(kNotice(), {0x80}));
    EXPECT_TRUE(cfg_install_notice_off);
    read_stream(record(kNotice(), {0}));
    EXPECT_FALSE(cfg_install_notice_off);
}

TEST(LimitedStreamReader, NeverReadsBeyondItsLimit) {
    bytes data = text("0123456789");
    memory_stream_reader inner(data);
    limited_stream_reader view(inner, 4);
    abort_callback_dummy abort;
    char buffer[8] = {};
    EXPECT_EQ(4u, view.read(buffer, 8, abort));
    EXPECT_EQ(0u, view.read(buffer, 8, abort));
    EXPECT_EQ(4u, inner.position());

    memory_stream_reader inner2(data);
    limited_stream_reader view2(inner2, 4);
    EXPECT_THROW(view2.read_object(buffer, 5, abort), vellora_io::exception_io_data_truncation);
    EXPECT_THROW(view2.skip_object(5, abort), vellora_io::exception_io_data_truncation);
    EXPECT_EQ(0u, inner2.position());
    view2.skip_object(4, abort);
    EXPECT_EQ(0u, view2.remaining());
}

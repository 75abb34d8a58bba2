// Configuration kept by the host from one run to the next, and what damaged or
// unwritable streams do.
#include <gtest/gtest.h>

#include "probe/probe_api.h"
#include "test_support.h"
#include "tests/support/stream_bytes.h"

namespace {

using namespace stream_bytes;

bytes record(const char* id, const bytes& payload) { return stream_bytes::record(guid::parse(id), payload); }

// A complete, non-default stream of the update notifier, in the order it writes
// its variables (the last defined first).
bytes upkeep_stream() {
    return cat({
        record("{8A44DBFF-F173-4C31-8136-92EA4C9CDFAA}", {1}),
        record("{89CFC434-E4FB-4707-93EC-E868D2F1614A}", u32(0)),
        record("{1FB50F4F-1BD4-4F01-B065-D227F67FDA62}",
               cat({u32(2), u32(5), text("a.dll"), u32(3), text("1.0"), u32(5), text("b.dll"), u32(3), text("2.1")})),
        record("{B45F74A9-A965-41E6-8E81-00B2119C095D}", u64(133000000000000000ull)),
        record("{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}", u32(48)),
    });
}

struct host_run {
    scratch_folder& scratch;
    std::unique_ptr<host> h;
    explicit host_run(scratch_folder& s, std::vector<std::wstring> components = {L"vel_probe.dll"}) : scratch(s) {
        copy_components(scratch.sub(L"components"), components);
        h = std::make_unique<host>(test_host_options(scratch.sub(L"components"), scratch.sub(L"profile")));
        h->start();
    }
    service_ptr_t<probe_service> probe() { return only_instance<probe_service>(*h); }
    std::wstring cfg(const wchar_t* component) { return scratch.sub(L"profile\\configuration\\") + component + L".cfg"; }
};

}  // namespace

TEST(ConfigPersistence, ChangedValuesAreThereInTheNextRun) {
    scratch_folder scratch;
    {
        host_run run(scratch);
        ASSERT_TRUE(run.probe());
        EXPECT_EQ(7, run.probe()->get_counter());
        run.probe()->set_counter(41);
        run.probe()->set_text("h\xC3\xA9llo \xE2\x82\xAC");
    }
    host_run run(scratch);
    ASSERT_TRUE(run.probe());
    EXPECT_EQ(41, run.probe()->get_counter());
    char text[64];
    run.probe()->get_text(text, sizeof text);
    EXPECT_STREQ("h\xC3\xA9llo \xE2\x82\xAC", text);
}

TEST(ConfigPersistence, RealComponentKeepsItsStoredStreamByteForByte) {
    scratch_folder scratch;
    CreateDirectoryW(scratch.sub(L"profile").c_str(), nullptr);
    CreateDirectoryW(scratch.sub(L"profile\\configuration").c_str(), nullptr);
    write_file(scratch.sub(L"profile\\configuration\\vel_upkeep.dll.cfg"), upkeep_stream());
    {
        host_run run(scratch, {L"vel_upkeep.dll"});
        EXPECT_EQ(1u, run.h->loader().components().size());
    }
    EXPECT_EQ(upkeep_stream(), read_file(scratch.sub(L"profile\\configuration\\vel_upkeep.dll.cfg")));
}

TEST(ConfigPersistence, UnknownRecordsAreDroppedAndMissingOnesWritten) {
    scratch_folder scratch;
    CreateDirectoryW(scratch.sub(L"profile").c_str(), nullptr);
    CreateDirectoryW(scratch.sub(L"profile\\configuration").c_str(), nullptr);
    bytes stored = cat({record("{00000000-1111-2222-3333-444444444444}", text("foreign")),
                        record("{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}", u32(8))});
    write_file(scratch.sub(L"profile\\configuration\\vel_upkeep.dll.cfg"), stored);
    { host_run run(scratch, {L"vel_upkeep.dll"}); }
    bytes expected = cat({
        record("{8A44DBFF-F173-4C31-8136-92EA4C9CDFAA}", {0}),
        record("{89CFC434-E4FB-4707-93EC-E868D2F1614A}", u32(2)),
        record("{1FB50F4F-1BD4-4F01-B065-D227F67FDA62}", u32(0)),
        record("{B45F74A9-A965-41E6-8E81-00B2119C095D}", u64(0)),
        record("{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}", u32(8)),
    });
    EXPECT_EQ(expected, read_file(scratch.sub(L"profile\\configuration\\vel_upkeep.dll.cfg")));
}

TEST(ConfigPersistence, DamagedStreamKeepsWhatWasReadAndACopy) {
    scratch_folder scratch;
    {
        host_run run(scratch);
        run.probe()->set_counter(5);
        run.probe()->set_text("kept");
    }
    // The counter is the probe's first variable, so its record comes last: cut the
    // stream two bytes into that record's size field.
    std::wstring cfg = scratch.sub(L"profile\\configuration\\vel_probe.dll.cfg");
    bytes whole = read_file(cfg);
    ASSERT_GT(whole.size(), 24u);
    bytes damaged(whole.begin(), whole.end() - 6);
    write_file(cfg, damaged);
    {
        host_run run(scratch);
        ASSERT_TRUE(run.probe());
        auto lines = run.h->console().lines();
        EXPECT_TRUE(has_line_starting(lines, "Configuration of vel_probe.dll is damaged (Unsupported format or "
                                             "corrupted file): settings read before the damage are kept, the "
                                             "others are defaults; the damaged file is kept as "));
        EXPECT_EQ(damaged, read_file(cfg + L".damaged"));
        char text[16];
        run.probe()->get_text(text, sizeof text);
        EXPECT_STREQ("kept", text);
        EXPECT_EQ(7, run.probe()->get_counter());
        // The host runs on, and the component still answers.
        run.probe()->print("still running");
        EXPECT_TRUE(has_line(run.h->console().lines(), "still running"));
    }
    // The next save writes a complete stream again; the damaged copy stays.
    EXPECT_EQ(whole.size(), read_file(cfg).size());
    EXPECT_TRUE(file_exists(cfg + L".damaged"));
}

TEST(ConfigPersistence, GarbageStreamNeverStopsTheHost) {
    const bytes garbage_cases[] = {bytes(64, 0xFF), bytes(7, 0x00), text("not a configuration stream at all....")};
    for (const bytes& garbage : garbage_cases) {
        scratch_folder scratch;
        CreateDirectoryW(scratch.sub(L"profile").c_str(), nullptr);
        CreateDirectoryW(scratch.sub(L"profile\\configuration").c_str(), nullptr);
        write_file(scratch.sub(L"profile\\configuration\\vel_probe.dll.cfg"), garbage);
        host_run run(scratch);
        ASSERT_TRUE(run.probe());
        EXPECT_EQ(7, run.probe()->get_counter());
    }
}

TEST(ConfigPersistence, AFailedSaveLeavesTheStoredStreamAlone) {
    scratch_folder scratch;
    { host_run(scratch).probe()->set_counter(11); }
    std::wstring cfg = scratch.sub(L"profile\\configuration\\vel_probe.dll.cfg");
    bytes before = read_file(cfg);
    // A folder where the save's temporary file must go makes the save fail.
    CreateDirectoryW((cfg + L".new").c_str(), nullptr);
    {
        host_run run(scratch);
        run.probe()->set_counter(12);
        run.h->shutdown();
        EXPECT_TRUE(has_line_starting(run.h->console().lines(), "Could not save the configuration of vel_probe.dll: "));
    }
    EXPECT_EQ(before, read_file(cfg));
    RemoveDirectoryW((cfg + L".new").c_str());
    // A leftover temporary file of an interrupted save does not disturb the next run.
    write_file(cfg + L".new", bytes(5, 0xEE));
    host_run run(scratch);
    EXPECT_EQ(11, run.probe()->get_counter());
}

// The component frame seen from the host, through the probe component: service
// lookup, console printing and exceptions that cross the DLL boundary.
#include <gtest/gtest.h>

#include "frame/api/componentversion.h"
#include "frame/memory_stream.h"
#include "probe/probe_api.h"
#include "test_support.h"

namespace {

class FrameServices : public ::testing::Test {
protected:
    void SetUp() override {
        copy_components(scratch.sub(L"components"), {L"vel_probe.dll", L"vel_upkeep.dll", L"vel_porter.dll"});
        h = std::make_unique<host>(test_host_options(scratch.sub(L"components"), scratch.sub(L"profile")));
        h->start();
        probe = only_instance<probe_service>(*h);
        ASSERT_TRUE(probe);
    }
    void TearDown() override {
        probe.release();
        h.reset();
    }

    // The message of the exception the call throws, checked to be of class E.
    template <class E, class Call>
    std::string thrown(Call call) {
        try {
            call();
        } catch (const E& e) {
            return e.what();
        } catch (const std::exception& e) {
            return std::string("wrong class: ") + e.what();
        }
        return "nothing thrown";
    }

    scratch_folder scratch;
    std::unique_ptr<host> h;
    service_ptr_t<probe_service> probe;
};

}  // namespace

TEST_F(FrameServices, ExactlyOneLookup) {
    const guid absent = guid::parse("{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ("Service not found",
              thrown<exception_service_not_found>([&] { probe->lookup_exactly_one(absent); }));
    // Host core, shared library and three components each offer a version record.
    EXPECT_EQ("Service duplicated",
              thrown<exception_service_duplicated>([&] { probe->lookup_exactly_one(componentversion::class_guid); }));
    EXPECT_NO_THROW(probe->lookup_exactly_one(probe_service::class_guid));
}

TEST_F(FrameServices, VisitingAllInstancesStopsWhereTheHostHasNoMore) {
    EXPECT_EQ(5u, probe->count_instances(componentversion::class_guid));
    EXPECT_EQ(1u, probe->count_instances(component_file_check::class_guid));
    EXPECT_EQ(0u, probe->count_instances(guid::parse("{11111111-2222-3333-4444-555555555555}")));
}

TEST_F(FrameServices, ConsoleLinesBeforeServicesInitialisedAreDropped) {
    // The probe prints while its configuration is read, before the host reports
    // services initialised; that needs a stored stream, so run a second host.
    probe.release();
    h.reset();
    h = std::make_unique<host>(test_host_options(scratch.sub(L"components"), scratch.sub(L"profile")));
    h->start();
    probe = only_instance<probe_service>(*h);
    ASSERT_TRUE(probe);
    EXPECT_TRUE(probe->configuration_read_seen());
    EXPECT_FALSE(has_line(h->console().lines(), "probe: reading configuration"));
    // Once initialised, every line reaches the console.
    probe->print("probe: after start");
    EXPECT_TRUE(has_line(h->console().lines(), "probe: after start"));
}

TEST_F(FrameServices, ComponentExceptionIsCaughtByClassInTheHost) {
    EXPECT_EQ("disk on fire", thrown<vellora_io::exception_io_data>([&] { probe->throw_io_data("disk on fire"); }));
    EXPECT_EQ("disk on fire", thrown<vellora_io::exception_io>([&] { probe->throw_io_data("disk on fire"); }));
}

TEST_F(FrameServices, HostExceptionIsCaughtByClassInTheComponent) {
    // A stream of the host's own making throws the truncation exception from the host;
    // the component catches it by class.
    const uint8_t data[3] = {1, 2, 3};
    memory_stream_reader stream(data, sizeof data);
    EXPECT_TRUE(probe->read_past_end(stream, sizeof data));
}

// The reference host loading real component DLLs: records, client versions, and what
// it does with libraries that cannot run.
#include <gtest/gtest.h>

#include "frame/api/componentversion.h"
#include "test_support.h"

TEST(HostLoading, LoadsBothComponentsAndListsTheirRecords) {
    scratch_folder scratch;
    copy_components(scratch.sub(L"components"), {L"vel_upkeep.dll", L"vel_porter.dll"});
    host h(test_host_options(scratch.sub(L"components"), scratch.sub(L"profile")));
    h.start();

    ASSERT_EQ(2u, h.loader().components().size());
    EXPECT_EQ((std::vector<std::string>{
                  "Component: Vellora 1.0.0 (vlhost.exe)",
                  "Component: Shared helper library 1.0.0 (shared.dll)",
                  "Component: Send to Device 1.1.2 [Nov 28 2007 - 10:13:31] (vel_porter.dll)",
                  "Component: Tendwell 1 (vel_upkeep.dll)",
              }),
              h.component_list());

    // Client interface versions and about texts, as the components report them.
    for (const auto& c : h.loader().components())
        EXPECT_EQ(c->file_name == "vel_upkeep.dll" ? 76u : 72u, c->client->get_version()) << c->file_name;
    string_sink_std name, about;
    for (auto& record : h.registry().all_of<componentversion>()) {
        record->get_component_name(name);
        record->get_about_message(about);
        if (name.str() == "Tendwell") {
            EXPECT_EQ(0u, about.str().find("Automatically notifies the user about available updates of installed "
                                           "components and Vellora itself.\nSee \"Preferences > Tools > "
                                           "Tendwell\".\nProtocol version: 1.1\n"));
            // Followed by the build date and time, "Mmm dd yyyy hh:mm:ss".
            EXPECT_EQ(about.str().size(), about.str().find("1.1\n") + 4 + 20);
        }
        if (name.str() == "Send to Device") {
            EXPECT_EQ(0u, about.str().find("Easily copy files to a portable device. "));
        }
    }
}

TEST(HostLoading, ReportsAndSkipsLibrariesThatCannotRun) {
    scratch_folder scratch;
    copy_components(scratch.sub(L"components"), {L"not_a_component.dll", L"needs_absent.dll",
                                                 L"vel_throws_at_start.dll", L"vel_faults_at_start.dll",
                                                 L"vel_probe.dll"});
    host h(test_host_options(scratch.sub(L"components"), scratch.sub(L"profile")));
    h.start();
    auto lines = h.console().lines();

    EXPECT_TRUE(has_line(lines, "Skipped not_a_component.dll: not a component (no vellora_get_interface export)"));
    EXPECT_TRUE(has_line_starting(lines, "Failed to load needs_absent.dll: "));
    EXPECT_TRUE(has_line(lines, "Failed to start vel_throws_at_start.dll: probe refuses to start"));
    EXPECT_TRUE(has_line_starting(lines, "Failed to start vel_faults_at_start.dll: structured exception C0000005"));
    // Only the sound component runs, and its services are the only ones offered.
    ASSERT_EQ(1u, h.loader().components().size());
    EXPECT_EQ("vel_probe.dll", h.loader().components()[0]->file_name);
    EXPECT_TRUE(has_line(h.component_list(), "Component: Probe 0.1 (vel_probe.dll)"));
    EXPECT_EQ(3u, h.component_list().size());
}

TEST(HostLoading, RefusesARenamedUpdateNotifier) {
    // The notifier's file-name check expects exactly "vel_upkeep.dll".
    for (const wchar_t* renamed : {L"VEL_UPKEEP.DLL", L"vel_upkeep_old.dll"}) {
        scratch_folder scratch;
        copy_components(scratch.sub(L"components"), {std::wstring(L"vel_upkeep.dll=") + renamed});
        host h(test_host_options(scratch.sub(L"components"), scratch.sub(L"profile")));
        h.start();
        EXPECT_EQ(0u, h.loader().components().size());
        EXPECT_TRUE(has_line_starting(h.console().lines(), "Failed to start " + wide_to_utf8(renamed) +
                                                                ": the component expects another file name"));
    }
}

TEST(HostLoading, ProfilePathIsAFileUrlEndingWithASeparator) {
    scratch_folder scratch;
    host_options options = test_host_options(scratch.sub(L"components"), scratch.sub(L"profile"));
    options.portable = true;
    options.skip_startup = true;
    host h(options);
    h.start();
    EXPECT_EQ("file://" + wide_to_utf8(scratch.sub(L"profile")) + "\\", h.api().get_profile_path());
    EXPECT_TRUE(h.api().is_portable_mode_enabled());
    EXPECT_TRUE(h.api().is_skip_startup_enabled());
    EXPECT_TRUE(h.api().is_main_thread());
    EXPECT_TRUE(has_line(h.console().lines(), "No components found in " + wide_to_utf8(scratch.sub(L"components"))));
}

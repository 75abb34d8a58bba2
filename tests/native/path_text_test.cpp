#include <gtest/gtest.h>

#include "frame/path_text.h"

TEST(PathText, FileNamePartIsTheTextAfterTheLastSeparator) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Program Files\\Vellora\\components\\vel_upkeep.dll", "vel_upkeep.dll"},
        {"/home/user/vel_upkeep.dll", "vel_upkeep.dll"},
        {"archive.zip|inner/vel_upkeep.dll", "vel_upkeep.dll"},
        {"c:vel_upkeep.dll", "vel_upkeep.dll"},
        {"vel_upkeep.dll", "vel_upkeep.dll"},
        {"C:\\folder\\", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.name, path_file_name_part(c.path)) << c.path;
}

TEST(PathText, FileCheckComparesByteForByte) {
    // The file check compares this part with the expected name exactly: a name that
    // differs only in letter case is another name.
    EXPECT_EQ("vel_upkeep.dll", path_file_name_part("C:\\x\\vel_upkeep.dll"));
    EXPECT_NE("vel_upkeep.dll", path_file_name_part("C:\\x\\VEL_UPKEEP.DLL"));
    EXPECT_NE("vel_upkeep.dll", path_file_name_part("C:\\x\\vel_upkeep (1).dll"));
}

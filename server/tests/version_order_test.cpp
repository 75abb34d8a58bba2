#include <gtest/gtest.h>

#include "server/version_order.h"

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(VersionOrder, Table) {
    const struct {
        const char* a;
        const char* b;
        int order;  // sign of compare_versions(a, b)
    } cases[] = {
        {"1.0", "1.0", 0},
        {"1.1.3", "1.1.2", 1},
        {"1.10", "1.9", 1},                                 // numbers, not text
        {"2", "10", -1},
        {"01.002", "1.2", 0},                               // leading zeros do not count
        {"1", "1.0.0", 0},                                  // missing parts are 0
        {"1.0.1", "1", 1},
        {"1.1.2 [Nov 28 2007 - 10:13:31]", "1.1.2", 0},     // build notes after a blank do not count
        {"1.1.3", "1.1.2 [Nov 28 2007 - 10:13:31]", 1},
        {"1.0b2", "1.0", -1},                               // a suffix marks a pre-release
        {"1.0", "1.0-beta", 1},
        {"1.0.0b", "1", -1},
        {"1.0rc2", "1.0rc10", -1},                          // suffixes in natural order
        {"1.0RC2", "1.0rc2", 0},                            // ASCII letters without case
        {"1.0alpha", "1.0beta", -1},
        {"1.0b", "1.0b1", -1},
        {"", "0", 0},                                       // an empty version is 0
        {"", "0.1", -1},
        {"beta", "1", -1},
        {"123456789012345678901234567890", "123456789012345678901234567891", -1},  // longer than any integer
        {"1..2", "1.0.2", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.order, sign(compare_versions(c.a, c.b))) << '"' << c.a << "\" vs \"" << c.b << '"';
        EXPECT_EQ(-c.order, sign(compare_versions(c.b, c.a))) << '"' << c.b << "\" vs \"" << c.a << '"';
    }
}

}  // namespace

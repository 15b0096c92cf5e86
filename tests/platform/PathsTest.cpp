#include "platform/Paths.h"

#include <gtest/gtest.h>

TEST(ForceExtension, ReplacesAnyOtherExtensionAndAppendsAMissingOne) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"/maps/a.txt", "/maps/a.map"},
        {"/maps/a.MAP", "/maps/a.map"},
        {"/maps/a", "/maps/a.map"},
        {"/maps/a.map", "/maps/a.map"},
        {"a.b.txt", "a.b.map"},
        {"/v1.2/stage", "/v1.2/stage.map"},
        {"a.", "a.map"},
        {"/x/a.mapx", "/x/a.map"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::forceExtension(c.in, ".map"), c.out) << c.in;
    }
    EXPECT_EQ(platform::forceExtension("/k/attr.KND", ".knd"), "/k/attr.knd");
}

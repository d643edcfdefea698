#include "driver/UpdateOptions.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

struct Expected {
    bool setMaintain;
    bool maintainValue;
    bool setActive;
    bool activeValue;
    bool updateDirectories;
};

TEST(UpdateOptions, ParsesEachArgumentInOrder) {
    struct Case {
        std::vector<std::string> args;
        Expected expected;
    };
    const Case cases[] = {
        {{}, {false, true, false, true, false}},
        {{"MAINTAIN=Y"}, {true, true, false, true, false}},
        {{"maintain=n"}, {true, false, false, true, false}},
        {{"maintain=yes"}, {true, true, false, true, false}},
        {{"maintain=never"}, {true, false, false, true, false}},
        // a later x cancels the option but keeps the value
        {{"maintain=n", "maintain=x"}, {false, false, false, true, false}},
        {{"maintain=y", "maintain=x"}, {false, true, false, true, false}},
        {{"maintain="}, {false, true, false, true, false}},
        {{"maintainy", "updatedir=1", "--help", ""}, {false, true, false, true, false}},
        {{"active=n"}, {false, true, true, false, false}},
        {{"Active=N", "ACTIVE=y"}, {false, true, true, true, false}},
        {{"active=q"}, {false, true, false, true, false}},
        {{"UpdateDir"}, {false, true, false, true, true}},
        {{"updatedir", "maintain=n", "active=y"}, {true, false, true, true, true}},
        // maintain= is tested before active=: "maintain=active=y" is a maintain word
        {{"maintain=active=y"}, {false, true, false, true, false}},
    };
    for (const Case& c : cases) {
        UpdateOptions o = parseUpdateOptions(c.args);
        std::string label;
        for (const auto& a : c.args) {
            label += a + " ";
        }
        EXPECT_EQ(o.setMaintain, c.expected.setMaintain) << label;
        EXPECT_EQ(o.maintainValue, c.expected.maintainValue) << label;
        EXPECT_EQ(o.setActive, c.expected.setActive) << label;
        EXPECT_EQ(o.activeValue, c.expected.activeValue) << label;
        EXPECT_EQ(o.updateDirectories, c.expected.updateDirectories) << label;
    }
}

} // namespace
} // namespace quillora

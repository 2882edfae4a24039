// The text choices of the display-settings dialog over every combination that leads to a text.
#include "host/DisplayTexts.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* what;
    bool known;  // monitor and adapter (help) or adapter (rendering)
    DisplayAbilities abilities;  // hw present, hw usable, hw disabled, sw present, sw usable
    int expected;
};

}  // namespace

TEST(DisplayTextsTest, HelpTextFollowsHardwareSwitchAndSoftware)
{
    const TextCase cases[] = {
        {"hardware usable", true, {true, true, false, false, false}, 2200},
        {"hardware usable, software too", true, {true, true, false, true, true}, 2200},
        {"hardware unusable, software usable", true, {true, false, false, true, true}, 2201},
        {"hardware and software unusable", true, {true, false, false, true, false}, 2202},
        {"hardware unusable, no software", true, {true, false, false, false, false}, 2203},
        {"no hardware, software usable", true, {false, false, false, true, true}, 2204},
        {"no hardware, software unusable", true, {false, false, false, true, false}, 2205},
        {"no renderer at all", true, {false, false, false, false, false}, 2206},
        {"hardware disabled, software usable", true, {true, true, true, true, true}, 2207},
        {"hardware disabled, software unusable", true, {true, true, true, true, false}, 2208},
        {"hardware disabled, no software", true, {true, true, true, false, false}, 2209},
        {"no monitor or adapter", false, {true, true, false, true, true}, 2206},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(HelpTextId(c.known, c.abilities), c.expected) << c.what;
}

TEST(DisplayTextsTest, RenderingTextPrefersEnabledHardwareThenSoftware)
{
    const TextCase cases[] = {
        {"hardware usable", true, {true, true, false, false, false}, 2210},
        {"hardware disabled, software usable", true, {true, true, true, true, true}, 2211},
        {"hardware disabled, no software", true, {true, true, true, false, false}, 2212},
        {"hardware unusable, software usable", true, {true, false, false, true, true}, 2211},
        {"software present but unusable", true, {false, false, false, true, false}, 2212},
        {"no adapter", false, {true, true, false, true, true}, 2212},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(RenderingTextId(c.known, c.abilities), c.expected) << c.what;
}

#include "model/FileLinkKey.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

struct OrderCase {
    FileLinkKey lower;
    FileLinkKey higher;
};

TEST(FileLinkKeyTest, OrdersByPathCodeUnitsThenBySignedStamp)
{
    const OrderCase cases[] = {
        // equal paths: the stamp decides, as a signed number
        {{L"common_res.dll", -1}, {L"common_res.dll", 0}},
        {{L"a.png", INT64_MIN}, {L"a.png", INT64_MAX}},
        {{L"a.png", 0x00000000FFFFFFFFll}, {L"a.png", 0x0000000100000000ll}},
        // paths differing only in letter case: code units decide whatever the stamps
        {{L"A.png", 1000}, {L"a.png", -1000}},
        {{L"Sea.jpg", 5}, {L"sea.jpg", 0}},
        // a proper prefix comes first
        {{L"sea", 9}, {L"sea.jpg", 0}},
        {{L"", 9}, {L"a", 0}},
        // units above 0x7FFF are not negative
        {{L"z", 0}, {L"\u00E9", 0}},
        {{L"\u00E9", 0}, {L"\uFFFD", 0}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.lower.Stamp()) + " / " + std::to_string(c.higher.Stamp()));
        EXPECT_TRUE(c.lower < c.higher);
        EXPECT_FALSE(c.higher < c.lower);
        EXPECT_FALSE(c.lower == c.higher);
    }
}

TEST(FileLinkKeyTest, EqualKeysAreEquivalentInAMap)
{
    std::map<FileLinkKey, int> map;
    map[FileLinkKey(L"sea.jpg", 3)] = 1;
    map[FileLinkKey(L"sea.jpg", 3)] = 2;
    map[FileLinkKey(L"sea.jpg", 4)] = 3;
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map[FileLinkKey(L"sea.jpg", 3)], 2);
    EXPECT_TRUE(FileLinkKey(L"sea.jpg", 3) == FileLinkKey(L"sea.jpg", 3));
    EXPECT_TRUE(FileLinkKey(L"sea.jpg", 3) != FileLinkKey(L"Sea.jpg", 3));
}

}  // namespace

#include "core/MaterialSlots.h"
#include "core/PrimitiveLayout.h"
#include "support/FlattenedScene.h"
#include "support/Studio3dsFixtures.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::vector<int> samplers(const MaterialSlots& s) {
    return std::vector<int>(s.samplers, s.samplers + primitive::kMaterialSamplers);
}

TEST(MaterialSlots, OnlyTheSecondOfTwoTextured) {
    MaterialSlots s = materialSlots({"", "wood.bmp"});
    EXPECT_EQ(s.slot, (std::vector<int>{-1, 0}));
    EXPECT_EQ(samplers(s), (std::vector<int>{1, 2, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(s.unit(0), 0);
    EXPECT_EQ(s.unit(1), 1);
}

TEST(MaterialSlots, NoTexturesSetEverySamplerToUnitOne) {
    MaterialSlots s = materialSlots({"", ""});
    EXPECT_EQ(s.slot, (std::vector<int>{-1, -1}));
    EXPECT_EQ(samplers(s), std::vector<int>(9, 1));
    EXPECT_EQ(materialSlots(std::vector<const char*>{}).samplers[8], 1);
}

TEST(MaterialSlots, UntexturedMaterialsDoNotAdvanceTheNumbering) {
    MaterialSlots s = materialSlots({"a.bmp", "", "b.bmp"});
    EXPECT_EQ(s.slot, (std::vector<int>{0, -1, 1}));
    EXPECT_EQ(samplers(s), (std::vector<int>{1, 2, 3, 3, 3, 3, 3, 3, 3}));
}

TEST(MaterialSlots, TexturesBeyondTheNinthGetNoSlotOrUnit) {
    std::vector<std::string> names;
    for (int i = 0; i < 11; ++i)
        names.push_back("t" + std::to_string(i) + ".bmp");
    std::vector<const char*> pointers;
    for (const std::string& n : names)
        pointers.push_back(n.c_str());
    MaterialSlots s = materialSlots(pointers);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(s.slot[i], i);
    EXPECT_EQ(s.slot[9], -1);
    EXPECT_EQ(s.slot[10], -1);
    EXPECT_EQ(s.unit(10), 0);
    EXPECT_EQ(samplers(s), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(s.textured, 9);
    EXPECT_EQ(s.beyondSamplers, 2);
}

TEST(MaterialSlots, MaterialRecordsCarryTheSlotAndReflection) {
    Studio3dsFixture f;
    f.material("m0");
    f.material("m1", "wood.bmp", 0.25f);
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "slots"));
    EXPECT_STREQ(s.file->textureMapName(1), "wood.bmp");
    EXPECT_FLOAT_EQ(s.texel(primitive::kMaterialBase + 2)[3], -1.0f);
    EXPECT_FLOAT_EQ(s.texel(primitive::kMaterialBase + 5)[0], 0.25f);
    EXPECT_FLOAT_EQ(s.texel(primitive::kMaterialBase + 5)[3], 0.0f);
    EXPECT_EQ(s.report.materials, 2);
}

} // namespace

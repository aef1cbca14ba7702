#include "core/panel/ElementModel.h"

#include <gtest/gtest.h>
#include <set>

using namespace quelnet;

TEST(ElementModel, NewRecordsAreAllZero) {
    ElementRecords r;
    EXPECT_EQ(r.Append(KindText), 0);
    const TES_Text& t = r.ES_Texts[0];
    EXPECT_FALSE(t.sEnabled);
    EXPECT_TRUE(t.sText.isEmpty());
    EXPECT_EQ(t.sFontSize, 0);
    EXPECT_EQ(t.sFontColor, 0u);
    EXPECT_FALSE(t.sFontBold || t.sFontItalic || t.sFontUnder || t.sFontStrike);
    EXPECT_EQ(r.Append(KindNone), -1);
}

TEST(ElementModel, LowestFreeSlotAndReusedRecord) {
    // Three buttons in slots 0-2; the one in slot 0 is deleted. The next button
    // takes slot 0 and keeps the deleted button's settings.
    ElementRecords r;
    std::set<int> occupied;
    for (int i = 0; i < 3; ++i) {
        const int slot = LowestFreeSlot(r.Count(KindButton), [&](int s) { return !occupied.count(s); });
        ASSERT_EQ(slot, r.Count(KindButton));
        r.Append(KindButton);
        occupied.insert(slot);
        r.ES_Buttons[slot].sHost = QString("host%1").arg(slot);
        r.ES_Buttons[slot].sCaption = QString("B%1").arg(slot);
    }
    occupied.erase(0);
    r.SetEnabled(KindButton, 0, false);
    const int reused = LowestFreeSlot(r.Count(KindButton), [&](int s) { return !occupied.count(s); });
    EXPECT_EQ(reused, 0);
    EXPECT_EQ(ControlName(PrefixButtonPanel, reused), "PP_0");
    EXPECT_EQ(r.ES_Buttons[0].sHost, "host0");
    EXPECT_EQ(r.ES_Buttons[0].sCaption, "B0");
    EXPECT_EQ(r.Count(KindButton), 3);
}

TEST(ElementModel, ControlNames) {
    int slot = -1;
    EXPECT_TRUE(SlotFromName("ID_12", PrefixSignDImage, &slot));
    EXPECT_EQ(slot, 12);
    EXPECT_FALSE(SlotFromName("IA_12", PrefixSignDImage, &slot));
    EXPECT_FALSE(SlotFromName("ID_", PrefixSignDImage, &slot));
    EXPECT_FALSE(SlotFromName("ID_1x", PrefixSignDImage, &slot));
    EXPECT_EQ(ControlName(PrefixSliderTrack, 3), "TZ_3");
}

#include "core/panel/ElementBlock.h"
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

// An element copied on its own: its panel-file block read back gives the
// same kind, rectangle and record; only a text holding exactly one complete
// element block is an element.
TEST(ElementBlock, EveryKindReadsBackAsWrittenAndOtherTextIsNoElement) {
    TES_Button b;
    b.sHost = "127.0.0.1";
    b.sPort = 7080;
    b.sO_Mode = 2;
    b.sI_ImgH = "/obrazki/zał.png";
    b.sI_Refr = 500;
    b.sCaption = "Pompa";
    TES_ASign a;
    a.sI_ACir = "AN1";
    a.sI_Lev[0] = 0.1f;
    a.sI_Lev[7] = -1e-7f;
    a.sI_Img[7] = "/obrazki/8.png";
    TES_Text t;
    t.sText = "Ciśnienie";
    t.sFontColor = 0xFF000008;
    t.sFontStrike = true;
    TES_Track z;
    z.sSteps = -3;
    z.sStartVal = 2.5f;
    z.sStopVal = 1e20f;
    TES_DSign d;
    d.sI_DCir = "IN1";
    for (const ElementRecord& record : {ElementRecord(b), ElementRecord(d), ElementRecord(a), ElementRecord(t),
                                        ElementRecord(z)}) {
        const ElementCopy copy{QRect(13, 8, 96, 40), record};
        const QString text = FormatElementBlock(copy);
        SCOPED_TRACE(text.toStdString());
        EXPECT_TRUE(text.startsWith("{\r\nx_tp=") && text.endsWith("\r\n}\r\n"));
        const std::optional<ElementCopy> back = ParseElementBlock(text);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->Kind(), copy.Kind());
        EXPECT_EQ(back->Rect, copy.Rect);
        // Read back as the panel file is: an element shown is enabled.
        ElementRecords expected, got;
        expected.Append(copy.Kind());
        expected.SetRecord(0, record);
        expected.SetEnabled(copy.Kind(), 0, true);
        got.Append(copy.Kind());
        got.SetRecord(0, back->Record);
        EXPECT_TRUE(got == expected);
        EXPECT_EQ(RecordKeyLines(back->Record), RecordKeyLines(expected.Record(copy.Kind(), 0)));

        EXPECT_FALSE(ParseElementBlock(text + text)) << "two elements";
        EXPECT_FALSE(ParseElementBlock(text.left(text.size() - 3))) << "no end of block";
    }
    EXPECT_FALSE(ParseElementBlock("{\r\nx_tp=scr\r\nx_px=0\r\nx_py=0\r\nx_pw=9\r\nx_ph=9\r\n}\r\n"));
    EXPECT_FALSE(ParseElementBlock("{\r\nx_tp=btn\r\nx_px=1\r\nx_py=1\r\nx_pw=9\r\n}\r\n")) << "no height";
    EXPECT_FALSE(ParseElementBlock("Pompa"));
    EXPECT_FALSE(ParseElementBlock(QString()));
}

// Value scans: which records are visited, in what order, what is never listed.
#include "gui/panel/PanelWindow.h"
#include "core/panel/ValueScans.h"

#include <functional>
#include <gtest/gtest.h>

using namespace quelnet;

namespace {

TES_Button button(const QString& host, quint16 port = 0, const QString& pass = {}) {
    TES_Button b;
    b.sHost = host;
    b.sPort = port;
    b.sPass = pass;
    return b;
}

struct ScanCase {
    const char* name;
    std::function<void(ElementRecords&)> setup;
    QStringList (*scan)(const ElementRecords&);
    QStringList expected;
};

} // namespace

TEST(ValueScans, Table) {
    const ScanCase cases[] = {
        {"hosts: buttons, then digital, then analog indicators; first appearance kept",
         [](ElementRecords& r) {
             r.ES_Buttons = {button("10.0.0.5"), button("10.0.0.6")};
             r.ES_DSigns.resize(1);
             r.ES_DSigns[0].sHost = "10.0.0.5";
             r.ES_ASigns.resize(1);
             r.ES_ASigns[0].sHost = "10.0.0.7";
         },
         ScanHosts,
         {"10.0.0.5", "10.0.0.6", "10.0.0.7"}},
        {"hosts: digital indicators are visited before analog ones",
         [](ElementRecords& r) {
             r.ES_ASigns.resize(1);
             r.ES_ASigns[0].sHost = "a";
             r.ES_DSigns.resize(1);
             r.ES_DSigns[0].sHost = "d";
         },
         ScanHosts,
         {"d", "a"}},
        {"hosts: letter case significant, empty skipped, sliders and disabled slots",
         [](ElementRecords& r) {
             r.ES_Buttons = {button("Host"), button(""), button("host")};
             r.ES_Buttons[2].sEnabled = false; // deleted or disabled slots are read too
             r.ES_Tracks.resize(1);
             r.ES_Tracks[0].sHost = "slider-only";
         },
         ScanHosts,
         {"Host", "host"}},
        {"ports: decimal, 0 never listed",
         [](ElementRecords& r) {
             r.ES_Buttons = {button("h", 0), button("h", 7080), button("h", 65535)};
             r.ES_ASigns.resize(2);
             r.ES_ASigns[0].sPort = 7080;
             r.ES_ASigns[1].sPort = 80;
             r.ES_Tracks.resize(1);
             r.ES_Tracks[0].sPort = 81;
         },
         ScanPorts,
         {"7080", "65535", "80"}},
        {"passwords",
         [](ElementRecords& r) {
             r.ES_Buttons = {button("h", 1, "secret"), button("h", 1, "")};
             r.ES_DSigns.resize(1);
             r.ES_DSigns[0].sPass = "Secret";
         },
         ScanPasss,
         {"secret", "Secret"}},
        {"digital circuits: click then state per slot, buttons then digital indicators",
         [](ElementRecords& r) {
             r.ES_Buttons.resize(2);
             r.ES_Buttons[0].sO_DCir = "Q1";
             r.ES_Buttons[0].sI_DCir = "Q1"; // same name twice: one entry
             r.ES_Buttons[1].sO_DCir = "";
             r.ES_Buttons[1].sI_DCir = "I2";
             r.ES_DSigns.resize(1);
             r.ES_DSigns[0].sO_DCir = "Q3";
             r.ES_DSigns[0].sI_DCir = "I2";
             r.ES_ASigns.resize(1);
             r.ES_ASigns[0].sI_ACir = "A1";
         },
         ScanDCirs,
         {"Q1", "I2", "Q3"}},
        {"analog circuits: analog indicators only, never sliders",
         [](ElementRecords& r) {
             r.ES_ASigns.resize(3);
             r.ES_ASigns[0].sI_ACir = "AN1";
             r.ES_ASigns[2].sI_ACir = "AN2";
             r.ES_Tracks.resize(1);
             r.ES_Tracks[0].sO_ACir = "AO1";
         },
         ScanACirs,
         {"AN1", "AN2"}},
        {"refresh periods: unsigned decimal, 0 never listed",
         [](ElementRecords& r) {
             r.ES_Buttons.resize(2);
             r.ES_Buttons[0].sI_Refr = 0;
             r.ES_Buttons[1].sI_Refr = 500;
             r.ES_DSigns.resize(1);
             r.ES_DSigns[0].sI_Refr = 4294967295u;
             r.ES_ASigns.resize(1);
             r.ES_ASigns[0].sI_Refr = 500;
         },
         ScanFress,
         {"500", "4294967295"}},
        {"levels: four decimals with a comma; 2.5 and 2.50001 one entry; zero never listed",
         [](ElementRecords& r) {
             r.ES_ASigns.resize(2);
             r.ES_ASigns[0].sI_Lev[0] = 2.5f;
             r.ES_ASigns[0].sI_Lev[1] = 2.50001f;
             r.ES_ASigns[0].sI_Lev[2] = -0.125f;
             r.ES_ASigns[0].sI_Lev[3] = -0.00001f; // shows as 0,0000
             r.ES_ASigns[1].sI_Lev[7] = 1e15f;     // 999999986991104.0000 cut to 16 characters
         },
         ScanALevs,
         {"2,5000", "-0,1250", "999999986991104,"}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.name);
        ElementRecords r;
        c.setup(r);
        EXPECT_EQ(c.scan(r), c.expected);
    }
}

TEST(ValueScans, EmptyPanelGivesEmptyLists) {
    ElementRecords r;
    r.Append(KindText);
    r.Append(KindTrack);
    for (auto scan : {ScanHosts, ScanPorts, ScanPasss, ScanDCirs, ScanACirs, ScanFress, ScanALevs})
        EXPECT_TRUE(scan(r).isEmpty());
}

TEST(ValueScans, RealToTextIsTheSheetsFormat) {
    EXPECT_EQ(RealToText(2.5), "2,5000");
    EXPECT_EQ(RealToText(0), "0,0000");
    EXPECT_EQ(RealToText(-1.25), "-1,2500");
    EXPECT_EQ(RealToText(-0.0), "0,0000");
    EXPECT_EQ(RealToText(12345678901.5), "12345678901,5000"); // exactly 16
    EXPECT_EQ(RealToText(123456789012.5), "123456789012,500");
}

TEST(ValueScans, PanelWindowMethodsScanItsRecords) {
    TfmVQuelnet panel;
    panel.Records.ES_Buttons = {button("10.0.0.5", 7080, "pw")};
    panel.Records.ES_Buttons[0].sO_DCir = "Q1";
    panel.Records.ES_Buttons[0].sI_Refr = 250;
    panel.Records.ES_ASigns.resize(1);
    panel.Records.ES_ASigns[0].sI_ACir = "A1";
    panel.Records.ES_ASigns[0].sI_Lev[0] = 3.75f;
    EXPECT_EQ(panel.ScanHosts(), QStringList{"10.0.0.5"});
    EXPECT_EQ(panel.ScanPorts(), QStringList{"7080"});
    EXPECT_EQ(panel.ScanPasss(), QStringList{"pw"});
    EXPECT_EQ(panel.ScanDCirs(), QStringList{"Q1"});
    EXPECT_EQ(panel.ScanACirs(), QStringList{"A1"});
    EXPECT_EQ(panel.ScanFress(), QStringList{"250"});
    EXPECT_EQ(panel.ScanALevs(), QStringList{"3,7500"});
}

// Run mode without widgets: the poll tick, clicks and sliders against a fake
// controller and a fake millisecond clock.
#include "core/panel/RunPoller.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

using namespace quelnet;

namespace {

class FakeClock : public ITickSource {
public:
    std::uint64_t now = 100000;
    std::uint64_t TickMs() override { return now; }
};

// A controller per circuit name; every request is logged as one line and may
// take time on the fake clock.
class FakeIo : public ICircuitIo {
public:
    explicit FakeIo(FakeClock& clock) : m_clock(clock) {}

    QStringList calls;
    QSet<QString> failing;        // circuits whose requests fail
    QMap<QString, bool> digital;  // state by circuit
    QMap<QString, float> analog;  // value by circuit
    std::uint32_t requestMs = 0;  // time one request takes
    std::function<void()> during; // runs inside every request (a nested event loop)

    bool SetOutDigi(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    std::uint8_t mode) override {
        return Request(QString("SetOutDigi %1:%2 %3 %4 %5").arg(host).arg(port).arg(pass, circ).arg(mode),
                       circ);
    }
    bool SetOutAnal(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    float value) override {
        return Request(QString("SetOutAnal %1:%2 %3 %4 %5").arg(host).arg(port).arg(pass, circ).arg(value),
                       circ);
    }
    bool GetInpDigi(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    std::uint8_t mode, bool& state) override {
        state = false;
        if (!Request(QString("GetInpDigi %1:%2 %3 %4 %5").arg(host).arg(port).arg(pass, circ).arg(mode),
                     circ))
            return false;
        state = digital.value(circ);
        return true;
    }
    bool GetInpAnal(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    std::uint8_t mode, float& state) override {
        state = 0;
        if (!Request(QString("GetInpAnal %1:%2 %3 %4 %5").arg(host).arg(port).arg(pass, circ).arg(mode),
                     circ))
            return false;
        state = analog.value(circ);
        return true;
    }
    QString GetLastError() const override { return m_lastError; }

private:
    bool Request(const QString& line, const QString& circ) {
        calls << line;
        m_lastError = "parameter text";
        if (during)
            during();
        m_clock.now += requestMs;
        if (failing.contains(circ)) {
            m_lastError = "Nie można nawiązać połączenia ze QuelNet-em (" + circ + ")";
            return false;
        }
        return true;
    }
    FakeClock& m_clock;
    QString m_lastError;
};

class FakeView : public IRunView {
public:
    QStringList events;
    int errorStops = 0;
    void ShowDigital(int kind, int slot, bool state) override {
        events << QString("digital %1/%2 %3").arg(kind).arg(slot).arg(state ? 1 : 0);
    }
    void ShowAnalog(int slot, float value) override {
        events << QString("analog %1 %2").arg(slot).arg(value);
    }
    void ClearPicture(int kind, int slot) override { events << QString("clear %1/%2").arg(kind).arg(slot); }
    void ClearStatus() override { events << "status cleared"; }
    void ErrorStop(const QString& text) override {
        ++errorStops;
        events << "error " + text;
    }
};

TES_Button Button(const QString& host, const QString& in, const QString& out = {}, std::uint8_t mode = 2) {
    TES_Button b;
    b.sEnabled = true;
    b.sHost = host;
    b.sPort = 7080;
    b.sPass = "3958";
    b.sI_DCir = in;
    b.sO_DCir = out;
    b.sO_Mode = mode;
    return b;
}

TES_DSign DSign(const QString& in, const QString& out = {}, std::uint8_t conn = 0) {
    TES_DSign d;
    d.sEnabled = true;
    d.sHost = "127.0.0.1";
    d.sPort = 7080;
    d.sPass = "3958";
    d.sI_DCir = in;
    d.sI_Conn = conn;
    d.sO_DCir = out;
    d.sO_Mode = 1;
    return d;
}

TES_ASign ASign(const QString& in) {
    TES_ASign a;
    a.sEnabled = true;
    a.sHost = "127.0.0.1";
    a.sPort = 7080;
    a.sPass = "3958";
    a.sI_ACir = in;
    return a;
}

class RunPollerTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeIo io{clock};
    FakeView view;
    ElementRecords records;
    RunPoller poller{records, io, clock, view};

    // Ticks every 100 ms for `ms` and returns the clock values at which
    // `circ` was read.
    QList<std::uint64_t> ReadTimes(const QString& circ, std::uint64_t ms) {
        QList<std::uint64_t> times;
        const std::uint64_t end = clock.now + ms;
        while (clock.now < end) {
            const int before = io.calls.size();
            const std::uint64_t at = clock.now;
            poller.Tick();
            for (int i = before; i < io.calls.size(); ++i)
                if (io.calls[i].endsWith(" " + circ + " 0"))
                    times << at;
            clock.now = at + 100;
        }
        return times;
    }
};

} // namespace

TEST_F(RunPollerTest, TickReadsButtonsThenDigitalThenAnalogInSlotOrderSkippingDisabled) {
    records.ES_Buttons = {Button("127.0.0.1", "OUT1"), Button("127.0.0.1", "OUT2"),
                          Button("127.0.0.1", "OUT3")};
    records.ES_Buttons[1].sEnabled = false;
    records.ES_DSigns = {DSign("IN1"), DSign("", "OUT4"), DSign("IN2", "", 1)};
    records.ES_ASigns = {ASign("AN1"), ASign("AN2")};
    records.ES_ASigns[0].sI_Conn = 1;
    records.ES_ASigns[1].sEnabled = false;
    io.digital["OUT3"] = true;
    io.digital["IN2"] = true;
    io.analog["AN1"] = 42.5f;

    poller.Tick();

    EXPECT_EQ(io.calls,
              (QStringList{"GetInpDigi 127.0.0.1:7080 3958 OUT1 0", "GetInpDigi 127.0.0.1:7080 3958 OUT3 0",
                           "GetInpDigi 127.0.0.1:7080 3958 IN1 0", "GetInpDigi 127.0.0.1:7080 3958 IN2 1",
                           "GetInpAnal 127.0.0.1:7080 3958 AN1 1"}));
    // The element without a state circuit causes no traffic and loses its picture.
    EXPECT_EQ(view.events, (QStringList{"status cleared", "digital 0/0 0", "digital 0/2 1", "digital 1/0 0",
                                        "clear 1/1", "digital 1/2 1", "analog 0 42.5"}));
    EXPECT_EQ(records.ES_Buttons[0].wL_Fresh, clock.now + 1000);
    EXPECT_EQ(records.ES_Buttons[1].wL_Fresh, 0u);
    EXPECT_EQ(records.ES_DSigns[1].wL_Fresh, clock.now + 1000);
    EXPECT_EQ(records.ES_ASigns[1].wL_Fresh, 0u);
}

TEST(RunPollerDue, DeadlineComparisonInSixtyFourBits) {
    struct Case {
        std::uint64_t fresh, now;
        bool due;
    } cases[] = {
        {0, 0, true},                      // read at the next tick
        {0, 12345, true},                  //
        {5000, 4999, false},               //
        {5000, 5000, false},               // equal: not yet
        {5000, 5001, true},                //
        {0x100000050, 0xFFFFFFF0, false},  // deadline past 32 bits, tick before it
        {0x100000050, 0x100000050, false}, //
        {0x100000050, 0x100000051, true},  //
        {0x80000000, 1, false},            // more than 2^31 ms ahead is still ahead
        {0x1000, 0x80002000, true},        // and more than 2^31 ms behind still behind
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunPoller::Due(c.fresh, c.now), c.due) << std::hex << c.fresh << " at " << c.now;
    EXPECT_EQ(RunPoller::NextFresh(0xFFFFFF00u, 0), 0x1000002E8u);
    EXPECT_EQ(RunPoller::NextFresh(0xFFFFFF00u, 0xFFFFFFFFu), 0x1FFFFFEFFu);
    EXPECT_EQ(RunPoller::NextFresh(100, 250), 350u);
}

TEST_F(RunPollerTest, RefreshPeriodsRoundUpToTheNextTick) {
    records.ES_Buttons = {Button("127.0.0.1", "OUT1")};
    records.ES_Buttons[0].sI_Refr = 250;
    records.ES_DSigns = {DSign("IN1")}; // 0 means 1000
    records.ES_ASigns = {ASign("AN1")};
    records.ES_ASigns[0].sI_Refr = 500;

    const std::uint64_t start = clock.now;
    const QList<std::uint64_t> button = ReadTimes("OUT1", 3500);
    clock.now = start;
    for (auto& b : records.ES_Buttons)
        b.wL_Fresh = 0;
    for (auto& d : records.ES_DSigns)
        d.wL_Fresh = 0;
    for (auto& a : records.ES_ASigns)
        a.wL_Fresh = 0;
    const QList<std::uint64_t> sign = ReadTimes("IN1", 3500);
    clock.now = start;
    for (auto& a : records.ES_ASigns)
        a.wL_Fresh = 0;
    const QList<std::uint64_t> analog = ReadTimes("AN1", 3500);

    auto periods = [](const QList<std::uint64_t>& t) {
        QList<std::uint64_t> p;
        for (int i = 1; i < t.size(); ++i)
            p << t[i] - t[i - 1];
        return p;
    };
    ASSERT_FALSE(button.isEmpty());
    EXPECT_EQ(button.first(), start); // everything is read at the first tick
    EXPECT_EQ(periods(button), QList<std::uint64_t>(periods(button).size(), 300));
    EXPECT_GE(button.size(), 11);
    EXPECT_EQ(periods(sign), (QList<std::uint64_t>{1100, 1100, 1100}));
    EXPECT_EQ(periods(analog), QList<std::uint64_t>(periods(analog).size(), 600));
}

TEST_F(RunPollerTest, DeadlineCountsFromTheTickAfterTheRequest) {
    records.ES_Buttons = {Button("127.0.0.1", "OUT1"), Button("127.0.0.1", "OUT2")};
    io.requestMs = 40;
    const std::uint64_t start = clock.now;
    poller.Tick();
    EXPECT_EQ(records.ES_Buttons[0].wL_Fresh, start + 40 + 1000);
    EXPECT_EQ(records.ES_Buttons[1].wL_Fresh, start + 80 + 1000);
}

// The tick goes on past 32 bits (about 49.7 days of uptime) without a wrap.
TEST_F(RunPollerTest, PollingGoesOnPastThirtyTwoBitsOfMilliseconds) {
    records.ES_DSigns = {DSign("IN1")};
    clock.now = 0xFFFFF000u; // 4096 ms before 2^32
    const QList<std::uint64_t> times = ReadTimes("IN1", 6000);
    ASSERT_EQ(times.size(), 6);
    for (int i = 1; i < times.size(); ++i)
        EXPECT_EQ(times[i] - times[i - 1], 1100u);
}

// A refresh period beyond 2^31 ms (about 24.8 days) is a period like any
// other: the element is not read again before it has run out.
TEST_F(RunPollerTest, LongRefreshPeriodsAreNeverShortened) {
    const std::uint64_t periods[] = {0x80000001u, 3000000000u, 0xFFFFFFFFu};
    for (const std::uint64_t period : periods) {
        SCOPED_TRACE(testing::Message() << "period " << period);
        records.ES_Buttons = {Button("127.0.0.1", "OUT1")};
        records.ES_Buttons[0].sI_Refr = std::uint32_t(period);
        io.calls.clear();
        const std::uint64_t start = clock.now;
        poller.Tick(); // read at the first tick
        const std::uint64_t laters[] = {100, 1000, 0x7FFFFFFF, 0x80000000u, period - 1, period};
        for (const std::uint64_t later : laters) {
            clock.now = start + later;
            poller.Tick();
            EXPECT_EQ(io.calls.size(), 1) << "read again " << later << " ms later";
        }
        clock.now = start + period + 100;
        poller.Tick();
        EXPECT_EQ(io.calls.size(), 2);
        clock.now = start + 1000;
    }
}

TEST_F(RunPollerTest, ErrorStopEndsTheTickAndKeepsTheFailingElementAsItWas) {
    records.ES_Buttons = {Button("127.0.0.1", "OUT1"), Button("127.0.0.2", "DEAD"),
                          Button("127.0.0.1", "OUT3")};
    records.ES_DSigns = {DSign("IN1")};
    records.ES_ASigns = {ASign("AN1")};
    poller.Tick();
    ASSERT_EQ(view.errorStops, 0);

    // Everything due again; the second button's controller has gone.
    for (auto& b : records.ES_Buttons)
        b.wL_Fresh = 0;
    records.ES_DSigns[0].wL_Fresh = 0;
    records.ES_Buttons[1].wL_Fresh = 7; // an old deadline that is long past
    io.failing << "DEAD";
    io.calls.clear();
    view.events.clear();
    poller.Tick();

    EXPECT_EQ(io.calls, (QStringList{"GetInpDigi 127.0.0.1:7080 3958 OUT1 0",
                                     "GetInpDigi 127.0.0.2:7080 3958 DEAD 0"}));
    EXPECT_EQ(view.events, (QStringList{"status cleared", "digital 0/0 0",
                                        "error Nie można nawiązać połączenia ze QuelNet-em (DEAD)"}));
    EXPECT_EQ(records.ES_Buttons[1].wL_Fresh, 7u);
    EXPECT_EQ(records.ES_Buttons[2].wL_Fresh, 0u);
    EXPECT_EQ(records.ES_DSigns[0].wL_Fresh, 0u);
    EXPECT_TRUE(poller.Stopped());

    // Stopped for good: later ticks neither read nor clear the error text.
    io.calls.clear();
    view.events.clear();
    clock.now += 5000;
    poller.Tick();
    EXPECT_TRUE(io.calls.isEmpty());
    EXPECT_TRUE(view.events.isEmpty());
}

TEST_F(RunPollerTest, FailureOfAnAnalogIndicatorStopsAfterTheDigitalOnes) {
    records.ES_DSigns = {DSign("IN1")};
    records.ES_ASigns = {ASign("AN1"), ASign("AN2")};
    io.failing << "AN1";
    poller.Tick();
    EXPECT_EQ(io.calls,
              (QStringList{"GetInpDigi 127.0.0.1:7080 3958 IN1 0", "GetInpAnal 127.0.0.1:7080 3958 AN1 0"}));
    EXPECT_EQ(view.errorStops, 1);
    EXPECT_EQ(records.ES_ASigns[0].wL_Fresh, 0u);
}

TEST_F(RunPollerTest, ClickSwitchesTheOutputOfButtonsAndDigitalIndicators) {
    records.ES_Buttons = {Button("127.0.0.1", "OUT1", "OUT1", 2), Button("127.0.0.1", "OUT2", "", 1)};
    records.ES_DSigns = {DSign("IN1"), DSign("IN2", "OUT4")};
    records.ES_Buttons[0].wL_Fresh = 99999;
    records.ES_DSigns[1].wL_Fresh = 99999;
    records.ES_Tracks.resize(1);

    struct Case {
        const char* name;
        const char* call; // empty: no request
    } cases[] = {
        {"PP_0", "SetOutDigi 127.0.0.1:7080 3958 OUT1 2"},
        {"ID_1", "SetOutDigi 127.0.0.1:7080 3958 OUT4 1"},
        {"PP_1", ""}, // no output circuit
        {"ID_0", ""}, //
        {"PP_7", ""}, // no such slot
        {"IA_0", ""}, // analog indicators are not clickable
        {"TZ_0", ""}, //
        {"PP_", ""},  //
        {"PP_x", ""}, //
        {"fmVQuelnet", ""},
    };
    for (const Case& c : cases) {
        io.calls.clear();
        poller.OutputClick(c.name);
        EXPECT_EQ(io.calls, QString(c.call).isEmpty() ? QStringList{} : QStringList{c.call}) << c.name;
    }
    // A switched element is read again at the next tick.
    EXPECT_EQ(records.ES_Buttons[0].wL_Fresh, 0u);
    EXPECT_EQ(records.ES_DSigns[1].wL_Fresh, 0u);
    EXPECT_TRUE(view.events.isEmpty()); // the click itself shows nothing

    records.ES_Buttons[0].sEnabled = false;
    io.calls.clear();
    poller.OutputClick("PP_0");
    EXPECT_TRUE(io.calls.isEmpty());
}

TEST_F(RunPollerTest, FailedClickStopsPollingButLaterClicksStillWork) {
    records.ES_Buttons = {Button("127.0.0.2", "OUT1", "DEAD"), Button("127.0.0.1", "OUT2", "OUT2")};
    records.ES_Buttons[0].wL_Fresh = 5;
    records.ES_Buttons[1].wL_Fresh = 5;
    io.failing << "DEAD";
    poller.OutputClick("PP_0");
    EXPECT_EQ(view.events, (QStringList{"error Nie można nawiązać połączenia ze QuelNet-em (DEAD)"}));
    EXPECT_EQ(records.ES_Buttons[0].wL_Fresh, 5u);
    EXPECT_TRUE(poller.Stopped());

    io.calls.clear();
    poller.Tick();
    EXPECT_TRUE(io.calls.isEmpty());
    poller.OutputClick("PP_1");
    EXPECT_EQ(io.calls, QStringList{"SetOutDigi 127.0.0.1:7080 3958 OUT2 2"});
    EXPECT_EQ(view.errorStops, 1);
}

TEST_F(RunPollerTest, SliderSendsStartPlusPositionTimesStep) {
    TES_Track t;
    t.sEnabled = true;
    t.sHost = "127.0.0.1";
    t.sPort = 7080;
    t.sPass = "3958";
    t.sO_ACir = "AOUT1";
    t.sSteps = 10;
    t.sStepVal = 0.5f;
    t.sStopVal = 5;
    records.ES_Tracks = {t};

    for (int pos = 0; pos <= 10; ++pos)
        poller.SliderChange("TZ_0", pos);
    QStringList expected;
    for (const char* v : {"0", "0.5", "1", "1.5", "2", "2.5", "3", "3.5", "4", "4.5", "5"})
        expected << QString("SetOutAnal 127.0.0.1:7080 3958 AOUT1 ") + v;
    EXPECT_EQ(io.calls, expected);

    // The start value shifts the range; sStopVal takes no part.
    TES_Track shifted = t;
    shifted.sStartVal = -2.5f;
    shifted.sStopVal = 1000;
    EXPECT_EQ(RunPoller::SliderValue(shifted, 0), -2.5f);
    EXPECT_EQ(RunPoller::SliderValue(shifted, 7), 1.0f);
    // One rounding at the end: 6 x 0.1 + 0.1 gives the float nearest 0.7, where
    // single-precision steps would round twice and land one unit higher.
    TES_Track tenth = t;
    tenth.sStartVal = 0.1f;
    tenth.sStepVal = 0.1f;
    EXPECT_EQ(RunPoller::SliderValue(tenth, 6), 0.7f);
}

TEST_F(RunPollerTest, SliderIgnoresOtherNamesDisabledSlotsAndEmptyCircuits) {
    TES_Track t;
    t.sEnabled = true;
    t.sHost = "127.0.0.1";
    t.sPort = 7080;
    t.sO_ACir = "AOUT1";
    t.sStepVal = 1;
    records.ES_Tracks = {t, t, t};
    records.ES_Tracks[1].sEnabled = false;
    records.ES_Tracks[2].sO_ACir.clear();
    for (const char* name : {"TZ_1", "TZ_2", "TZ_3", "IZ_0", "SZ_0", "PP_0"})
        poller.SliderChange(name, 3);
    EXPECT_TRUE(io.calls.isEmpty());

    io.failing << "AOUT1";
    poller.SliderChange("TZ_0", 3);
    EXPECT_EQ(io.calls, QStringList{"SetOutAnal 127.0.0.1:7080  AOUT1 3"});
    EXPECT_EQ(view.errorStops, 1);
    EXPECT_TRUE(poller.Stopped());
}

TEST_F(RunPollerTest, NoRequestStartsWhileAnotherWaits) {
    // A request that lets the event loop run (timer ticks, clicks) must not
    // start a second exchange on the same link.
    records.ES_Buttons = {Button("127.0.0.1", "OUT1", "OUT1")};
    int nested = 0;
    io.during = [&] {
        if (nested++ > 0)
            return;
        poller.Tick();
        poller.OutputClick("PP_0");
        poller.SliderChange("TZ_0", 1);
    };
    poller.Tick();
    EXPECT_EQ(io.calls, QStringList{"GetInpDigi 127.0.0.1:7080 3958 OUT1 0"});
}

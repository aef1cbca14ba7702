// Run mode of the real panel window against the simulated controller on
// loopback: polling shows states and levels, clicks switch outputs, the
// slider sets the analog output, and the first failure stops polling with the
// device link's text in the status bar.
#include "core/base/CodePage.h"
#include "core/base/InterfaceTexts.h"
#include "core/link/DeviceLink.h"
#include "core/panel/PanelFile.h"
#include "gui/common/Platform.h"
#include "gui/panel/PanelWindow.h"
#include "sim/SimThread.h"
#include "tests/support/Named.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QStatusBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace quelnet;

namespace {

constexpr const char* Password = "3958";

// Lets the window work (timers, sockets) until `done` holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 15000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// Requests the controller received with the given command byte.
QList<QByteArray> WithCommand(const QList<QByteArray>& requests, std::initializer_list<int> commands) {
    QList<QByteArray> out;
    for (const QByteArray& r : requests)
        if (r.size() >= 16)
            for (int c : commands)
                if (quint8(r[12]) == c)
                    out << r;
    return out;
}

// A loopback port on which nothing listens.
quint16 DeadPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

struct Block {
    QString tag;
    QRect rect;
    QStringList keys;
};

class RunWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TfmCommon common;
    std::unique_ptr<TfmVQuelnet> window;
    // Solid pictures; the colour on screen tells which one is shown.
    const QList<QPair<QString, QColor>> pictures = {
        {"off", Qt::red},     {"on", Qt::green},     {"lev0", Qt::black}, {"lev1", Qt::blue},
        {"lev2", Qt::yellow}, {"lev3", Qt::magenta}, {"lev4", Qt::cyan},
    };

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetPanelFilePathOverride(dir.filePath("quelnet_scr.cnf"));
        for (const auto& [name, colour] : pictures) {
            QImage img(8, 8, QImage::Format_RGB32);
            img.fill(colour);
            ASSERT_TRUE(img.save(Pic(name), "PNG"));
        }
        Platform().MessageBox = [this](QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                                       QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        };
    }
    void TearDown() override {
        if (window)
            window->close();
        window.reset();
        SetPanelFilePathOverride({});
        RestoreDefaultPlatform();
    }

    QString Pic(const QString& name) const { return dir.filePath(name + ".png"); }

    // The colour name of the picture an element shows, "" for none.
    QString Shown(ElementPicture* picture) const {
        if (!picture || !picture->HasPicture())
            return {};
        const QColor c = picture->Picture().pixelColor(0, 0);
        for (const auto& [name, colour] : pictures)
            if (c == colour)
                return name;
        return "?";
    }

    static Block Button(quint16 port, const QString& in, const QString& out, int mode, int y) {
        return {"btn",
                QRect(10, y, 120, 40),
                {"p_ho=127.0.0.1", QString("p_pr=%1").arg(port), QString("p_ps=") + Password, "p_oc=" + out,
                 QString("p_om=%1").arg(mode), "p_ic=" + in, "p_im=0", "p_fr=100", "p_cp=" + out}};
    }
    Block Lamp(quint16 port, const QString& in, const QString& out, int mode) const {
        return {"idg",
                QRect(150, 10, 40, 40),
                {"idho=127.0.0.1", QString("idpr=%1").arg(port), QString("idps=") + Password, "idoc=" + out,
                 QString("idom=%1").arg(mode), "idic=" + in, "idim=0", "idil=" + Pic("off"),
                 "idih=" + Pic("on"), "idfr=100"}};
    }
    Block Dial(quint16 port, const QString& in) const {
        QStringList keys = {"iaho=127.0.0.1",
                            QString("iapr=%1").arg(port),
                            QString("iaps=") + Password,
                            "iaic=" + in,
                            "iaim=0",
                            "iaid=" + Pic("lev0"),
                            "iafr=100"};
        for (int i = 1; i <= 4; ++i)
            keys << QString("ial%1=%2").arg(i).arg(20 * i)
                 << QString("iai%1=%2").arg(i).arg(Pic(QString("lev%1").arg(i)));
        // Levels 5-8 out of reach: a level left at 0 would take every positive value.
        for (int i = 5; i <= 8; ++i)
            keys << QString("ial%1=1000").arg(i);
        return {"ian", QRect(200, 10, 64, 64), keys};
    }
    static Block Slider(quint16 port) {
        return {"zda",
                QRect(10, 200, 300, 30),
                {"z_ho=127.0.0.1", QString("z_pr=%1").arg(port), QString("z_ps=") + Password, "z_oc=AOUT1",
                 "z_or=0", "z_st=10", "zvst=0", "zvti=0,5", "zvsp=5"}};
    }

    // Writes the panel file, opens the window in run mode and shows it.
    void Open(const QList<Block>& blocks) {
        QStringList lines;
        for (const Block& b : blocks) {
            lines << "{"
                  << "x_tp=" + b.tag << QString("x_px=%1").arg(b.rect.x())
                  << QString("x_py=%1").arg(b.rect.y()) << QString("x_pw=%1").arg(b.rect.width())
                  << QString("x_ph=%1").arg(b.rect.height());
            lines << b.keys << "}";
        }
        QFile f(PanelFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ToAnsi(lines.join("\r\n") + "\r\n"));
        f.close();

        window = std::make_unique<TfmVQuelnet>();
        window->EditMode = false;
        window->SetCommon(&common);
        window->show();
    }

    PanelViews& Views() { return window->Views(); }

    QStringList messages;
};

TEST_F(RunWindowTest, PollsStatesAndLevelsAndSwitchesOutputsOnTheWire) {
    sim::SimThread sim;
    ASSERT_TRUE(sim.Start()) << sim.ErrorText().toStdString();
    const quint16 port = sim.TcpPort();
    Block button = Button(port, "OUT1", "OUT1", 2, 10);
    button.keys << "p_il=" + Pic("off") << "p_ih=" + Pic("on");
    Open({button, Lamp(port, "IN1", "OUT2", 1), Dial(port, "AN1"), Slider(port)});

    ElementPicture* face = Views().Quel_Button_Image.at(0);
    ElementPicture* lamp = Views().Quel_SignD_Image.at(0);
    ElementPicture* dial = Views().Quel_SignA_Image.at(0);
    ASSERT_TRUE(face && lamp && dial);
    EXPECT_TRUE(
        WaitUntil([&] { return Shown(face) == "off" && Shown(lamp) == "off" && Shown(dial) == "lev0"; }));

    sim.SetDigital("IN1", true);
    EXPECT_TRUE(WaitUntil([&] { return Shown(lamp) == "on"; }));

    // Levels 20, 40, 60, 80: a value equal to a level does not reach it.
    const struct {
        float value;
        const char* picture;
    } levels[] = {{20.5f, "lev1"}, {20, "lev0"},    {40, "lev1"},  {40.5f, "lev2"},
                  {80, "lev3"},    {80.5f, "lev4"}, {100, "lev4"}, {0, "lev0"}};
    for (const auto& l : levels) {
        sim.SetAnalog("AN1", l.value);
        EXPECT_TRUE(WaitUntil([&] { return Shown(dial) == l.picture; }))
            << l.value << " shows " << Shown(dial).toStdString();
    }

    // Button toggles OUT1; its picture follows at the next reads.
    QTest::mouseClick(Views().Quel_Button_Panel.at(0), Qt::LeftButton);
    EXPECT_TRUE(sim.Digital("OUT1")); // the click's request is synchronous
    EXPECT_TRUE(WaitUntil([&] { return Shown(face) == "on"; }));
    QTest::mouseClick(face, Qt::LeftButton); // the picture inside the button clicks as the button
    EXPECT_FALSE(sim.Digital("OUT1"));
    EXPECT_TRUE(WaitUntil([&] { return Shown(face) == "off"; }));

    // The digital indicator switches its own output circuit (OUT2, on).
    QTest::mouseClick(lamp, Qt::LeftButton);
    EXPECT_TRUE(sim.Digital("OUT2"));
    QTest::mouseClick(lamp, Qt::LeftButton);
    EXPECT_TRUE(sim.Digital("OUT2"));

    const QList<QByteArray> sets = WithCommand(sim.Requests(), {0x10});
    ASSERT_EQ(sets.size(), 4);
    EXPECT_EQ(sets[0].mid(12, 12).toHex(), "100200084f55543100000000"); // toggle OUT1
    EXPECT_EQ(sets[3].mid(12, 12).toHex(), "100100084f55543200000000"); // switch OUT2 on

    // Slider: 10 steps of 0.5 from 0, one request per position.
    sim.ClearRequests();
    ElementTrackBar* track = Views().Quel_Slider_Track.at(0);
    ASSERT_TRUE(track);
    for (int pos = 1; pos <= 10; ++pos)
        track->setValue(pos);
    EXPECT_FLOAT_EQ(sim.Analog("AOUT1"), 5.0f);
    track->setValue(0);
    EXPECT_FLOAT_EQ(sim.Analog("AOUT1"), 0.0f);
    QList<qint64> values;
    for (const QByteArray& r : WithCommand(sim.Requests(), {0x18})) {
        ASSERT_EQ(r.size(), 28);
        EXPECT_EQ(r.mid(16, 8), QByteArray("AOUT1\0\0\0", 8));
        values << qFromBigEndian<qint32>(r.constData() + 24);
    }
    EXPECT_EQ(values,
              (QList<qint64>{5000, 10000, 15000, 20000, 25000, 30000, 35000, 40000, 45000, 50000, 0}));

    EXPECT_FALSE(Named<QStatusBar>(*window, "StatusBar1")->isVisible());
    EXPECT_TRUE(Named<QTimer>(*window, "Timer2")->isActive());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(RunWindowTest, UnreachableControllerStopsPollingAndTheNextIsNeverRead) {
    sim::SimThread sim;
    ASSERT_TRUE(sim.Start()) << sim.ErrorText().toStdString();
    const quint16 dead = DeadPort();
    ASSERT_NE(dead, 0);
    Open({Button(dead, "OUT1", "OUT1", 2, 10), Button(sim.TcpPort(), "OUT2", "OUT2", 2, 60),
          Lamp(sim.TcpPort(), "IN1", "", 0)});

    const QString expected = Pl(lt::CannotConnect) + QString(" (127.0.0.1:%1 ).").arg(dead);
    ASSERT_TRUE(WaitUntil([&] { return Named<QStatusBar>(*window, "StatusBar1")->isVisible(); }));
    EXPECT_EQ(Named<QStatusBar>(*window, "StatusBar1")->currentMessage(), expected);
    EXPECT_FALSE(Named<QTimer>(*window, "Timer2")->isActive());

    // Several poll periods later: the controller behind the failed one was never read.
    Pump(600);
    EXPECT_TRUE(WithCommand(sim.Requests(), {0x12, 0x13}).isEmpty());
    EXPECT_FALSE(Views().Quel_Button_Image.at(1)->HasPicture());

    // Clicks still work, and the error text stays.
    QTest::mouseClick(Views().Quel_Button_Panel.at(1), Qt::LeftButton);
    EXPECT_TRUE(sim.Digital("OUT2"));
    Pump(300);
    EXPECT_TRUE(Named<QStatusBar>(*window, "StatusBar1")->isVisible());
    EXPECT_EQ(Named<QStatusBar>(*window, "StatusBar1")->currentMessage(), expected);
    EXPECT_TRUE(WithCommand(sim.Requests(), {0x12, 0x13}).isEmpty());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(RunWindowTest, UnansweredRequestStopsPollingWithTheNoAcknowledgementText) {
    sim::SimConfig config;
    config.faults.dropReplyTo = {2}; // the second read gets no reply
    sim::SimThread sim(config);
    ASSERT_TRUE(sim.Start()) << sim.ErrorText().toStdString();
    TfmCommon::Timeouts t;
    t.Link = 400;
    common.SetTimeouts(t);
    Open({Lamp(sim.TcpPort(), "IN1", "OUT2", 1)});

    ElementPicture* lamp = Views().Quel_SignD_Image.at(0);
    ASSERT_TRUE(WaitUntil([&] { return Named<QStatusBar>(*window, "StatusBar1")->isVisible(); }));
    EXPECT_EQ(Named<QStatusBar>(*window, "StatusBar1")->currentMessage(),
              Pl(lt::NoAcknowledge) + QString(" (127.0.0.1:%1 ).").arg(sim.TcpPort()));
    EXPECT_FALSE(Named<QTimer>(*window, "Timer2")->isActive());
    EXPECT_EQ(Shown(lamp), "off"); // the picture of the first read stays
    Pump(500);
    EXPECT_EQ(WithCommand(sim.Requests(), {0x12}).size(), 2); // no read after the stop
    EXPECT_TRUE(messages.isEmpty());                          // reported once, in the status bar only
}

// A 10 ms timer of the program's own, and the paints the window does, while
// the test waits in a click's exchange.
struct Heartbeat : QObject {
    QTimer timer;
    int ticks = 0;
    int paints = 0;
    std::function<void(int tick)> onTick;

    explicit Heartbeat(QWidget& window) {
        window.installEventFilter(this);
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this, &window] {
            ++ticks;
            window.update();
            if (onTick)
                onTick(ticks);
        });
        timer.start();
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(RunWindowTest, WindowKeepsPaintingWhileAClickWaitsForASlowController) {
    sim::SimConfig config;
    config.faults.replyDelayMs = 400;
    sim::SimThread sim(config);
    ASSERT_TRUE(sim.Start()) << sim.ErrorText().toStdString();
    // No state circuits: the clicks are the only traffic.
    Open({Button(sim.TcpPort(), "", "OUT1", 2, 10), Button(sim.TcpPort(), "", "OUT2", 2, 60)});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    Heartbeat beat(*window);
    // A click that reaches the window while the first one waits starts nothing.
    beat.onTick = [&](int tick) {
        if (tick == 5)
            QTest::mouseClick(Views().Quel_Button_Panel.at(1), Qt::LeftButton);
    };
    QTest::mouseClick(Views().Quel_Button_Panel.at(0), Qt::LeftButton);
    const int ticks = beat.ticks, paints = beat.paints;

    // The click returns with its result, as before; the window went on
    // meanwhile (about 40 ticks; a frozen window has none).
    EXPECT_TRUE(sim.Digital("OUT1"));
    EXPECT_GE(ticks, 5);
    EXPECT_GE(paints, 1);
    EXPECT_FALSE(sim.Digital("OUT2"));
    const QList<QByteArray> sets = WithCommand(sim.Requests(), {0x10});
    ASSERT_EQ(sets.size(), 1);
    EXPECT_EQ(sets[0].mid(12, 12).toHex(), "100200084f55543100000000");
    EXPECT_FALSE(Named<QStatusBar>(*window, "StatusBar1")->isVisible());
}

TEST_F(RunWindowTest, SilentControllerStopsPollingWhileTheWindowKeepsPainting) {
    sim::SimConfig config;
    config.faults.dropReplyTo = {1};
    sim::SimThread sim(config);
    ASSERT_TRUE(sim.Start()) << sim.ErrorText().toStdString();
    TfmCommon::Timeouts t;
    t.Link = 500;
    common.SetTimeouts(t);
    Open({Button(sim.TcpPort(), "", "OUT1", 1, 10)});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    Heartbeat beat(*window);
    QTest::mouseClick(Views().Quel_Button_Panel.at(0), Qt::LeftButton);
    EXPECT_GE(beat.ticks, 5);
    EXPECT_EQ(Named<QStatusBar>(*window, "StatusBar1")->currentMessage(),
              Pl(lt::NoAcknowledge) + QString(" (127.0.0.1:%1 ).").arg(sim.TcpPort()));
    EXPECT_FALSE(Named<QTimer>(*window, "Timer2")->isActive());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(RunWindowTest, ClosingWhileAPollWaitsClosesAfterThatReadAndReadsNoMore) {
    sim::SimConfig config;
    config.faults.replyDelayMs = 300;
    sim::SimThread sim(config);
    ASSERT_TRUE(sim.Start()) << sim.ErrorText().toStdString();
    Open({Button(sim.TcpPort(), "IN1", "", 2, 10), Button(sim.TcpPort(), "IN2", "", 2, 60)});

    // The first tick reads both buttons; the window is closed while the first
    // read waits.
    Heartbeat beat(*window);
    bool closeAsked = false, visibleAfterClose = false;
    beat.onTick = [&](int) {
        if (!closeAsked && sim.RequestCount() >= 1) {
            closeAsked = true;
            window->close();
            visibleAfterClose = window->isVisible();
        }
    };
    ASSERT_TRUE(WaitUntil([&] { return closeAsked && !window->isVisible(); }));
    EXPECT_TRUE(visibleAfterClose); // not at once: the read still held its element
    EXPECT_TRUE(WaitUntil([&] { return sim.OpenConnections() == 0; })); // the link was closed
    Pump(400);
    const QList<QByteArray> reads = WithCommand(sim.Requests(), {0x12});
    ASSERT_EQ(reads.size(), 1);
    EXPECT_EQ(reads[0].mid(16, 8), QByteArray("IN1\0\0\0\0\0", 8));
}

} // namespace

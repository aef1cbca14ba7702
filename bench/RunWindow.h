#pragma once
// A run-mode panel window for the benchmarks: its panel file in a folder of
// its own, its own device link, and the poll timer stopped so that the
// benchmark drives the ticks.
#include "PanelBenchFiles.h"
#include "core/link/DeviceLink.h"
#include "core/panel/PanelFile.h"
#include "gui/panel/PanelWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

namespace bench {

struct RunWindow {
    QTemporaryDir dir;
    quelnet::TfmCommon common;
    std::unique_ptr<quelnet::TfmVQuelnet> window;
    QTimer* timer = nullptr;

    // `blocks` makes the elements; it may write pictures into `dir`.
    // `blockingLink`: the link blocks the window's thread while it waits.
    explicit RunWindow(const std::function<QList<Block>(const QTemporaryDir& dir)>& blocks,
                       bool blockingLink = false) {
        const QString file = dir.filePath("quelnet_scr.cnf");
        quelnet::SetPanelFilePathOverride(file);
        WritePanel(file, blocks(dir));
        window = std::make_unique<quelnet::TfmVQuelnet>();
        window->SetCommon(&common);
        if (blockingLink)
            common.SetLinkWait(nullptr);
        window->show();
        timer = window->findChild<QTimer*>("Timer2");
        if (!timer)
            qFatal("no poll timer");
        timer->stop();
        QApplication::processEvents();
    }
    ~RunWindow() {
        window->close();
        window.reset();
        quelnet::SetPanelFilePathOverride({});
    }
    RunWindow(const RunWindow&) = delete;
    RunWindow& operator=(const RunWindow&) = delete;

    // Every digital indicator due, then one tick.
    void Tick() {
        for (quelnet::TES_DSign& d : window->Records.ES_DSigns)
            d.wL_Fresh = 0;
        QMetaObject::invokeMethod(timer, "timeout");
    }
    // The error stop has happened.
    bool Stopped() const { return !window->findChild<QWidget*>("StatusBar1")->isHidden(); }
};

} // namespace bench

// Loading, showing, saving and closing a panel of N elements against a plain
// window that creates and destroys the same number of child widgets of the
// same sorts (pictures with the same 64 x 64 pixmap, frames, labels, sliders).
// Element mix: 40 % digital indicators, 20 % analog indicators, 20 % buttons,
// 10 % texts, 10 % sliders; indicators and sliders are a hatched rectangle
// and a picture in the editor.
#include "PanelBenchFiles.h"
#include "core/panel/PanelFile.h"
#include "gui/panel/PanelWindow.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace quelnet;

int KindOf(int i) {
    static const int mix[10] = {1, 1, 1, 1, 2, 2, 0, 0, 3, 4};
    return mix[i % 10];
}

QTemporaryDir& Dir() {
    static QTemporaryDir dir;
    return dir;
}

void PreparePanel(int n) {
    static int prepared = -1;
    const QString path = Dir().filePath("quelnet_scr.cnf");
    SetPanelFilePathOverride(path);
    if (prepared == n)
        return;
    static const char* const tags[5] = {"btn", "idg", "ian", "tlb", "zda"};
    QList<bench::Block> blocks;
    for (int i = 0; i < n; ++i) {
        const int kind = KindOf(i);
        QStringList keys;
        if (kind == 3)
            keys << QString("t_tx=Tekst %1").arg(i);
        if (kind == 0)
            keys << QString("p_cp=B%1").arg(i);
        blocks.push_back({tags[kind], bench::GridRect(i, kind == 4 ? 120 : 48, kind == 0 ? 24 : 32), keys});
    }
    bench::WritePanel(path, blocks);
    prepared = n;
}

std::unique_ptr<TfmVQuelnet> OpenPanel(bool editMode) {
    auto w = std::make_unique<TfmVQuelnet>();
    w->EditMode = editMode;
    w->show();
    QApplication::processEvents();
    return w;
}

void ClosePanel(std::unique_ptr<TfmVQuelnet>& w) {
    w->close();
    w.reset();
    QApplication::processEvents();
}

void BM_PanelLoadShow(benchmark::State& state) {
    PreparePanel(int(state.range(0)));
    for (auto _ : state) {
        auto w = OpenPanel(true);
        state.PauseTiming();
        ClosePanel(w);
        state.ResumeTiming();
    }
}

void BM_PanelClose(benchmark::State& state) {
    PreparePanel(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto w = OpenPanel(false);
        state.ResumeTiming();
        ClosePanel(w);
    }
}

void BM_PanelSave(benchmark::State& state) {
    PreparePanel(int(state.range(0)));
    auto w = OpenPanel(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(w->SaveElements());
    ClosePanel(w);
}

// ---- baseline: the same number of plain widgets in one window ----

std::unique_ptr<QWidget> OpenPlain(int n) {
    static const QPixmap pixmap = [] {
        QPixmap p(64, 64);
        p.fill(Qt::darkGreen);
        return p;
    }();
    auto window = std::make_unique<QWidget>();
    window->resize(700, 382);
    window->show();
    for (int i = 0; i < n; ++i) {
        const int kind = KindOf(i);
        const QRect r = bench::GridRect(i, kind == 4 ? 120 : 48, kind == 0 ? 24 : 32);
        QWidget* child = nullptr;
        if (kind == 1 || kind == 2 || kind == 4) {
            auto* hatch = new QFrame(window.get());
            hatch->setGeometry(r);
            hatch->show();
            auto* picture = new QLabel(window.get());
            picture->setPixmap(pixmap);
            picture->setScaledContents(true);
            child = picture;
        } else if (kind == 0) {
            auto* frame = new QFrame(window.get());
            frame->setFrameShape(QFrame::Panel);
            child = frame;
        } else {
            child = new QLabel(QString("Tekst %1").arg(i), window.get());
        }
        child->setGeometry(r);
        child->show();
    }
    QApplication::processEvents();
    return window;
}

void BM_PlainLoadShow(benchmark::State& state) {
    for (auto _ : state) {
        auto w = OpenPlain(int(state.range(0)));
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_PlainClose(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto w = OpenPlain(int(state.range(0)));
        state.ResumeTiming();
        w->close();
        w.reset();
        QApplication::processEvents();
    }
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(250)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(3);
}

} // namespace

BENCHMARK(BM_PanelLoadShow)->Apply(Sizes);
BENCHMARK(BM_PlainLoadShow)->Apply(Sizes);
BENCHMARK(BM_PanelClose)->Apply(Sizes);
BENCHMARK(BM_PlainClose)->Apply(Sizes);
BENCHMARK(BM_PanelSave)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

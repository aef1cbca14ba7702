// Loading, showing, saving and closing a panel of N elements against a plain
// window that creates and destroys the same number of child widgets of the
// same sorts (pictures with the same 64 x 64 pixmap, frames, labels, sliders).
// Element mix: 40 % digital indicators, 20 % analog indicators, 20 % buttons,
// 10 % texts, 10 % sliders; indicators and sliders are a hatched rectangle
// and a picture in the editor.
//
// Two layouts: "crowded", every element inside a 640 x 340 area (painting
// weighs on both sides alike), and "Grid", one element per cell of a grid
// over a large window (the window is as large as the screen allows; the plain
// window takes the panel window's size). The load benchmarks report heap_mib,
// the heap the open window holds (glibc's count of bytes in use, after minus
// before), and peak_mib, the peak of resident memory while a window opens
// beyond what the process held before (free heap handed back to the system
// and the kernel's high-water mark reset first; one extra open after the
// timed ones, so the timing is not touched). BM_EditorClose closes the editor, which saves the panel file;
// BM_PlainCloseWrite closes the plain window and writes the same bytes the
// same way (a new file renamed over the old one).
#include "PanelBenchFiles.h"
#include "core/panel/PanelFile.h"
#include "gui/panel/PanelWindow.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QSaveFile>
#include <QSlider>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>
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

enum class Layout { Crowded, Grid };

QRect ElementRect(Layout layout, int i) {
    const int kind = KindOf(i);
    const int w = kind == 4 ? 120 : 48, h = kind == 0 ? 24 : 32;
    return layout == Layout::Grid ? bench::CellRect(i, w, h) : bench::GridRect(i, w, h);
}

QString PanelPath() {
    return Dir().filePath("quelnet_scr.cnf");
}

void PreparePanel(int n, Layout layout = Layout::Crowded) {
    static std::pair<int, Layout> prepared{-1, Layout::Crowded};
    SetPanelFilePathOverride(PanelPath());
    if (prepared == std::pair{n, layout})
        return;
    static const char* const tags[5] = {"btn", "idg", "ian", "tlb", "zda"};
    QList<bench::Block> blocks;
    if (layout == Layout::Grid)
        blocks.push_back({"scr", QRect(QPoint(0, 0), bench::CellWindowSize(n)), {}});
    for (int i = 0; i < n; ++i) {
        const int kind = KindOf(i);
        QStringList keys;
        if (kind == 3)
            keys << QString("t_tx=Tekst %1").arg(i);
        if (kind == 0)
            keys << QString("p_cp=B%1").arg(i);
        blocks.push_back({tags[kind], ElementRect(layout, i), keys});
    }
    bench::WritePanel(PanelPath(), blocks);
    prepared = {n, layout};
}

// Heap bytes in use (small blocks and mapped ones).
double HeapMiB() {
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
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

// The size the panel window takes for the grid panel of n elements.
QSize PanelWindowSize(int n) {
    static std::map<int, QSize> sizes;
    if (!sizes.count(n)) {
        PreparePanel(n, Layout::Grid);
        auto w = OpenPanel(false);
        sizes[n] = w->size();
        ClosePanel(w);
    }
    return sizes[n];
}

// A "Vm...:  1234 kB" line of /proc/self/status, in MiB; -1 when absent.
double StatusMiB(const char* field) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).simplified().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// The peak of resident memory while open() runs, beyond the memory resident
// before it; -1 when the kernel cannot reset the high-water mark.
template <typename Open, typename Close> double PeakMiB(const Open& open, const Close& close) {
    malloc_trim(0);
    QFile refs("/proc/self/clear_refs");
    if (!refs.open(QIODevice::WriteOnly) || refs.write("5") != 1)
        return -1;
    refs.close();
    const double before = StatusMiB("VmRSS:");
    auto w = open();
    const double peak = StatusMiB("VmHWM:") - before;
    close(w);
    return peak;
}

// Opens and closes a window per iteration, timing the open; heap_mib is the
// heap the open window holds, peak_mib the peak of memory while it opens.
template <typename Open, typename Close>
void TimeOpenWithHeap(benchmark::State& state, const Open& open, const Close& close) {
    double heap = 0;
    for (auto _ : state) {
        const double before = HeapMiB();
        auto w = open();
        state.PauseTiming();
        heap = qMax(heap, HeapMiB() - before);
        close(w);
        state.ResumeTiming();
    }
    state.counters["heap_mib"] = heap;
    state.counters["peak_mib"] = PeakMiB(open, close);
}

void PanelLoadShow(benchmark::State& state, Layout layout) {
    PreparePanel(int(state.range(0)), layout);
    TimeOpenWithHeap(state, [] { return OpenPanel(true); }, ClosePanel);
}

void BM_PanelLoadShow(benchmark::State& state) {
    PanelLoadShow(state, Layout::Crowded);
}
void BM_PanelLoadShowGrid(benchmark::State& state) {
    PanelLoadShow(state, Layout::Grid);
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

void BM_EditorClose(benchmark::State& state) {
    PreparePanel(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto w = OpenPanel(true);
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

// How the plain window shows its pictures: as a plain program does, each label
// scaling its own contents (and keeping its own scaled copy), or scaled once
// per size and shared, as the panel shares its scaled placeholders (a stricter
// reference, reported beside the goal's baseline).
enum class Pictures { Scaled, Shared };

std::unique_ptr<QWidget> OpenPlain(int n, Layout layout = Layout::Crowded, Pictures pictures = Pictures::Scaled) {
    static const QPixmap pixmap = [] {
        QPixmap p(64, 64);
        p.fill(Qt::darkGreen);
        return p;
    }();
    std::map<std::pair<int, int>, QPixmap> scaled;
    auto scaledTo = [&](QSize size) -> const QPixmap& {
        QPixmap& p = scaled[{size.width(), size.height()}];
        if (p.isNull())
            p = pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return p;
    };
    auto window = std::make_unique<QWidget>();
    window->resize(layout == Layout::Grid ? PanelWindowSize(n) : QSize(700, 382));
    window->show();
    for (int i = 0; i < n; ++i) {
        const int kind = KindOf(i);
        const QRect r = ElementRect(layout, i);
        QWidget* child = nullptr;
        if (kind == 1 || kind == 2 || kind == 4) {
            auto* hatch = new QFrame(window.get());
            hatch->setGeometry(r);
            hatch->show();
            auto* picture = new QLabel(window.get());
            if (pictures == Pictures::Shared) {
                picture->setPixmap(scaledTo(r.size()));
            } else {
                picture->setPixmap(pixmap);
                picture->setScaledContents(true);
            }
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

void PlainLoadShow(benchmark::State& state, Layout layout, Pictures pictures = Pictures::Scaled) {
    const int n = int(state.range(0));
    if (layout == Layout::Grid)
        PanelWindowSize(n); // measured before the timing
    TimeOpenWithHeap(
        state, [&] { return OpenPlain(n, layout, pictures); },
        [](std::unique_ptr<QWidget>& w) {
            w.reset();
            QApplication::processEvents();
        });
}

void BM_PlainLoadShow(benchmark::State& state) {
    PlainLoadShow(state, Layout::Crowded);
}
void BM_PlainLoadShowGrid(benchmark::State& state) {
    PlainLoadShow(state, Layout::Grid);
}
void BM_PlainSharedLoadShowGrid(benchmark::State& state) {
    PlainLoadShow(state, Layout::Grid, Pictures::Shared);
}

void BM_PlainCloseWrite(benchmark::State& state) {
    PreparePanel(int(state.range(0)));
    QFile in(PanelPath());
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    const QString target = Dir().filePath("plain.cnf");
    for (auto _ : state) {
        state.PauseTiming();
        auto w = OpenPlain(int(state.range(0)));
        state.ResumeTiming();
        w->close();
        w.reset();
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            state.SkipWithError("cannot write");
        QApplication::processEvents();
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
void GridSizes(benchmark::internal::Benchmark* b) {
    b->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(3);
}

} // namespace

BENCHMARK(BM_PanelLoadShow)->Apply(Sizes);
BENCHMARK(BM_PlainLoadShow)->Apply(Sizes);
BENCHMARK(BM_PanelLoadShowGrid)->Apply(GridSizes);
BENCHMARK(BM_PlainLoadShowGrid)->Apply(GridSizes);
BENCHMARK(BM_PlainSharedLoadShowGrid)->Apply(GridSizes);
BENCHMARK(BM_PanelClose)->Apply(Sizes);
BENCHMARK(BM_PlainClose)->Apply(Sizes);
BENCHMARK(BM_EditorClose)->Apply(Sizes);
BENCHMARK(BM_PlainCloseWrite)->Apply(Sizes);
BENCHMARK(BM_PanelSave)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

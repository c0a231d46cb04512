// The desktop program with a file of a million references: opening it to the first painted list
// page, going to the last reference, scrolling a page, the memory it takes, and the main window's
// start. The file and its map are made once; the open runs against the stored map, as a user's
// second open of the file does.

#include "shell/widgets/MainForm.h"
#include "shell/widgets/RefWinForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kReferences = 1'000'000;

// Short journal references, each distinct, numbered from 1.
const std::string& MillionFile() {
    static const std::string path = [] {
        const std::string file =
            (std::filesystem::temp_directory_path() / "citavox-bench-1m-refs.ref").string();
        if (!std::filesystem::exists(file)) {
            std::ofstream out(file, std::ios::binary);
            for (int i = 1; i <= kReferences; ++i) {
                const std::string n = std::to_string(i);
                out << " RN" << n << "\r\n Author" << static_cast<char>('a' + i % 26)
                    << ", A.; Writer" << static_cast<char>('a' + i % 23)
                    << ", B.\r\n The title of paper " << n << " on the matter.\r\n "
                    << 1950 + i % 70 << " (" << i % 40 << ") pp " << i % 900 << "-" << i % 900 + 9
                    << "\r\n Journal of Benchmarks\r\n\r\n";
            }
        }
        return file;
    }();
    return path;
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

QApplication& App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "desktop_bench";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the toolkit's own globals may be gone by the time statics end.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// A settings store of the benchmark's own, so no user's settings shape the figures.
void PrivateSettings() {
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
}

QListView* ListOf(cvx::RefWinForm& window) {
    return window.findChild<QListView*>(QStringLiteral("SingleLineDisplay"));
}

// Shows a window and waits until the platform has exposed it: before that nothing paints.
void ShowExposed(QWidget& window) {
    window.show();
    QElapsedTimer waited;
    waited.start();
    while ((window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) &&
           waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QApplication::processEvents();
}

// Paints the widget and its children now into the window's backing store, once, as the screen
// would show it (grabbing it as well would paint it a second time into a pixmap).
void Paint(QWidget& widget) {
    widget.repaint();
}

void BM_StartToShownMainWindow(benchmark::State& state) {
    App();
    PrivateSettings();
    for (auto _ : state) {
        cvx::MainForm form;
        ShowExposed(form);
        Paint(form);
    }
}
BENCHMARK(BM_StartToShownMainWindow)->Unit(benchmark::kMillisecond);

void BM_OpenToFirstListPage(benchmark::State& state) {
    App();
    PrivateSettings();
    const std::string file = MillionFile();
    {
        cvx::MainForm warmUp; // makes the map, which every later open reads
        warmUp.OpenFileCommand(file);
    }
    long rss = 0;
    for (auto _ : state) {
        cvx::MainForm form;
        form.resize(1200, 800);
        ShowExposed(form);
        form.OpenFileCommand(file);
        cvx::RefWinForm* window = form.ActiveRefWin();
        if (window == nullptr) {
            state.SkipWithError("the file did not open");
            return;
        }
        Paint(*window);
        state.PauseTiming();
        rss = ResidentKiB();
        state.ResumeTiming();
    }
    state.counters["RSS_MiB"] = static_cast<double>(rss) / 1024.0;
}
BENCHMARK(BM_OpenToFirstListPage)->Unit(benchmark::kMillisecond)->Iterations(5);

// An open window over the file, shared by the stepping benchmarks.
struct OpenWindow {
    cvx::MainForm form;
    cvx::RefWinForm* window = nullptr;
    OpenWindow() {
        form.resize(1200, 800);
        ShowExposed(form);
        form.OpenFileCommand(MillionFile());
        window = form.ActiveRefWin();
        if (window != nullptr) {
            window->ChangeView(cvx::RefWinForm::Combined);
        }
    }
};

OpenWindow& Shared() {
    App();
    PrivateSettings();
    static OpenWindow open;
    return open;
}

void BM_GoToLastReferenceAndPaint(benchmark::State& state) {
    OpenWindow& open = Shared();
    for (auto _ : state) {
        open.window->FirstReference();
        state.PauseTiming();
        Paint(*open.window);
        state.ResumeTiming();
        open.window->LastReference();
        Paint(*open.window);
    }
}
BENCHMARK(BM_GoToLastReferenceAndPaint)->Unit(benchmark::kMillisecond);

// Counts the paint events a widget receives, to show that a timed step really painted.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

void BM_ScrollPageAndPaint(benchmark::State& state) {
    OpenWindow& open = Shared();
    open.window->GoToPosition(kReferences / 2);
    QListView* list = ListOf(*open.window);
    if (list == nullptr) {
        state.SkipWithError("the window has no list");
        return;
    }
    PaintCounter counter;
    list->viewport()->installEventFilter(&counter);
    const int firstRow = list->indexAt(QPoint(0, 0)).row();
    bool up = false;
    for (auto _ : state) {
        open.window->ScrollPage(up);
        Paint(*list->viewport());
        up = !up;
    }
    list->viewport()->removeEventFilter(&counter);
    const int rowsMoved = std::abs(list->indexAt(QPoint(0, 0)).row() - firstRow);
    state.counters["RSS_MiB"] = static_cast<double>(ResidentKiB()) / 1024.0;
    state.counters["paints_per_step"] =
        static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
    state.counters["rows_per_page"] =
        static_cast<double>(list->viewport()->height() / std::max(1, list->sizeHintForRow(0)));
    benchmark::DoNotOptimize(rowsMoved);
}
BENCHMARK(BM_ScrollPageAndPaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Opening the editor on 100 000 tails and saving them back, measured as the user feels it: the
// whole time until the text is there or the window has closed, and the longest stretch in which
// the window could not react.
#include "editor/tail_editor_names.h"
#include "editor/tail_editor_window.h"
#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

using namespace qlq;

namespace {

constexpr int kTails = 100000;

QByteArray hundredThousandTails() {
    QByteArray file;
    for (int i = 0; i < kTails; ++i)
        file += "\xb5\xda" + QByteArray::number(i) + " \xcc\xf5\xd0\xa1\xce\xb2\xb0\xcd\r\n";
    return file;
}

// One tail of `characters` characters: "青岚雀a" over and over, GBK, without a line end.
QByteArray oneLongLine(qsizetype characters) {
    return QByteArray("\xC7\xE0\xE1\xB0\xC8\xB8"
                      "a")
        .repeated(characters / 4);
}

struct Fixture {
    QTemporaryDir dir;
    FakeDesktop desktop;
    NextRandom random;
    std::unique_ptr<MainWindow> mainWindow;

    explicit Fixture(const QByteArray& file = hundredThousandTails()) {
        QDir().mkpath(dir.path() + QStringLiteral("/corvane"));
        QFile out(dir.path() + QStringLiteral("/corvane/qinglanque.ini"));
        out.open(QIODevice::WriteOnly);
        out.write(file);
        out.close();
        mainWindow = std::make_unique<MainWindow>(desktop, DataPaths(dir.path()), random);
        mainWindow->load();
        mainWindow->show();
    }
    TailEditorWindow* openEditor() {
        auto* editor =
            new TailEditorWindow(desktop,
                                 TailListSource{mainWindow->tails(), mainWindow->tailLineEnds(),
                                                mainWindow->paths().tailListFile(),
                                                mainWindow->tailListEncoding(), std::nullopt},
                                 mainWindow->windowIcon());
        QObject::connect(editor, &TailEditorWindow::saved, mainWindow.get(),
                         &MainWindow::reloadTailList);
        editor->show();
        return editor;
    }
};

// Notes the first paint of `widget` once `ready` holds.
struct PaintWatch : QObject {
    std::function<bool()> ready;
    bool seen = false;
    PaintWatch(QWidget* widget, std::function<bool()> isReady) : ready(std::move(isReady)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ready()) {
            // After the paint itself: the layout it needs is part of the cost.
            QMetaObject::invokeMethod(
                this, [this] { seen = true; }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs the event loop until `done`, returning the longest time between two turns of the loop.
template <typename Done> double runUntil(Done done) {
    QElapsedTimer sinceLastTurn;
    sinceLastTurn.start();
    qint64 longest = 0;
    QTimer heartbeat;
    // 1 ms rather than 0 so that the waiting itself does not take a core from the worker.
    heartbeat.setInterval(1);
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceLastTurn.nsecsElapsed());
        sinceLastTurn.restart();
    });
    heartbeat.start();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    longest = std::max(longest, sinceLastTurn.nsecsElapsed());
    return static_cast<double>(longest) / 1e6;
}

void BM_EditorOpen100k(benchmark::State& state) {
    Fixture fixture;
    double stall = 0;
    double construct = 0;
    for (auto _ : state) {
        QElapsedTimer total;
        total.start();
        TailEditorWindow* editor = fixture.openEditor();
        construct = std::max(construct, static_cast<double>(total.nsecsElapsed()) / 1e6);
        stall = std::max(stall, runUntil([editor] { return editor->textLoaded(); }));
        state.SetIterationTime(static_cast<double>(total.nsecsElapsed()) / 1e9);
        delete editor;
    }
    state.counters["open_call_ms"] = construct;
    state.counters["longest_turn_ms"] = stall;
}
BENCHMARK(BM_EditorOpen100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_EditorSave100k(benchmark::State& state) {
    Fixture fixture;
    double stall = 0;
    for (auto _ : state) {
        QPointer<TailEditorWindow> editor = fixture.openEditor();
        runUntil([&] { return editor->textLoaded(); });
        QElapsedTimer total;
        total.start();
        QMetaObject::invokeMethod(
            editor->findChild<QPushButton*>(QLatin1String(tail_editor_names::kSave)), "click",
            Qt::QueuedConnection);
        stall = std::max(stall, runUntil([&] { return editor.isNull(); }));
        state.SetIterationTime(static_cast<double>(total.nsecsElapsed()) / 1e9);
    }
    state.counters["longest_freeze_ms"] = stall;
    if (fixture.mainWindow->tails().size() != kTails)
        state.SkipWithError("the saved list did not come back whole");
}
BENCHMARK(BM_EditorSave100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening the editor on one long tail, until its text box has painted the text: the layout of
// one paragraph that long is what froze the program.
void BM_EditorOpenLongLine(benchmark::State& state) {
    Fixture fixture(oneLongLine(state.range(0)));
    double stall = 0;
    for (auto _ : state) {
        QElapsedTimer total;
        total.start();
        TailEditorWindow* editor = fixture.openEditor();
        // The constructor runs inside one turn of the loop too.
        stall = std::max(stall, static_cast<double>(total.nsecsElapsed()) / 1e6);
        auto* box = editor->findChild<QPlainTextEdit*>(QLatin1String(tail_editor_names::kText));
        PaintWatch painted(box->viewport(), [editor] { return editor->textLoaded(); });
        stall = std::max(stall, runUntil([&] { return painted.seen; }));
        state.SetIterationTime(static_cast<double>(total.nsecsElapsed()) / 1e9);
        delete editor;
    }
    state.counters["longest_freeze_ms"] = stall;
}
BENCHMARK(BM_EditorOpenLongLine)
    ->Name("editor open, one line of 1 M characters (longest freeze)")
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_EditorOpenLongLine)
    ->Name("editor open, one line of 10 M characters (longest freeze)")
    ->Arg(10000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

// Opening the editor on 100 000 tails and saving them back, measured as the user feels it: the
// whole time until the text is there or the window has closed, and the longest stretch in which
// the window could not react.
#include "editor/tail_editor_window.h"
#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace qlq;

namespace {

constexpr int kTails = 100000;

struct Fixture {
    QTemporaryDir dir;
    FakeDesktop desktop;
    NextRandom random;
    std::unique_ptr<MainWindow> mainWindow;

    Fixture() {
        QDir().mkpath(dir.path() + QStringLiteral("/corvane"));
        QByteArray file;
        for (int i = 0; i < kTails; ++i)
            file += "\xb5\xda" + QByteArray::number(i) + " \xcc\xf5\xd0\xa1\xce\xb2\xb0\xcd\r\n";
        QFile out(dir.path() + QStringLiteral("/corvane/qinglanque.ini"));
        out.open(QIODevice::WriteOnly);
        out.write(file);
        out.close();
        mainWindow = std::make_unique<MainWindow>(desktop, DataPaths(dir.path()), random);
        mainWindow->load();
        mainWindow->show();
    }
    TailEditorWindow* openEditor() {
        auto* editor = new TailEditorWindow(
            desktop,
            TailListSource{mainWindow->tails(), mainWindow->paths().tailListFile(),
                           mainWindow->tailListEncoding(), std::nullopt},
            mainWindow->windowIcon());
        QObject::connect(editor, &TailEditorWindow::saved, mainWindow.get(),
                         &MainWindow::reloadTailList);
        editor->show();
        return editor;
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
        QMetaObject::invokeMethod(editor->findChild<QPushButton*>(QStringLiteral("Command16")),
                                  "click", Qt::QueuedConnection);
        stall = std::max(stall, runUntil([&] { return editor.isNull(); }));
        state.SetIterationTime(static_cast<double>(total.nsecsElapsed()) / 1e9);
    }
    state.counters["longest_freeze_ms"] = stall;
    if (fixture.mainWindow->tails().size() != kTails)
        state.SkipWithError("the saved list did not come back whole");
}
BENCHMARK(BM_EditorSave100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

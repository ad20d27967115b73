// Tail list loading, composing, the idle tick and the main window's start-up.
#include "data/options_file.h"
#include "data/tail_list_file.h"
#include "insert/insertion_composer.h"
#include "insert/insertion_controls.h"
#include "insert/insertion_engine.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "text/text_codec.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts heap allocations so the idle tick can show it makes none.
static std::atomic<long> g_allocations{0};
void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace qlq;

// A program directory with a 100 000-line GBK tail list (about 3 MB).
struct BigList {
    QTemporaryDir dir;
    BigList() {
        QDir().mkpath(dir.path() + QStringLiteral("/corvane"));
        QString text;
        for (int i = 0; i < 100000; ++i)
            text += QStringLiteral("【小尾巴%1】今天也要元气满满地回帖哦～\r\n").arg(i);
        QFile f(dir.path() + QStringLiteral("/corvane/qinglanque.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(*encodeText(text, TextEncoding::Gb18030));
    }
    QString path() const { return dir.path() + QStringLiteral("/corvane/qinglanque.ini"); }
};

BigList& bigList() {
    static BigList list;
    return list;
}

void BM_LoadTailListFile100k(benchmark::State& state) {
    for (auto _ : state) {
        TailListContent content = loadTailListFile(bigList().path());
        benchmark::DoNotOptimize(content.tails.size());
    }
}
BENCHMARK(BM_LoadTailListFile100k)->Unit(benchmark::kMillisecond);

void BM_MainWindowReload100k(benchmark::State& state) {
    FakeDesktop desktop;
    NextRandom random;
    MainWindow window(desktop, DataPaths(bigList().dir.path()), random);
    for (auto _ : state)
        window.reloadTailList();
}
BENCHMARK(BM_MainWindowReload100k)->Unit(benchmark::kMillisecond);

// From the splash's hand-over to the main window shown, with a 100 000-line list.
void BM_MainWindowStartup100k(benchmark::State& state) {
    FakeDesktop desktop;
    NextRandom random;
    for (auto _ : state) {
        MainWindow window(desktop, DataPaths(bigList().dir.path()), random);
        window.load();
        window.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_MainWindowStartup100k)->Unit(benchmark::kMillisecond);

// An options file of 1 MB of blank lines, read at start and written at close.
void BM_OptionsFile1MBlankLines(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("corvane.ini"));
    const QByteArray bytes =
        "[t1]\r\nt=own\r\n" + QByteArray("\r\n").repeated(qsizetype{512} * 1024);
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.close();
        Options options = OptionsFile::load(path);
        options.ownTail = QStringLiteral("changed");
        benchmark::DoNotOptimize(OptionsFile::save(path, options));
    }
}
BENCHMARK(BM_OptionsFile1MBlankLines)->Unit(benchmark::kMillisecond);

void BM_ComposeInsertion(benchmark::State& state) {
    const QString tail = QStringLiteral("【小尾巴】今天也要元气满满地回帖哦～");
    const QString own = QStringLiteral("[本消息由青岚雀贴吧小尾巴自动发送]");
    for (auto _ : state)
        benchmark::DoNotOptimize(composeInsertion(tail, true, own));
}
BENCHMARK(BM_ComposeInsertion);

struct NoControls : InsertionControls {
    int rowCount() const override { return 0; }
    QString rowText(int) const override { return {}; }
    bool randomOrder() const override { return false; }
    bool appendOwnTail() const override { return false; }
    bool sendAfterInsert() const override { return false; }
    QString ownTail() const override { return {}; }
    void showComposed(const QString&) override {}
};

void BM_IdleTick(benchmark::State& state) {
    FakeDesktop desktop;
    NoControls controls;
    NextRandom random;
    InsertionEngine engine(desktop.pressPath(), controls, random);
    const long before = g_allocations.load();
    for (auto _ : state)
        engine.tick();
    state.counters["allocs_per_tick"] = static_cast<double>(g_allocations.load() - before) /
                                        static_cast<double>(state.iterations());
}
BENCHMARK(BM_IdleTick);

} // namespace

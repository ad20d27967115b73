// Faults the file layer meets on real systems: missing or unwritable directories, a full or
// read-only disk, special files in place of the tail list, garbage and huge files.
#include "data/file_access.h"
#include "data/tail_list_file.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <random>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace qlq;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A tiny tmpfs, so that a save can run out of space for real. Mounting needs root and a sandbox
// that allows it; without that the tests using it are skipped, not failed.
class SmallDisk {
public:
    explicit SmallDisk(const char* options = "size=64k") {
        mounted_ =
            ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options) == 0;
    }
    ~SmallDisk() {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    bool makeReadOnly() {
        return ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs",
                       MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(FileWriteFaults, MissingCorvaneIsCreatedAndNoTemporaryFileIsLeft) {
    QTemporaryDir base;
    const QString corvane = base.path() + QStringLiteral("/corvane");
    const QString target = corvane + QStringLiteral("/qinglanque.ini");
    EXPECT_EQ(writeFileAtomically(target, "a\r\nb\r\n"), std::nullopt);
    EXPECT_EQ(readBytes(target), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(entries(corvane), QStringList{QStringLiteral("qinglanque.ini")});
}

TEST(FileWriteFaults, UnwritablePlacesGiveAReasonAndLeaveWhatWasThere) {
    // corvane exists as a regular file: the directory cannot be made (root ignores modes, so
    // this is the dependable way to refuse a write).
    QTemporaryDir base;
    const QString blocker = base.path() + QStringLiteral("/corvane");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    const std::optional<QString> noDir =
        writeFileAtomically(blocker + QStringLiteral("/qinglanque.ini"), "new");
    ASSERT_TRUE(noDir);
    EXPECT_FALSE(noDir->isEmpty());
    EXPECT_EQ(readBytes(blocker), QByteArray("old"));

    // The target itself is a directory: it is neither replaced nor emptied.
    const QString dirTarget = base.path() + QStringLiteral("/list");
    ASSERT_TRUE(QDir().mkpath(dirTarget + QStringLiteral("/inner")));
    const std::optional<QString> overDir = writeFileAtomically(dirTarget, "new");
    ASSERT_TRUE(overDir);
    EXPECT_FALSE(overDir->isEmpty());
    EXPECT_TRUE(QFileInfo(dirTarget + QStringLiteral("/inner")).isDir());
    EXPECT_EQ(entries(base.path()),
              QStringList({QStringLiteral("corvane"), QStringLiteral("list")}));
}

TEST(FileWriteFaults, FullDiskKeepsTheOldFileAndFreesTheSpaceAgain) {
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const QString target = disk.path() + QStringLiteral("/corvane/qinglanque.ini");
    const QByteArray old = QByteArray("old tail\r\n").repeated(100);
    ASSERT_EQ(writeFileAtomically(target, old), std::nullopt);

    const QString corvane = disk.path() + QStringLiteral("/corvane");
    auto expectRefusedAndUnchanged = [&](qsizetype size) {
        const std::optional<QString> error = writeFileAtomically(target, QByteArray(size, 'x'));
        ASSERT_TRUE(error) << size;
        EXPECT_FALSE(error->isEmpty());
        EXPECT_EQ(readBytes(target), old);
    };
    // Larger than Qt's write buffer: fails while writing.
    expectRefusedAndUnchanged(256 * 1024);
    EXPECT_EQ(entries(corvane), QStringList{QStringLiteral("qinglanque.ini")});

    // Smaller than the buffer, on a nearly full disk: fails only when flushed at commit.
    QFile filler(disk.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    ASSERT_EQ(filler.write(QByteArray(48 * 1024, 'f')), 48 * 1024);
    filler.close();
    expectRefusedAndUnchanged(14 * 1024);
    EXPECT_EQ(entries(corvane), QStringList{QStringLiteral("qinglanque.ini")});
    ASSERT_TRUE(filler.remove());

    // Nothing of the failed attempts holds space: a save that fits goes through.
    EXPECT_EQ(writeFileAtomically(target, "new\r\n"), std::nullopt);
    EXPECT_EQ(readBytes(target), QByteArray("new\r\n"));
}

TEST(FileWriteFaults, ReadOnlyDiskRefusesTheSaveButStillReads) {
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const QString target = disk.path() + QStringLiteral("/corvane/qinglanque.ini");
    ASSERT_EQ(writeFileAtomically(target, "a\r\n"), std::nullopt);
    ASSERT_TRUE(disk.makeReadOnly());
    const std::optional<QString> error = writeFileAtomically(target, "b\r\n");
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(loadTailListFile(target).tails, QStringList{QStringLiteral("a")});
}

TEST(FileReadFaults, SpecialFilesFailWithAReasonInsteadOfBlocking) {
    QTemporaryDir base;
    const QByteArray fifo = QFile::encodeName(base.path() + QStringLiteral("/fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    // Opening a FIFO without a writer blocks; run the read aside so a fault fails, not hangs.
    auto pending =
        std::async(std::launch::async, [&] { return readWholeFile(QFile::decodeName(fifo)); });
    if (pending.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        const int writer = ::open(fifo.constData(), O_WRONLY); // lets the reader go on
        ::close(writer);
        pending.wait();
        FAIL() << "reading a FIFO blocked";
    }
    const FileReadResult fromFifo = pending.get();
    EXPECT_EQ(fromFifo.status, FileReadResult::Status::Failed);
    EXPECT_FALSE(fromFifo.error.isEmpty());

    // A socket: stat sees it, open() refuses it.
    const QByteArray socketPath = QFile::encodeName(base.path() + QStringLiteral("/sock"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(socketPath.size()), sizeof(address.sun_path));
    memcpy(address.sun_path, socketPath.constData(), static_cast<size_t>(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    const TailListContent fromSocket = loadTailListFile(QFile::decodeName(socketPath));
    ::close(sock);
    EXPECT_FALSE(fromSocket.readable);
    EXPECT_TRUE(fromSocket.tails.isEmpty());

    // A regular file whose read fails after a successful open.
    const FileReadResult fromMem = readWholeFile(QStringLiteral("/proc/self/mem"));
    EXPECT_EQ(fromMem.status, FileReadResult::Status::Failed);
    EXPECT_FALSE(fromMem.error.isEmpty());
    EXPECT_TRUE(fromMem.bytes.isEmpty());
}

TEST(FileReadFaults, OversizedFileIsRefusedWithoutReadingIt) {
    QTemporaryDir base;
    const QString path = base.path() + QStringLiteral("/qinglanque.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxReadBytes + 1)); // sparse: costs no disk
    file.close();
    const long before = peakRssKb();
    const FileReadResult result = readWholeFile(path);
    EXPECT_EQ(result.status, FileReadResult::Status::Failed);
    EXPECT_TRUE(result.error.contains(QStringLiteral("太大")));
    EXPECT_LT(peakRssKb() - before, 64 * 1024);
}

TEST(TailListContentFaults, RandomBytesKeepEveryLineEnd) {
    // Whatever the decoder makes of broken sequences, a CR byte is never swallowed: the tails
    // are exactly the byte-level lines.
    std::mt19937 random(20240607);
    for (int round = 0; round < 20; ++round) {
        QByteArray bytes(4096 + round * 997, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 8 == 0 ? '\r' : random() & 0xFF);
        qsizetype lineEnds = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r')
                ++lineEnds;
        }
        const bool openLast = !bytes.endsWith('\r') && !bytes.endsWith("\r\n");
        TempProgramDir dir;
        dir.write(QStringLiteral("qinglanque.ini"), bytes);
        const TailListContent content =
            loadTailListFile(dir.file(QStringLiteral("qinglanque.ini")));
        EXPECT_TRUE(content.readable);
        EXPECT_EQ(content.tails.size(), lineEnds + (openLast ? 1 : 0)) << "round " << round;
        for (const QString& tail : content.tails)
            ASSERT_FALSE(tail.contains(u'\r'));
    }
}

TEST(TailListContentFaults, FiftyMegabyteSingleLineLoadsWithBoundedMemory) {
    // "青岚雀" in GBK plus one ASCII letter: the GB18030 path, not the ASCII shortcut.
    const QByteArray unit("\xC7\xE0\xE1\xB0\xC8\xB8"
                          "a");
    const qsizetype repeats = 50 * 1024 * 1024 / unit.size();
    TempProgramDir dir;
    dir.write(QStringLiteral("qinglanque.ini"), unit.repeated(repeats));
    const long before = peakRssKb();
    const TailListContent content = loadTailListFile(dir.file(QStringLiteral("qinglanque.ini")));
    const long grownMb = (peakRssKb() - before) / 1024;
    ASSERT_EQ(content.tails.size(), 1);
    EXPECT_EQ(content.tails[0].size(), repeats * 4);
    EXPECT_TRUE(content.tails[0].startsWith(QStringLiteral("青岚雀a青")));
    // File, UTF-8 buffer, decoded text and the one tail: a few times the file, never dozens.
    EXPECT_LT(grownMb, 1024) << "peak memory grew by " << grownMb << " MB";
}

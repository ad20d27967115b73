// Faults the file layer meets on real systems: blocked directories, a full or read-only disk,
// special files in place of the tail list, garbage and huge files.
#include "data/file_access.h"
#include "data/options_file.h"
#include "data/tail_list_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <future>
#include <random>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qlq;
using namespace Qt::StringLiterals;

namespace {

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(FileWriteFaults, CreatesCorvaneAndRefusesBlockedPlaces) {
    TempProgramDir dir;
    EXPECT_EQ(writeFileAtomically(dir.file(u"qinglanque.ini"_s), "a\r\n"), std::nullopt);
    EXPECT_EQ(dir.read(u"qinglanque.ini"_s), "a\r\n");
    // The target is a directory: neither replaced nor emptied, and no temporary file is left.
    ASSERT_TRUE(QDir().mkpath(dir.file(u"list/inner"_s)));
    const auto overDir = writeFileAtomically(dir.file(u"list"_s), "new");
    EXPECT_TRUE(overDir && !overDir->reason.isEmpty());
    EXPECT_TRUE(QFileInfo(dir.file(u"list/inner"_s)).isDir());
    EXPECT_EQ(QDir(dir.corvane()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({u"list"_s, u"qinglanque.ini"_s}));

    // A regular file where corvane/ should be (root ignores modes, not this).
    ASSERT_TRUE(QDir(dir.corvane()).removeRecursively());
    ASSERT_TRUE(writeFile(dir.corvane(), "old"));
    EXPECT_EQ(writeFileAtomically(dir.file(u"qinglanque.ini"_s), "new"),
              (FileProblem{FileProblem::Kind::NoDirectory, dir.corvane(), {}}));
    EXPECT_EQ(readFile(dir.corvane()), "old");
}

TEST(FileWriteFaults, ALinkStaysALinkAndTheFileItLeadsToIsReplacedBesideItself) {
    // corvane/qinglanque.ini -> ../synced/link -> list.ini (relative, a chain), as dotfiles do.
    TempProgramDir dir;
    const QString synced = dir.path() + u"/synced"_s;
    ASSERT_TRUE(QDir().mkpath(synced) && QDir().mkpath(dir.corvane()));
    const QString target = synced + u"/list.ini"_s;
    const QString link = dir.file(u"qinglanque.ini"_s);
    ASSERT_TRUE(QFile::link(u"list.ini"_s, synced + u"/link"_s));
    ASSERT_TRUE(QFile::link(u"../synced/link"_s, link));
    ASSERT_TRUE(writeFile(target, "old"));
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions permissions = QFile::permissions(target);
    dir.write(u"qinglanque.ini.qlq-new"_s, "x"); // not the link's: kept
    ASSERT_TRUE(writeFile(target + u".qlq-new"_s, {}));
    EXPECT_EQ(removeStaleSaveFiles(link), 1);
    EXPECT_TRUE(QFileInfo::exists(dir.file(u"qinglanque.ini.qlq-new"_s)));

    EXPECT_EQ(writeFileAtomically(link, "new"), std::nullopt);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(synced + u"/link"_s).isSymLink());
    EXPECT_EQ(dir.read(u"qinglanque.ini"_s), "new");
    EXPECT_EQ(QFile::permissions(target), permissions);
    EXPECT_EQ(QDir(synced).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({u"link"_s, u"list.ini"_s}));

    // A link to nothing: no file is made where the user never looks.
    ASSERT_TRUE(QFile::remove(target));
    EXPECT_EQ(writeFileAtomically(link, "new"),
              (FileProblem{FileProblem::Kind::DanglingLink, link, target}));
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST(FileReadFaults, SpecialFilesFailWithAReasonInsteadOfBlocking) {
    QTemporaryDir base;
    const QByteArray fifo = QFile::encodeName(base.path() + u"/fifo"_s);
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    // Opening a FIFO without a writer blocks: read aside so a fault fails instead of hanging.
    auto pending =
        std::async(std::launch::async, [&] { return readWholeFile(QFile::decodeName(fifo)); });
    if (pending.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ::close(::open(fifo.constData(), O_WRONLY)); // lets the reader go on
        FAIL() << "reading a FIFO blocked";
    }
    const FileReadResult fromFifo = pending.get();
    EXPECT_EQ(fromFifo.status, FileReadResult::Status::Failed);
    EXPECT_EQ(fromFifo.problem->kind, FileProblem::Kind::NotRegularFile);

    // A device, a regular file whose read fails after a successful open, an oversized file.
    QFile big(base.path() + u"/big.ini"_s);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxReadBytes + 1)); // sparse
    big.close();
    const long before = peakRssKb();
    using Kind = FileProblem::Kind;
    for (const auto& [path, kind] : {std::pair{u"/dev/null"_s, Kind::NotRegularFile},
                                     std::pair{u"/proc/self/mem"_s, Kind::ReadFailed},
                                     std::pair{big.fileName(), Kind::TooLarge}}) {
        const FileReadResult result = readWholeFile(path);
        EXPECT_EQ(result.status, FileReadResult::Status::Failed) << path.toStdString();
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->kind, kind) << path.toStdString();
        EXPECT_EQ(result.problem->path, path);
        EXPECT_EQ(result.problem->reason.isEmpty(), kind != Kind::ReadFailed);
    }
    EXPECT_LT(peakRssKb() - before, 64 * 1024); // refused without reading it
}

TEST(TailListContentFaults, RandomBytesKeepEveryLineEndAndAHugeLineLoads) {
    // Whatever the decoder makes of broken sequences, a CR byte is never swallowed.
    TempProgramDir dir;
    const QString path = dir.file(u"qinglanque.ini"_s);
    std::mt19937 random(20240607);
    for (int round = 0; round < 20; ++round) {
        QByteArray bytes(4096 + round * 997, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 8 == 0 ? '\r' : random() & 0xFF);
        const bool openLast = !bytes.endsWith('\r') && !bytes.endsWith("\r\n");
        dir.write(u"qinglanque.ini"_s, bytes);
        const TailListContent content = loadTailListFile(path);
        EXPECT_FALSE(content.problem);
        EXPECT_EQ(content.tails.size(), bytes.count('\r') + (openLast ? 1 : 0)) << round;
        EXPECT_FALSE(content.tails.join(QString()).contains(u'\r'));
    }

    // "青岚雀a": the GB18030 path, not the ASCII shortcut, on one 50 MB line.
    const QByteArray unit("\xC7\xE0\xE1\xB0\xC8\xB8\x61");
    const qsizetype repeats = qsizetype(50) * 1024 * 1024 / unit.size();
    dir.write(u"qinglanque.ini"_s, unit.repeated(repeats));
    const long before = peakRssKb();
    const TailListContent content = loadTailListFile(path);
    ASSERT_EQ(content.tails.size(), 1);
    EXPECT_EQ(content.tails[0].size(), repeats * 4);
    EXPECT_TRUE(content.tails[0].startsWith(u"青岚雀a青"_s));
    EXPECT_LT((peakRssKb() - before) / 1024, 1024); // a few times the file, never dozens
}

TEST(OptionsFileFaults, AMillionBlankLinesAreReadAndWrittenInLittleMemory) {
    TempProgramDir dir;
    dir.write(u"corvane.ini"_s, "[t1]\r\nt=old\r\n" + QByteArray("\r\n").repeated(1 << 20));
    const long before = peakRssKb();
    EXPECT_EQ(OptionsFile::load(dir.file(u"corvane.ini"_s)).ownTail, u"old"_s);
    EXPECT_EQ(OptionsFile::save(dir.file(u"corvane.ini"_s), {u"new"_s, true, false, true}),
              std::nullopt);
    // A record for every blank line took hundreds of megabytes (and seconds) here.
    EXPECT_LT(peakRssKb() - before, 64 * 1024);
    EXPECT_TRUE(dir.read(u"corvane.ini"_s).startsWith("[t1]\r\nt=new\r\n\r\n"));
}

#include "data/duxie.h"
#include "data/settings_store.h"
#include "support/sample_options.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

using qlq::ReadIni;
using qlq::StoredOptions;
using qlq::writeOptions;

namespace {

const QString kT1 = QStringLiteral("t1");
const QString kT = QStringLiteral("t");
const QString kPeizhi = QStringLiteral("peizhi");

// Root ignores file permissions but not the file size limit: writes past it fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

TEST(SwitchValue, ComparesAsNumbers) {
    for (const char* off : {"0", "00", " 0 ", "0.0", "-0"})
        EXPECT_EQ(qlq::switchValue(QString::fromLatin1(off)), false) << off;
    for (const char* on : {"1", " 1", "1.0", "01", "+1"})
        EXPECT_EQ(qlq::switchValue(QString::fromLatin1(on)), true) << on;
    for (const char* other : {"", " ", "2", "-1", "0.5", "abc", "1abc", "nan"})
        EXPECT_EQ(qlq::switchValue(QString::fromLatin1(other)), std::nullopt) << other;
}

TEST(ReadIni, ReadsTheFileAfreshAndTreatsTroubleAsAbsent) {
    TempProgramDir dir;
    const QString file = dir.file(QStringLiteral("corvane.ini"));
    EXPECT_EQ(ReadIni(kT1, kT, file), QString());
    dir.write(QStringLiteral("corvane.ini"), kSampleOptions);
    EXPECT_EQ(ReadIni(kT1, kT, file), kOwnTail);
    EXPECT_EQ(ReadIni(kPeizhi, QStringLiteral("Check2"), file), QStringLiteral("1"));
    dir.write(QStringLiteral("corvane.ini"), "[t1]\r\nt=changed\r\n");
    EXPECT_EQ(ReadIni(kT1, kT, file), QStringLiteral("changed"));
    EXPECT_EQ(ReadIni(kPeizhi, QStringLiteral("Check2"), file), QString());
    QDir().mkpath(dir.file(QStringLiteral("folder.ini")));
    EXPECT_EQ(ReadIni(kT1, kT, dir.file(QStringLiteral("folder.ini"))), QString());
}

TEST(WriteOptions, ChangesOnlyItsFourEntries) {
    TempProgramDir dir;
    const QString file = dir.file(QStringLiteral("corvane.ini"));
    const QByteArray before =
        "; kept\r\n[other]\r\nx = 1\r\n" + kSampleOptions + "\r\n[more]\nY=2\n";
    dir.write(QStringLiteral("corvane.ini"), before);
    EXPECT_EQ(writeOptions(file, StoredOptions{QStringLiteral("新尾巴"), true, false, true}),
              std::nullopt);
    EXPECT_EQ(dir.read(QStringLiteral("corvane.ini")),
              "; kept\r\n[other]\r\nx = 1\r\n[t1]\r\nt=\xd0\xc2\xce\xb2\xb0\xcd\r\n[peizhi]\r\n"
              "Check1=1\r\nCheck2=0\r\nweiba=1\r\n\r\n[more]\nY=2\n");
}

TEST(WriteOptions, CreatesTheDirectoryAndAGbkFile) {
    TempProgramDir dir;
    ASSERT_FALSE(QDir(dir.corvane()).exists());
    EXPECT_EQ(writeOptions(dir.file(QStringLiteral("corvane.ini")),
                           StoredOptions{kOwnTail, false, true, false}),
              std::nullopt);
    EXPECT_EQ(dir.read(QStringLiteral("corvane.ini")), kSampleOptions);
}

TEST(WriteOptions, FailuresAreReportedAndKeepTheOldFile) {
    TempProgramDir dir;
    const StoredOptions options{QString(100, u'x'), true, true, true};

    // A regular file where a directory should be stops even root.
    QFile blocker(dir.path() + QStringLiteral("/blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_NE(writeOptions(dir.path() + QStringLiteral("/blocker/corvane/corvane.ini"), options),
              std::nullopt);

    // Something there that cannot be read is not overwritten.
    QDir().mkpath(dir.file(QStringLiteral("folder.ini")));
    EXPECT_NE(writeOptions(dir.file(QStringLiteral("folder.ini")), options), std::nullopt);
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("folder.ini"))).isDir());

    dir.write(QStringLiteral("corvane.ini"), kSampleOptions);
    std::optional<QString> error;
    {
        const FileSizeLimit limit(16);
        error = writeOptions(dir.file(QStringLiteral("corvane.ini")), options);
    }
    EXPECT_NE(error, std::nullopt);
    EXPECT_EQ(dir.read(QStringLiteral("corvane.ini")), kSampleOptions);
    EXPECT_EQ(QDir(dir.corvane()).entryList(QDir::Files),
              QStringList({QStringLiteral("corvane.ini")}));
}

#include "instance/private_folder.h"
#include "instance/single_instance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace qlq;

TEST(SingleInstance, ASecondCopyHandsItsRequestsToTheFirst) {
    QTemporaryDir dir; // mode 0700, as a private folder is
    SingleInstance first(dir.path(), QStringLiteral("qlq"));
    ASSERT_TRUE(first.tryClaim());
    ASSERT_TRUE(first.listen());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    QSignalSpy quit(&first, &SingleInstance::quitRequested);

    SingleInstance second(dir.path(), QStringLiteral("qlq"));
    EXPECT_FALSE(second.tryClaim());
    EXPECT_TRUE(SingleInstance::send(dir.path(), QStringLiteral("qlq"),
                                     SingleInstance::Request::Raise, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised.count() == 1; }, 5000));
    EXPECT_TRUE(SingleInstance::send(dir.path(), QStringLiteral("qlq"),
                                     SingleInstance::Request::Quit, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return quit.count() == 1; }, 5000));
    EXPECT_EQ(raised.count(), 1);
    // Another name, or nobody listening: the request is not taken.
    EXPECT_FALSE(SingleInstance::send(dir.path(), QStringLiteral("other"),
                                      SingleInstance::Request::Raise, 0));
    EXPECT_EQ(programInstanceName(QStringLiteral(":0.0")), QStringLiteral("qinglanque-_0"));
    EXPECT_EQ(programInstanceName(QStringLiteral(":0")),
              programInstanceName(QStringLiteral(":0.0")));
}

TEST(PrivateFolder, OnlyAFolderOfThisUserClosedToOthersIsUsed) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("fresh"));
    EXPECT_EQ(ensurePrivateFolder(fresh).path, fresh);
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(fresh).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    const QString open = dir.filePath(QStringLiteral("open"));
    ASSERT_TRUE(QDir().mkdir(open));
    QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::ExeOther);
    EXPECT_TRUE(ensurePrivateFolder(open).path.isEmpty());
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(fresh, link));
    EXPECT_TRUE(ensurePrivateFolder(link).path.isEmpty()) << "a planted link is not our folder";
    if (getuid() == 0) { // as root the folder can be handed to someone else
        ASSERT_EQ(chown(QFile::encodeName(fresh).constData(), 65534, 65534), 0);
        EXPECT_FALSE(ensurePrivateFolder(fresh).problem.isEmpty());
    }
}

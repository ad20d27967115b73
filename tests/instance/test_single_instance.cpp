#include "instance/private_folder.h"
#include "instance/single_instance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

#ifdef Q_OS_UNIX
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace qlq;
using namespace Qt::StringLiterals;

// Under Wine a pipe client in the server's own thread never connects; tests/wine starts a real
// second copy instead.
#ifdef Q_OS_UNIX
TEST(SingleInstance, ASecondCopyHandsItsRequestsToTheFirst) {
    QTemporaryDir dir; // mode 0700, as a private folder is
    SingleInstance first(dir.path(), u"qlq"_s);
    ASSERT_TRUE(first.tryClaim() && first.listen());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    QSignalSpy quit(&first, &SingleInstance::quitRequested);
    QSignalSpy pressed(&first, &SingleInstance::pressRequested);
    const auto heard = [&] {
        return QList<qsizetype>{raised.count(), quit.count(), pressed.count()};
    };

    EXPECT_FALSE(SingleInstance(dir.path(), u"qlq"_s).tryClaim());
    using enum SingleInstance::Request;
    for (const SingleInstance::Request request : {Raise, Quit, Press, Press}) // one per --insert
        EXPECT_TRUE(SingleInstance::send(dir.path(), u"qlq"_s, request, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard() == QList<qsizetype>{1, 1, 2}; }, 5000));
    if (getuid() == 0) { // another user who reaches the socket anyway is not heard
        const QString socket = dir.filePath(u"qlq.socket"_s);
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        ASSERT_EQ(chmod(QFile::encodeName(socket).constData(), 0777), 0);
        const QString send = u"import socket, sys; s = socket.socket(socket.AF_UNIX); "
                             "s.connect(sys.argv[1]); s.sendall(b'raise\\n')"_s;
        ASSERT_EQ(QProcess::execute("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                                "/usr/bin/python3", "-c", send, socket}),
                  0)
            << "the stranger could not reach the socket";
        QTest::qWait(300);
        EXPECT_EQ(heard(), (QList<qsizetype>{1, 1, 2}));
    }
    // Another name, or nobody listening: the request is not taken.
    EXPECT_FALSE(SingleInstance::send(dir.path(), u"other"_s, Raise, 0));
    for (const QString& display : {u":0"_s, u":0.0"_s})
        EXPECT_EQ(programInstanceName(display), u"qinglanque-_0"_s);
}

#endif

TEST(SingleInstance, ALockLeftUnderOurOwnProcessIdIsTakenOver) {
    QTemporaryDir dir;
    {
        // What a killed copy leaves when the next start is given its process id again.
        QLockFile earlier(dir.filePath(u"earlier.lock"_s));
        ASSERT_TRUE(earlier.tryLock(0));
        ASSERT_TRUE(QFile::copy(dir.filePath(u"earlier.lock"_s), dir.filePath(u"qlq.lock"_s)));
    }
    SingleInstance copy(dir.path(), u"qlq"_s);
    EXPECT_TRUE(copy.tryClaim());

    // A lock held by a live process that is not us stays respected.
    EXPECT_FALSE(SingleInstance(dir.path(), u"qlq"_s).tryClaim());
}

#ifdef Q_OS_UNIX
TEST(PrivateFolder, OnlyAFolderOfThisUserClosedToOthersIsUsed) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath(u"fresh"_s);
    EXPECT_EQ(ensurePrivateFolder(fresh).path, fresh);
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(fresh).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    const QString open = dir.filePath(u"open"_s);
    ASSERT_TRUE(QDir().mkdir(open));
    QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::ExeOther);
    EXPECT_TRUE(ensurePrivateFolder(open).path.isEmpty());
    const QString link = dir.filePath(u"link"_s);
    ASSERT_TRUE(QFile::link(fresh, link));
    EXPECT_TRUE(ensurePrivateFolder(link).path.isEmpty()) << "a planted link is not our folder";
    if (getuid() == 0) { // as root the folder can be handed to someone else
        ASSERT_EQ(chown(QFile::encodeName(fresh).constData(), 65534, 65534), 0);
        EXPECT_FALSE(ensurePrivateFolder(fresh).problem.isEmpty());
    }
}

namespace {

// The variables the test changes, put back after it.
struct Environment {
    const QProcessEnvironment saved = QProcessEnvironment::systemEnvironment();
    static void set(const char* name, const std::optional<QString>& value) {
        value ? qputenv(name, QFile::encodeName(*value)) : qunsetenv(name);
    }
    ~Environment() {
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "HOME", "TMPDIR"})
            set(name, saved.contains(name) ? std::optional(saved.value(name)) : std::nullopt);
    }
};

} // namespace

TEST(PrivateFolder, WithoutARuntimeFolderTheGuardStaysWhereNoOtherUserReaches) {
    QTemporaryDir dir;
    // Deep enough that a socket path in it would be too long.
    const QString home = dir.filePath(QString(120, QLatin1Char('h')));
    const QString taken = dir.filePath(u"qinglanque-%1"_s.arg(getuid()));
    ASSERT_TRUE(QDir().mkpath(home));
    Environment env;
    env.set("XDG_RUNTIME_DIR", std::nullopt);
    env.set("XDG_CACHE_HOME", std::nullopt);
    env.set("HOME", home);
    env.set("TMPDIR", dir.path());
    const auto takeTheTemporaryName = [&] { // another user was first, or left it open
        ASSERT_TRUE(QDir().mkpath(taken));
        ASSERT_EQ(getuid() == 0 ? chown(QFile::encodeName(taken).constData(), 65534, 65534)
                                : chmod(QFile::encodeName(taken).constData(), 0777),
                  0);
    };
    // The deep folder is reached through a short alias: where it really is counts.
    const auto place = [] { return QFileInfo(privateRuntimeFolder().path).canonicalFilePath(); };
    takeTheTemporaryName();
    const PrivateFolder folder = privateRuntimeFolder();
    const QString expected = folder.substituteRuntime + u"/qinglanque"_s;
    EXPECT_TRUE(folder.substituteRuntime.startsWith(home + "/.cache/qinglanque/runtime-"))
        << folder.problem.toStdString();
    EXPECT_EQ(place(), expected);
    // Every start finds the same place, whatever others do in the temporary folder, and so does
    // a helper that is handed the stand-in as its runtime folder; the second start gets through.
    ASSERT_TRUE(QDir(taken).removeRecursively());
    EXPECT_EQ(place(), expected);
    env.set("XDG_RUNTIME_DIR", folder.substituteRuntime);
    EXPECT_EQ(place(), expected);
    const QString name = programInstanceName(u"localhost:10"_s);
    SingleInstance running(folder.path, name);
    ASSERT_TRUE(running.tryClaim() && running.listen());
    QSignalSpy raised(&running, &SingleInstance::raiseRequested);
    const QString again = privateRuntimeFolder().path;
    EXPECT_FALSE(SingleInstance(again, name).tryClaim());
    EXPECT_TRUE(SingleInstance::send(again, name, SingleInstance::Request::Raise, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised.count() == 1; }, 5000));

    // No home at all: the temporary folder, and no folder (the caller stops) once it is taken.
    env.set("XDG_RUNTIME_DIR", std::nullopt);
    env.set("HOME", std::nullopt);
    EXPECT_EQ(place(), taken + u"/qinglanque"_s);
    ASSERT_TRUE(QDir(taken).removeRecursively());
    takeTheTemporaryName();
    EXPECT_TRUE(privateRuntimeFolder().path.isEmpty());
}
#endif

#include "shell/main_window_fixture.h"
#include "support/sample_options.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

const QString kOptions = QStringLiteral("corvane.ini");

struct MainWindowOptions : MainWindowFixture {
    QString ownTail() const { return child<QLineEdit>("Text5")->text(); }
    // Check1, Check2, Check4 as "101".
    std::string switches() const {
        std::string s;
        for (const char* name : {"Check1", "Check2", "Check4"})
            s += child<QCheckBox>(name)->isChecked() ? '1' : '0';
        return s;
    }
    QStringList messages() const { return desktop.calls().filter(QStringLiteral("message:")); }
};

} // namespace

TEST_F(MainWindowOptions, ClosingWritesTheFourEntriesAndTheNextStartRestores) {
    dir.write(kOptions, kSampleOptions); // the bytes written: the options file's own tests
    start();
    EXPECT_EQ(ownTail(), kOwnTail);
    EXPECT_EQ(switches(), "010");
    child<QLineEdit>("Text5")->setText(QStringLiteral("新尾巴"));
    child<QCheckBox>("Check1")->setChecked(true);
    child<QCheckBox>("Check2")->setChecked(false);
    child<QCheckBox>("Check4")->setChecked(true);
    window->close();
    start();
    EXPECT_EQ(ownTail(), QStringLiteral("新尾巴"));
    EXPECT_EQ(switches(), "101");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(MainWindowOptions, UndecodableBytesShowAsReplacementsAndSurviveAClose) {
    const QByteArray stored = "[t1]\r\nt=price \x80 \xFF!\r\n[peizhi]\r\nCheck1=0\r\nCheck2=1\r\n"
                              "weiba=0\r\n";
    dir.write(kOptions, stored);
    dir.write(QStringLiteral("qinglanque.ini"), "a\xFF\r\n");
    start();
    EXPECT_EQ(ownTail(), QStringLiteral("price € \uFFFD!"));
    EXPECT_EQ(pressF8(), lead(lead(QStringLiteral("a\uFFFD\r\nprice € \uFFFD!"))));
    window->close();
    EXPECT_EQ(dir.read(kOptions), stored);
}

TEST_F(MainWindowOptions, AnOwnTailOfAnyLengthComesBackWhole) {
    start();
    const QString longTail(40000, QChar(0x5C3E));
    child<QLineEdit>("Text5")->setText(longTail);
    window->close();
    start();
    EXPECT_EQ(ownTail(), longTail);
}

TEST_F(MainWindowOptions, StartUpRemovesWhatKilledSavesLeftButNothingElse) {
    // A save writes "<file>.qlq-new" (through QSaveFile's own "<that>.XXXXXX") and renames it.
    for (const char* name : {"corvane.ini.qlq-new", "qinglanque.ini.qlq-new.aBcDeF",
                             "qinglanque.ini.backup", "corvane.ini.qlq-new.old"})
        dir.write(QString::fromLatin1(name), "x");
    start();
    EXPECT_EQ(QDir(dir.corvane()).entryList(QDir::Files),
              QStringList({"corvane.ini.qlq-new.old", "qinglanque.ini.backup"}));
}

TEST_F(MainWindowOptions, AFailedSaveIsReportedOnce) {
    // corvane is a regular file here, so the options file can be neither read nor written.
    QFile blocker(dir.corvane());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    EXPECT_EQ(switches(), "000");
    window->close();
    window->close();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().contains(kOptions));
    EXPECT_TRUE(messages().first().contains(QStringLiteral("无法创建目录")));
    EXPECT_TRUE(QFileInfo(dir.corvane()).isFile());
}

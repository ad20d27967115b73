#include "shell/main_window_names.h"
#include "support/program_fixture.h"
#include "support/sample_options.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

namespace names = qlq::main_window_names;

const QString kOptions = QStringLiteral("corvane.ini");

struct MainWindowOptions : ProgramFixture {
    QString ownTail() const { return control<QLineEdit>(names::kOwnTail)->text(); }
    // Check1, Check2, Check4 as "101".
    std::string switches() const {
        std::string s;
        for (const char* name :
             {names::kSendAfterInsert, names::kAppendOwnTail, names::kRandomOrder})
            s += control<QCheckBox>(name)->isChecked() ? '1' : '0';
        return s;
    }
};

} // namespace

TEST_F(MainWindowOptions, ClosingWritesTheFourEntriesAndTheNextStartRestores) {
    dir.write(kOptions, kSampleOptions); // the bytes written: the options file's own tests
    start();
    EXPECT_EQ(ownTail(), kOwnTail);
    EXPECT_EQ(switches(), "010");
    const QString longTail = QStringLiteral("新") + QString(40000, u'尾'); // whole, however long
    control<QLineEdit>(names::kOwnTail)->setText(longTail);
    control<QCheckBox>(names::kSendAfterInsert)->setChecked(true);
    control<QCheckBox>(names::kAppendOwnTail)->setChecked(false);
    control<QCheckBox>(names::kRandomOrder)->setChecked(true);
    mainWindow()->close();
    start();
    EXPECT_EQ(ownTail(), longTail);
    EXPECT_EQ(switches(), "101");
    EXPECT_EQ(messages(), 0);
}

TEST_F(MainWindowOptions, UndecodableBytesShowAsReplacementsAndSurviveAClose) {
    const QByteArray stored = "[t1]\r\nt=price \x80 \xFF!\r\n[peizhi]\r\nCheck1=0\r\nCheck2=1\r\n"
                              "weiba=0\r\n";
    dir.write(kOptions, stored);
    dir.write(QStringLiteral("qinglanque.ini"), "a\xFF\r\n");
    start();
    EXPECT_EQ(ownTail(), QStringLiteral("price € \uFFFD!"));
    EXPECT_EQ(pressF8(), lead(lead(QStringLiteral("a\uFFFD\r\nprice € \uFFFD!"))));
    mainWindow()->close();
    EXPECT_EQ(dir.read(kOptions), stored);
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
    ASSERT_TRUE(writeFile(dir.corvane(), {}));
    start({}, true); // in the tray: a window never shown gets every close
    EXPECT_EQ(switches(), "000");
    mainWindow()->close();
    mainWindow()->close();
    ASSERT_EQ(messages(), 1);
    EXPECT_TRUE(desktop.calls().last().contains(kOptions));
    EXPECT_TRUE(desktop.calls().last().contains(QStringLiteral("无法创建目录")));
    EXPECT_TRUE(QFileInfo(dir.corvane()).isFile());
}

#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "support/sample_options.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kOptions = QStringLiteral("corvane.ini");

class MainWindowOptions : public ::testing::Test {
protected:
    // A fresh window on the same directory, as at a new start of the program.
    qlq::MainWindow& start(const QString& base) {
        window_ = std::make_unique<qlq::MainWindow>(desktop_, qlq::DataPaths(base), random_);
        window_->load();
        return *window_;
    }
    qlq::MainWindow& start() { return start(dir_.path()); }

    QString ownTail() const { return window_->findChild<QLineEdit*>("Text5")->text(); }
    QCheckBox* box(const char* name) const { return window_->findChild<QCheckBox*>(name); }
    // Check1, Check2, Check4 as "101".
    std::string switches() const {
        std::string s;
        for (const char* name : {"Check1", "Check2", "Check4"})
            s += box(name)->isChecked() ? '1' : '0';
        return s;
    }
    int messages() const {
        return static_cast<int>(desktop_.calls().filter(QStringLiteral("message:")).size());
    }

    TempProgramDir dir_;
    qlq::FakeDesktop desktop_;
    qlq::NextRandom random_;
    std::unique_ptr<qlq::MainWindow> window_;
};

TEST_F(MainWindowOptions, StoredValuesReachTheControls) {
    dir_.write(kOptions, "[t1]\r\nt=\r\n[peizhi]\r\nCheck1=1\r\nCheck2= 1\r\nweiba=1.0\r\n");
    start();
    EXPECT_EQ(ownTail(), QString());
    EXPECT_EQ(switches(), "111");

    dir_.write(kOptions, "[peizhi]\r\nCheck1=1\r\nCheck2=2\r\nweiba=abc\r\n");
    start();
    EXPECT_EQ(ownTail(), QString());
    EXPECT_EQ(switches(), "100");
}

TEST_F(MainWindowOptions, FirstStartWithoutFilesComesUpEmptyAndUnticked) {
    start();
    EXPECT_EQ(ownTail(), QString()); // an absent entry reads as the empty text
    EXPECT_EQ(switches(), "000");
    window_->show();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(messages(), 0);
}

TEST_F(MainWindowOptions, ClosingSavesAndTheNextStartRestores) {
    dir_.write(kOptions, "; mine\r\n" + kSampleOptions + "[other]\r\nk=v\r\n");
    start();
    EXPECT_EQ(ownTail(), kOwnTail);
    EXPECT_EQ(switches(), "010");
    window_->findChild<QLineEdit*>("Text5")->setText(QStringLiteral("新尾巴"));
    box("Check1")->setChecked(true);
    box("Check2")->setChecked(false);
    box("Check4")->setChecked(true);
    window_->close();
    EXPECT_EQ(dir_.read(kOptions),
              "; mine\r\n[t1]\r\nt=\xd0\xc2\xce\xb2\xb0\xcd\r\n[peizhi]\r\nCheck1=1\r\nCheck2=0\r\n"
              "weiba=1\r\n[other]\r\nk=v\r\n");

    start();
    EXPECT_EQ(ownTail(), QStringLiteral("新尾巴"));
    EXPECT_EQ(switches(), "101");
    EXPECT_EQ(messages(), 0);
}

TEST_F(MainWindowOptions, AFailedSaveIsReportedOnce) {
    // corvane is a regular file here, so the options file can be neither read nor written.
    QFile blocker(dir_.corvane());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    EXPECT_EQ(switches(), "000");
    window_->close();
    window_->close();
    ASSERT_EQ(messages(), 1);
    EXPECT_TRUE(desktop_.calls()
                    .filter(QStringLiteral("message:"))
                    .first()
                    .contains(QStringLiteral("corvane.ini")));
    EXPECT_TRUE(QFileInfo(dir_.corvane()).isFile());
}

} // namespace

#include "app/gnome_f8_binding.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

// The real gsettings against a settings file of its own (the keyfile backend keeps it across
// processes, as dconf does in a session).
class GnomeF8BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        qputenv("XDG_CONFIG_HOME", home_.path().toLocal8Bit());
        qputenv("GSETTINGS_BACKEND", "keyfile");
    }
    void TearDown() override {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("GSETTINGS_BACKEND");
    }

    static QString get(const QString& schema, const QString& key) {
        QProcess gsettings;
        gsettings.start(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, key});
        gsettings.waitForFinished();
        return QString::fromUtf8(gsettings.readAllStandardOutput()).trimmed();
    }
    static QString list() {
        return get(QStringLiteral("org.gnome.settings-daemon.plugins.media-keys"),
                   QStringLiteral("custom-keybindings"));
    }
    static QString ours(const QString& key) {
        return get(
            QStringLiteral("org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:") +
                QString::fromLatin1(GnomeF8Binding::kPath),
            key);
    }

    QTemporaryDir home_;
};

const QString kMine =
    QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/");

} // namespace

TEST_F(GnomeF8BindingTest, OurEntryJoinsTheUsersShortcutsOnceAndLeavesAlone) {
    ASSERT_EQ(list(), QStringLiteral("@as []")) << "gnome-settings-daemon-common missing?";
    ASSERT_EQ(QProcess::execute(QStringLiteral("gsettings"),
                                {QStringLiteral("set"),
                                 QStringLiteral("org.gnome.settings-daemon.plugins.media-keys"),
                                 QStringLiteral("custom-keybindings"), "['" + kMine + "']"}),
              0);
    const GnomeF8Binding binding(QStringLiteral("/opt/my apps/qinglanque"));
    const QString both = "['" + kMine + "', '" + GnomeF8Binding::kPath + "']";
    for (int i = 0; i < 2; ++i) { // the second time changes nothing
        const GnomeF8Binding::Outcome outcome = binding.bind();
        EXPECT_TRUE(outcome.ok) << qPrintable(outcome.message);
        EXPECT_EQ(list(), both);
    }
    EXPECT_EQ(ours(QStringLiteral("command")),
              QStringLiteral("\"'/opt/my apps/qinglanque' --insert\""));
    EXPECT_EQ(ours(QStringLiteral("binding")), QStringLiteral("'F8'"));

    for (int i = 0; i < 2; ++i) { // unbinding twice is fine too
        const GnomeF8Binding::Outcome outcome = binding.unbind();
        EXPECT_TRUE(outcome.ok) << qPrintable(outcome.message);
        EXPECT_EQ(list(), "['" + kMine + "']");
    }
    EXPECT_EQ(ours(QStringLiteral("binding")), QStringLiteral("''"));
}

TEST_F(GnomeF8BindingTest, WithoutGsettingsOrGnomesSchemaItSaysSoAndChangesNothing) {
    const GnomeF8Binding missing(QStringLiteral("/usr/bin/qinglanque"),
                                 QStringLiteral("/nonexistent/gsettings"));
    const GnomeF8Binding::Outcome noCommand = missing.bind();
    EXPECT_FALSE(noCommand.ok);
    EXPECT_TRUE(noCommand.message.contains(QStringLiteral("libglib2.0-bin")));

    QTemporaryDir noSchemas;
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", noSchemas.path().toLocal8Bit());
    const GnomeF8Binding::Outcome noSchema = GnomeF8Binding(QStringLiteral("q")).bind();
    qputenv("XDG_DATA_DIRS", dataDirs);
    EXPECT_FALSE(noSchema.ok);
    EXPECT_TRUE(noSchema.message.contains(QStringLiteral("not installed")))
        << qPrintable(noSchema.message);
    // A store that forgets (no dconf, no session bus) is a failure, not "added".
    qputenv("GSETTINGS_BACKEND", "memory");
    const GnomeF8Binding::Outcome forgotten = GnomeF8Binding(QStringLiteral("q")).bind();
    EXPECT_FALSE(forgotten.ok);
    EXPECT_TRUE(forgotten.message.contains(QStringLiteral("did not stick")));
    qputenv("GSETTINGS_BACKEND", "keyfile");
    EXPECT_EQ(list(), QStringLiteral("@as []"));
}

TEST(GVariantStrings, ArraysAsGsettingsPrintsThemReadBack) {
    const struct {
        const char* text;
        std::optional<QStringList> values;
    } cases[] = {
        {"@as []", QStringList{}},
        {"['/a/', '/b/']", QStringList{"/a/", "/b/"}},
        {R"(["it's", 'back\\slash'])", QStringList{"it's", "back\\slash"}},
        {"'/a/'", std::nullopt},
        {"['/a/' '/b/']", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseGVariantStrings(QString::fromUtf8(c.text)), c.values) << c.text;
    const QStringList odd{"it's", "a\\b", "青岚"};
    EXPECT_EQ(parseGVariantStrings(gvariantStrings(odd)), odd);
}

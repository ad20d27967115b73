#include "app/gnome_f8_binding.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qlq;
using namespace Qt::StringLiterals;

namespace {

const QString kKeys = u"org.gnome.settings-daemon.plugins.media-keys"_s;
const QString kMine =
    u"/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/"_s;

// The real gsettings against a settings file of its own (the keyfile backend keeps it across
// processes, as dconf does in a session).
struct GnomeF8BindingTest : ::testing::Test {
    QTemporaryDir home_;

    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        qputenv("XDG_CONFIG_HOME", home_.path().toLocal8Bit());
        qputenv("GSETTINGS_BACKEND", "keyfile");
    }
    void TearDown() override {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("GSETTINGS_BACKEND");
    }
    static QString gsettings(const QStringList& arguments) {
        QProcess gsettings;
        gsettings.start(u"gsettings"_s, arguments);
        gsettings.waitForFinished();
        return QString::fromUtf8(gsettings.readAllStandardOutput()).trimmed();
    }
    static QString list() { return gsettings({u"get"_s, kKeys, u"custom-keybindings"_s}); }
    static QString ours(const QString& key) {
        return gsettings({u"get"_s, kKeys + u".custom-keybinding:"_s + GnomeF8Binding::kPath, key});
    }
};

} // namespace

TEST_F(GnomeF8BindingTest, OurEntryJoinsTheUsersShortcutsOnceAndLeavesAlone) {
    ASSERT_EQ(list(), u"@as []"_s) << "gnome-settings-daemon-common missing?";
    gsettings({u"set"_s, kKeys, u"custom-keybindings"_s, "['" + kMine + "']"});
    const GnomeF8Binding binding(u"/opt/my apps/qinglanque"_s);
    for (const bool bind : {true, true, false, false}) { // the second time changes nothing
        const GnomeF8Binding::Outcome outcome = bind ? binding.bind() : binding.unbind();
        EXPECT_TRUE(outcome.ok) << qPrintable(outcome.message);
        EXPECT_EQ(list(), "['" + kMine + (bind ? u"', '"_s + GnomeF8Binding::kPath : u""_s) + "']");
        EXPECT_EQ(ours(u"binding"_s), bind ? u"'F8'"_s : u"''"_s);
        EXPECT_EQ(ours(u"command"_s), bind ? u"\"'/opt/my apps/qinglanque' --insert\""_s : u"''"_s);
    }
}

TEST_F(GnomeF8BindingTest, WithoutGsettingsOrGnomesSchemaItSaysSoAndChangesNothing) {
    const auto failsSaying = [](const GnomeF8Binding::Outcome& outcome, const QString& why) {
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.message.contains(why)) << qPrintable(outcome.message);
    };
    failsSaying(GnomeF8Binding(u"/usr/bin/qinglanque"_s, u"/nonexistent/gsettings"_s).bind(),
                u"libglib2.0-bin"_s);
    QTemporaryDir noSchemas;
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", noSchemas.path().toLocal8Bit());
    failsSaying(GnomeF8Binding(u"q"_s).bind(), u"not installed"_s);
    qputenv("XDG_DATA_DIRS", dataDirs);
    // A store that forgets (no dconf, no session bus) is a failure, not "added".
    qputenv("GSETTINGS_BACKEND", "memory");
    failsSaying(GnomeF8Binding(u"q"_s).bind(), u"did not stick"_s);
    qputenv("GSETTINGS_BACKEND", "keyfile");
    EXPECT_EQ(list(), u"@as []"_s);
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

#include "data/profile_document.h"
#include "support/sample_options.h"

#include <gtest/gtest.h>

#include <random>

using qlq::ProfileDocument;

namespace {

std::optional<QString> read(const QByteArray& bytes, const char* section, const char* key) {
    return ProfileDocument::fromBytes(bytes).find(QString::fromUtf8(section),
                                                  QString::fromUtf8(key));
}

QByteArray written(const QByteArray& before, const char* section, const char* key,
                   const QString& value) {
    ProfileDocument document = ProfileDocument::fromBytes(before);
    EXPECT_TRUE(document.setValue(QString::fromUtf8(section), QString::fromUtf8(key), value));
    return document.toBytes();
}

} // namespace

TEST(ProfileDocumentRead, FollowsTheProfileRules) {
    const QByteArray file =
        "k=before any section\r\n; t=commented out\r\n  [ T1 ]  \r\n  T = " + kGbkOwnTail +
        "  \r\nt=second key loses\r\nno equals sign\r\nq1=\"  quoted  \"\r\n"
        "q2='single'\r\nq3=\"mixed'\r\nq4=\"\"\r\nq5=a=b\r\n"
        "[peizhi] ;\x81]\r\n" // a GBK character whose second byte is ']'
        "Check1=1\r\n[t1]\r\nt=second section loses\r\nextra=lost\r\n";
    const struct {
        const char* section;
        const char* key;
        std::optional<QString> expected;
    } cases[] = {
        {"t1", "t", kOwnTail},
        {"t1", "q1", QStringLiteral("  quoted  ")},
        {"t1", "q2", QStringLiteral("single")},
        {"t1", "q3", QStringLiteral("\"mixed'")},
        {"t1", "q4", QString()},
        {"t1", "q5", QStringLiteral("a=b")},
        {" PEIZHI ", "check1 ", QStringLiteral("1")},
        {"t1", "extra", std::nullopt},
        {"t1", "no equals sign", std::nullopt},
        {"", "k", std::nullopt},
        {"missing", "t", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(file, c.section, c.key), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(read(QByteArray(), "t1", "t"), std::nullopt);
}

TEST(ProfileDocumentRead, AnyLineEndingAndNoFinalOne) {
    for (const QByteArray& file : {QByteArray("[a]\nx=1\ny=2"), QByteArray("[a]\rx=1\ry=2\r"),
                                   QByteArray("[a]\r\nx=1\ny=2\r")}) {
        EXPECT_EQ(read(file, "a", "x"), QStringLiteral("1")) << file.constData();
        EXPECT_EQ(read(file, "a", "y"), QStringLiteral("2")) << file.constData();
        EXPECT_EQ(ProfileDocument::fromBytes(file).toBytes(), file);
    }
}

TEST(ProfileDocumentWrite, ChangesOnlyTheLinesItMust) {
    const QByteArray head = "; options\r\n[T1]\n  T  =  old  \n";
    const QByteArray tail = "\r\n[Peizhi]\r\ncheck1=0\r\n; about b\r\n\r\n[t1]\r\nt=dup\r\n";
    EXPECT_EQ(written(head + tail, "t1", "t", QStringLiteral("new")),
              "; options\r\n[T1]\nT=new\n" + tail);
    EXPECT_EQ(written(head + tail, "peizhi", "weiba", QStringLiteral("1")),
              head + "\r\n[Peizhi]\r\ncheck1=0\r\nweiba=1\r\n; about b\r\n\r\n[t1]\r\nt=dup\r\n");
    EXPECT_EQ(written("[a]\r\n\r\n", "a", "k", QStringLiteral("v")), "[a]\r\nk=v\r\n\r\n");
    EXPECT_EQ(written("[a]\nx=1", "b", "k", QStringLiteral("v")), "[a]\nx=1\r\n[b]\r\nk=v\r\n");
    EXPECT_EQ(written("[a]\nx=1", "a", "k", QStringLiteral("v")), "[a]\nx=1\r\nk=v\r\n");
}

TEST(ProfileDocumentWrite, ValuesReadBackExactlyAndWhole) {
    const QString chinese200 = kOwnTail.mid(1, 16).repeated(13).left(200);
    const QString values[] = {QStringLiteral(" lead"),    QStringLiteral("trail\t"),
                              QStringLiteral("  "),       QStringLiteral("\"quoted\""),
                              QStringLiteral("'single'"), QStringLiteral("\""),
                              QStringLiteral("a\"b'"),    QStringLiteral("　全角空格　"),
                              QString(300, u'x'),         chinese200,
                              QStringLiteral("emoji 😀"),  QStringLiteral("x=y;[z]")};
    for (const QString& value : values) {
        const QByteArray bytes = written(QByteArray(), "t1", "t", value);
        EXPECT_EQ(read(bytes, "t1", "t"), value) << bytes.constData();
    }
    EXPECT_EQ(written(QByteArray(), "t1", "t", chinese200),
              "[t1]\r\nt=" + kGbkOwnTail.mid(1, 32).repeated(13).left(400) + "\r\n");
    EXPECT_EQ(written(QByteArray(), "t1", "t", QStringLiteral("a\r\nb\nc")),
              "[t1]\r\nt=a  b c\r\n");
}

TEST(ProfileDocumentWrite, Utf8FileStaysUtf8) {
    for (const QByteArray& bom : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        const QByteArray after =
            written(bom + "[t1]\r\nt=中文\r\n", "t1", "t", QStringLiteral("青岚雀"));
        EXPECT_EQ(after, bom + "[t1]\r\nt=青岚雀\r\n");
        EXPECT_EQ(read(after, "t1", "t"), QStringLiteral("青岚雀"));
    }
}

// Arbitrary input: nothing is lost that was not written to, and a write always reads back.
TEST(ProfileDocumentWrite, ArbitraryBytesSurvive) {
    const char alphabet[] = {'[', ']',    '=',    ';',    ' ',    '\r',   '\n',   'k', 'T',
                             '"', '\x81', '\xce', '\xb2', '\xef', '\xbb', '\xbf', '\0'};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        for (int i = static_cast<int>(random() % 40); i > 0; --i)
            bytes += alphabet[random() % sizeof(alphabet)];
        ProfileDocument document = ProfileDocument::fromBytes(bytes);
        ASSERT_EQ(document.toBytes(), bytes);
        ASSERT_TRUE(
            document.setValue(QStringLiteral("k"), QStringLiteral("T"), QStringLiteral("v")));
        ASSERT_EQ(read(document.toBytes(), "K", "t"), QStringLiteral("v"))
            << bytes.toHex().constData();
    }
}

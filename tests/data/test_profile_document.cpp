// Arbitrary bytes surviving a read and a write are left to the fuzz target.
#include "data/profile_document.h"
#include "support/sample_options.h"

#include <gtest/gtest.h>

using qlq::ProfileDocument;
using namespace Qt::StringLiterals;

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

TEST(ProfileDocument, ReadsByTheProfileRules) {
    const QByteArray file =
        "k=before any section\r\n; t=commented out\r\n  [ T1 ]  \r\n  T = " + kGbkOwnTail +
        "  \r\nt=second key loses\r\nq1=\"  quoted  \"\r\n"
        "q2=\"mixed'\r\nq3=a=b\r\nq4='single'\r\n[peizhi] ;\x81]\r\n" // GBK trail byte ']'
        "Check1=1\nextra=x\r[t1]\r\nt=second section loses\r\nlost=1";
    const struct {
        const char *section, *key;
        std::optional<QString> expected;
    } cases[] = {
        {"t1", "t", kOwnTail},           {"t1", "q1", u"  quoted  "_s},
        {"t1", "q2", u"\"mixed'"_s},     {"t1", "q3", u"a=b"_s},
        {" PEIZHI ", "check1 ", u"1"_s}, {"peizhi", "extra", u"x"_s},
        {"t1", "q4", u"single"_s},       {"t1", "lost", std::nullopt},
        {"", "k", std::nullopt},         {"missing", "t", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(file, c.section, c.key), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(read(QByteArray(), "t1", "t"), std::nullopt);
    EXPECT_EQ(ProfileDocument::fromBytes(file).toBytes(), file);
}

TEST(ProfileDocument, WriteChangesOnlyItsLineAndReadsBackExactly) {
    const QByteArray head = "; options\r\n[T1]\n  T  =  old  \n";
    const QByteArray tail = "\r\n[Peizhi]\r\ncheck1=0\r\n; about b\r\n\r\n[t1]\r\nt=dup\r\n";
    EXPECT_EQ(written(head + tail, "t1", "t", u"new"_s), "; options\r\n[T1]\nT=new\n" + tail);
    EXPECT_EQ(written(head + tail, "peizhi", "weiba", u"1"_s),
              head + "\r\n[Peizhi]\r\ncheck1=0\r\nweiba=1\r\n; about b\r\n\r\n[t1]\r\nt=dup\r\n");
    EXPECT_EQ(written("[a]\nx=1", "b", "k", u"v"_s), "[a]\nx=1\r\n[b]\r\nk=v\r\n");
    EXPECT_EQ(written(QByteArray(), "t1", "t", u"a\r\nb"_s), "[t1]\r\nt=a  b\r\n");

    for (const QString& value : {u" lead"_s, u"trail\t"_s, u"\"quoted\""_s, u"a\"b'"_s,
                                 u"　全角空格　"_s, QString(300, u'x'), u"emoji 😀"_s}) {
        const QByteArray bytes = written(QByteArray(), "t1", "t", value);
        EXPECT_EQ(read(bytes, "t1", "t"), value) << bytes.constData();
    }
    for (const QByteArray& bom : {QByteArray(), QByteArray("\xEF\xBB\xBF")})
        EXPECT_EQ(written(bom + "[t1]\r\nt=中文\r\n", "t1", "t", u"青岚雀"_s),
                  bom + "[t1]\r\nt=青岚雀\r\n");
}

TEST(ProfileDocument, KeepsItsEncodingAndEveryByteItDoesNotChange) {
    // Code page 936's "€" and a byte nothing decodes read back and are written back as they were,
    // so closing the program does not rewrite the file.
    for (const QByteArray& file :
         {QByteArray("[t1]\r\nt=price \x80\r\n"), QByteArray("[t1]\r\nt = price \xFF\r\n")}) {
        ProfileDocument document = ProfileDocument::fromBytes(file);
        EXPECT_TRUE(document.setValue(u"t1"_s, u"t"_s, document.value(u"t1"_s, u"t"_s)));
        EXPECT_EQ(document.toBytes(), file);
    }
    EXPECT_EQ(read("[t1]\r\nt=price \x80\r\n", "t1", "t"), u"price €"_s);
    EXPECT_EQ(written("[t1]\r\nt=\x80\r\n", "t1", "t", u"€ 1"_s), "[t1]\r\nt=\x80 1\r\n");

    // UTF-16 ("Unicode" and "Unicode big endian" in Notepad): new lines are in it too.
    for (const bool bigEndian : {false, true}) {
        const auto utf16 = [bigEndian](const QString& text) {
            QByteArray bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            for (const QChar c : text)
                bytes.append(char(bigEndian ? c.row() : c.cell()))
                    .append(char(bigEndian ? c.cell() : c.row()));
            return bytes;
        };
        EXPECT_EQ(read(utf16(u"[t1]\r\nt=尾巴\r\n"_s), "t1", "t"), u"尾巴"_s);
        EXPECT_EQ(written(utf16(u"; 注释\r\n[t1]\r\nt=尾巴\r\n"_s), "t1", "t", u"青岚雀"_s),
                  utf16(u"; 注释\r\n[t1]\r\nt=青岚雀\r\n"_s));
        EXPECT_EQ(written(utf16(u"[t1]\nt=尾巴"_s), "peizhi", "Check1", u"1"_s),
                  utf16(u"[t1]\nt=尾巴\r\n[peizhi]\r\nCheck1=1\r\n"_s));
    }

    // A UTF-8 file whose own tail loses its last CJK character would read as GB18030 next time:
    // it gets a mark in front.
    const QByteArray bytes = written("[t1]\r\nt=尾巴\r\n", "t1", "t", u"café"_s);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF[t1]\r\nt=caf\xC3\xA9\r\n");
    EXPECT_EQ(read(bytes, "t1", "t"), u"café"_s);
}

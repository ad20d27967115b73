#pragma once

#include "text/text_encoding.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace qlq {

// A private-profile file ("[section]" lines followed by "key=value" lines), kept as its raw lines
// so that a write changes only the line it has to: every other line, comment and blank line goes
// back byte for byte, with its own line ending.
//
// Reading follows the classic profile rules: section and key names match without regard to case,
// blanks around names and values are ignored, one pair of surrounding quotes is dropped, and
// where a section or key appears twice the first one counts.
class ProfileDocument {
public:
    // An empty document; written out it becomes a new GB18030 file.
    ProfileDocument() = default;

    static ProfileDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    TextEncoding encoding() const { return encoding_; }

    // The stored value, or nothing when the section or the key is absent.
    std::optional<QString> find(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key) const;

    // Creates or replaces the value so that it reads back exactly, apart from line breaks, which
    // a profile line cannot hold: each becomes a space. Fails only when the text cannot be
    // encoded.
    bool setValue(const QString& section, const QString& key, const QString& value);

private:
    enum class Kind { Other, Section, Key };

    struct Line {
        QByteArray content; // without the line ending
        QByteArray ending;  // "\r\n", "\n", "\r" or empty for an unended last line
        Kind kind = Kind::Other;
        QString sectionName;    // for a section line
        qsizetype keyBegin = 0; // for a key line: the name's bytes, blanks around them excluded
        qsizetype keyEnd = 0;
        qsizetype equals = 0; // position of the first '='
    };

    // Where a section's lines lie: its header and the lines up to the next header.
    struct SectionSpan {
        std::size_t header = 0;
        std::size_t end = 0; // one past its last line
    };

    TextEncoding lineEncoding() const;
    QString decode(QByteArrayView bytes) const;
    void classify(Line& line) const;
    std::optional<SectionSpan> findSection(const QString& section) const;
    std::optional<std::size_t> findKey(const SectionSpan& span, const QString& key) const;
    // Gives the line before a line end if it had none, so the new line starts a line of its own.
    void insertLine(std::size_t at, Line line);

    TextEncoding encoding_ = TextEncoding::Gb18030;
    QByteArray bom_;
    std::vector<Line> lines_;
};

} // namespace qlq

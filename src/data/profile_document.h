#pragma once

#include "text/text_encoding.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace qlq {

// A private-profile file ("[section]" lines followed by "key=value" lines), kept as its decoded
// lines so that a write changes only the line it has to. Decoding keeps every byte (undecodable
// ones as escapes), so every other line, comment and blank line goes back byte for byte, with its
// own line ending, in the file's own encoding: GB18030, code page 936, UTF-8 or UTF-16LE.
//
// Reading follows the classic profile rules: section and key names match without regard to case,
// blanks around names and values are ignored, one pair of surrounding quotes is dropped, and
// where a section or key appears twice the first one counts.
class ProfileDocument {
public:
    // An empty document; written out it becomes a new GB18030 file.
    ProfileDocument() = default;

    static ProfileDocument fromBytes(const QByteArray& bytes);
    // The file's bytes, read back by fromBytes as the same document (encodeForFile): where the
    // edit would make the file read otherwise, a UTF-8 file gets a mark in front, and so on.
    QByteArray toBytes() const;

    TextEncoding encoding() const { return encoding_; }

    // The stored value, or nothing when the section or the key is absent. Undecodable bytes in
    // it are escapes: show it through textForDisplay.
    std::optional<QString> find(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key) const;

    // Creates or replaces the value so that it reads back exactly, apart from line breaks, which
    // a profile line cannot hold: each becomes a space. A value that already reads back so leaves
    // its line alone. Fails only when the text cannot be encoded.
    bool setValue(const QString& section, const QString& key, const QString& value);

private:
    enum class Kind { Other, Section, Key };

    struct Line {
        QString content; // without the line ending
        QString ending;  // "\r\n", "\n", "\r" or empty for an unended last line
        Kind kind = Kind::Other;
        QString sectionName;    // for a section line
        qsizetype keyBegin = 0; // for a key line: the name, blanks around it excluded
        qsizetype keyEnd = 0;
        qsizetype equals = 0; // position of the first '='
    };

    // Where a section's lines lie: its header and the lines up to the next header.
    struct SectionSpan {
        std::size_t header = 0;
        std::size_t end = 0; // one past its last line
    };

    static void classify(Line& line);
    // The line as it will read back from the file, or nothing when it cannot be encoded.
    std::optional<QString> storedLine(const QString& content) const;
    std::optional<SectionSpan> findSection(const QString& section) const;
    std::optional<std::size_t> findKey(const SectionSpan& span, const QString& key) const;
    // Gives the line before a line end if it had none, so the new line starts a line of its own.
    void insertLine(std::size_t at, Line line);

    TextEncoding encoding_ = TextEncoding::Gb18030;
    std::vector<Line> lines_;
};

} // namespace qlq

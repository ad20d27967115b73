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
// own line ending, in the file's own encoding: GB18030, code page 936, UTF-8 or UTF-16.
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
    // A section or key line, as offsets into the text; other lines (comments, blanks) need no
    // record, which keeps a file of a million blank lines cheap.
    struct Entry {
        bool section = false;
        qsizetype lineBegin = 0; // the line's first character
        qsizetype lineEnd = 0;   // where its content ends, before the line ending
        qsizetype nextLine = 0;  // after its line ending
        qsizetype nameBegin = 0; // the section's or key's name, blanks around it excluded
        qsizetype nameEnd = 0;
        qsizetype equals = 0; // a key line's first '='
    };

    // Where a section's entries lie: its header and the entries up to the next header.
    struct SectionSpan {
        std::size_t header = 0;
        std::size_t end = 0; // one past its last entry
    };

    void parse();
    QStringView name(const Entry& entry) const;
    // The line as it will read back from the file, or nothing when it cannot be encoded.
    std::optional<QString> storedLine(const QString& content) const;
    std::optional<SectionSpan> findSection(const QString& section) const;
    std::optional<std::size_t> findKey(const SectionSpan& span, const QString& key) const;
    // Puts a line (ended by CR LF) at `at`; a last line without an ending first gets one.
    void insertLine(qsizetype at, const QString& content);

    TextEncoding encoding_ = TextEncoding::Gb18030;
    QString text_;
    std::vector<Entry> entries_;
};

} // namespace qlq

#include "data/profile_document.h"

#include "text/byte_escape.h"
#include "text/file_encoder.h"
#include "text/text_codec.h"

namespace qlq {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Only ASCII blanks count: a full-width space (U+3000) at the edge of a value is the user's text.
bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\v' || u == u'\f';
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool hasSurroundingQuotes(const QString& text) {
    return text.size() >= 2 && isQuote(text.front()) && text.back() == text.front();
}

// Line breaks would split the entry: each becomes a space. A lone surrogate has no encoding at
// all, unless it is an escape: a byte that came from the file and goes back as it was.
QString storable(const QString& value) {
    QString out = value;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = out.at(i);
        if (c == u'\r' || c == u'\n') {
            out[i] = u' ';
        } else if (c.isHighSurrogate() && i + 1 < n && out.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate() && !isEscape(c.unicode())) {
            out[i] = QChar::ReplacementCharacter;
        }
    }
    return out;
}

// Blanks at either end, or quotes that a read would drop, need one pair of quotes around them to
// come back as they were.
QString quotedForWriting(const QString& value) {
    if (value.isEmpty())
        return value;
    if (isBlank(value.front()) || isBlank(value.back()) || hasSurroundingQuotes(value))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

} // namespace

ProfileDocument ProfileDocument::fromBytes(const QByteArray& bytes) {
    ProfileDocument document;
    DecodedText decoded = decodeText(bytes);
    document.encoding_ = decoded.encoding;
    document.text_ = std::move(decoded.text);
    document.parse();
    return document;
}

QByteArray ProfileDocument::toBytes() const {
    // Every line was decoded from the file or checked by storedLine, so this cannot fail.
    std::optional<EncodedFile> file = encodeForFile(text_, encoding_);
    return file ? std::move(file->bytes) : QByteArray();
}

// One pass over the text; a line ends at CR LF, CR or LF.
void ProfileDocument::parse() {
    entries_.clear();
    const QChar* text = text_.constData();
    const qsizetype n = text_.size();
    qsizetype begin = 0;
    while (begin < n) {
        qsizetype end = begin;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        qsizetype next = end;
        if (next < n)
            next += text[next] == u'\r' && next + 1 < n && text[next + 1] == u'\n' ? 2 : 1;

        Entry entry{false, begin, end, next, 0, 0, 0};
        qsizetype p = begin;
        while (p < end && isBlank(text[p]))
            ++p;
        bool keep = false;
        if (p < end && text[p] == u'[') {
            qsizetype close = end;
            while (close > p && text[close - 1] != u']')
                --close;
            if (close - 1 > p) {
                entry.section = true;
                entry.nameBegin = p + 1;
                entry.nameEnd = close - 1;
                keep = true;
            }
        }
        if (!keep && p < end && text[p] != u';') {
            qsizetype equals = p;
            while (equals < end && text[equals] != u'=')
                ++equals;
            qsizetype nameEnd = equals;
            while (nameEnd > p && isBlank(text[nameEnd - 1]))
                --nameEnd;
            // A line without '=' or without a name: nothing can look it up.
            if (equals < end && nameEnd > p) {
                entry.nameBegin = p;
                entry.nameEnd = nameEnd;
                entry.equals = equals;
                keep = true;
            }
        }
        if (keep)
            entries_.push_back(entry);
        begin = next;
    }
}

QStringView ProfileDocument::name(const Entry& entry) const {
    QStringView name = QStringView(text_).sliced(entry.nameBegin, entry.nameEnd - entry.nameBegin);
    while (!name.isEmpty() && isBlank(name.front()))
        name = name.sliced(1);
    while (!name.isEmpty() && isBlank(name.back()))
        name.chop(1);
    return name;
}

std::optional<QString> ProfileDocument::storedLine(const QString& content) const {
    const std::optional<QByteArray> bytes = encodePart(content, encoding_);
    if (!bytes)
        return std::nullopt;
    // An escape the edit joined to its neighbours comes back as U+FFFD; keep what the file says.
    return decodePart(*bytes, encoding_);
}

std::optional<ProfileDocument::SectionSpan>
ProfileDocument::findSection(const QString& section) const {
    const QString wanted = trimBlanks(section);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!entries_[i].section || name(entries_[i]).compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        SectionSpan span{i, i + 1};
        while (span.end < entries_.size() && !entries_[span.end].section)
            ++span.end;
        return span;
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::findKey(const SectionSpan& span,
                                                    const QString& key) const {
    const QString wanted = trimBlanks(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (name(entries_[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

std::optional<QString> ProfileDocument::find(const QString& section, const QString& key) const {
    const std::optional<SectionSpan> span = findSection(section);
    if (!span)
        return std::nullopt;
    const std::optional<std::size_t> index = findKey(*span, key);
    if (!index)
        return std::nullopt;
    const Entry& entry = entries_[*index];
    QString value = trimBlanks(text_.sliced(entry.equals + 1, entry.lineEnd - entry.equals - 1));
    if (hasSurroundingQuotes(value))
        value = value.mid(1, value.size() - 2);
    return value;
}

QString ProfileDocument::value(const QString& section, const QString& key) const {
    return find(section, key).value_or(QString());
}

bool ProfileDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QString stored = storable(value);
    // Already there: the line keeps its spacing, quotes and bytes.
    if (find(section, key) == stored)
        return true;
    const QString written = quotedForWriting(stored);

    const std::optional<SectionSpan> span = findSection(section);
    const std::optional<std::size_t> index = span ? findKey(*span, key) : std::nullopt;
    if (index) {
        const Entry entry = entries_[*index];
        const std::optional<QString> content = storedLine(name(entry).toString() + u'=' + written);
        if (!content)
            return false;
        text_.replace(entry.lineBegin, entry.lineEnd - entry.lineBegin, *content);
        parse();
        return true;
    }

    const std::optional<QString> keyContent = storedLine(trimBlanks(key) + u'=' + written);
    if (!keyContent)
        return false;
    if (span) {
        // After the section's last key, or right after its header.
        insertLine(entries_[span->end - 1].nextLine, *keyContent);
        return true;
    }
    const std::optional<QString> header = storedLine(u'[' + trimBlanks(section) + u']');
    if (!header)
        return false;
    insertLine(text_.size(), *header);
    insertLine(text_.size(), *keyContent);
    return true;
}

void ProfileDocument::insertLine(qsizetype at, const QString& content) {
    // The line before may be the file's last one, left without a line end.
    if (at > 0 && at == text_.size() && text_.back() != u'\r' && text_.back() != u'\n') {
        text_ += kCrLf;
        at = text_.size();
    }
    text_.insert(at, content + kCrLf);
    parse();
}

} // namespace qlq

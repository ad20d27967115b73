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
    const DecodedText decoded = decodeText(bytes);
    document.encoding_ = decoded.encoding;
    const QString& text = decoded.text;
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        qsizetype next = end;
        if (next < n)
            next += text[next] == u'\r' && next + 1 < n && text[next + 1] == u'\n' ? 2 : 1;
        Line line;
        line.content = text.sliced(start, end - start);
        line.ending = text.sliced(end, next - end);
        classify(line);
        document.lines_.push_back(std::move(line));
        start = next;
    }
    return document;
}

QByteArray ProfileDocument::toBytes() const {
    qsizetype size = 0;
    for (const Line& line : lines_)
        size += line.content.size() + line.ending.size();
    QString text;
    text.reserve(size);
    for (const Line& line : lines_) {
        text += line.content;
        text += line.ending;
    }
    // Every line was decoded from the file or checked by storedLine, so this cannot fail.
    std::optional<EncodedFile> file = encodeForFile(text, encoding_);
    return file ? std::move(file->bytes) : QByteArray();
}

std::optional<QString> ProfileDocument::storedLine(const QString& content) const {
    const std::optional<QByteArray> bytes = encodePart(content, encoding_);
    if (!bytes)
        return std::nullopt;
    // An escape the edit joined to its neighbours comes back as U+FFFD; keep what the file says.
    return decodePart(*bytes, encoding_);
}

void ProfileDocument::classify(Line& line) {
    line.kind = Kind::Other;
    line.sectionName.clear();
    const QString& content = line.content;
    qsizetype p = 0;
    while (p < content.size() && isBlank(content[p]))
        ++p;
    if (p == content.size() || content[p] == u';')
        return;
    if (content[p] == u'[') {
        const qsizetype close = content.lastIndexOf(u']');
        if (close > p) {
            line.kind = Kind::Section;
            line.sectionName = trimBlanks(content.mid(p + 1, close - p - 1));
            return;
        }
    }
    const qsizetype equals = content.indexOf(u'=', p);
    if (equals < 0)
        return;
    qsizetype keyEnd = equals;
    while (keyEnd > p && isBlank(content[keyEnd - 1]))
        --keyEnd;
    if (keyEnd == p)
        return; // no name: nothing can look it up
    line.kind = Kind::Key;
    line.keyBegin = p;
    line.keyEnd = keyEnd;
    line.equals = equals;
}

std::optional<ProfileDocument::SectionSpan>
ProfileDocument::findSection(const QString& section) const {
    const QString wanted = trimBlanks(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind != Kind::Section ||
            line.sectionName.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        SectionSpan span{i, i + 1};
        while (span.end < lines_.size() && lines_[span.end].kind != Kind::Section)
            ++span.end;
        return span;
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::findKey(const SectionSpan& span,
                                                    const QString& key) const {
    const QString wanted = trimBlanks(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const Line& line = lines_[i];
        if (line.kind != Kind::Key)
            continue;
        const QStringView name =
            QStringView(line.content).sliced(line.keyBegin, line.keyEnd - line.keyBegin);
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
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
    const Line& line = lines_[*index];
    QString value = trimBlanks(line.content.sliced(line.equals + 1));
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
        Line& line = lines_[*index];
        const std::optional<QString> content = storedLine(
            line.content.mid(line.keyBegin, line.keyEnd - line.keyBegin) + u'=' + written);
        if (!content)
            return false;
        line.content = *content;
        classify(line);
        return true;
    }

    const std::optional<QString> keyContent = storedLine(trimBlanks(key) + u'=' + written);
    if (!keyContent)
        return false;
    Line keyLine;
    keyLine.content = *keyContent;
    keyLine.ending = kCrLf;
    classify(keyLine);

    if (span) {
        std::size_t after = span->header;
        for (std::size_t i = span->header + 1; i < span->end; ++i) {
            if (lines_[i].kind == Kind::Key)
                after = i;
        }
        insertLine(after + 1, std::move(keyLine));
        return true;
    }

    const std::optional<QString> headerContent = storedLine(u'[' + trimBlanks(section) + u']');
    if (!headerContent)
        return false;
    Line header;
    header.content = *headerContent;
    header.ending = kCrLf;
    classify(header);
    insertLine(lines_.size(), std::move(header));
    insertLine(lines_.size(), std::move(keyLine));
    return true;
}

void ProfileDocument::insertLine(std::size_t at, Line line) {
    // The line before may be the file's last one, left without a line end.
    if (at > 0 && lines_[at - 1].ending.isEmpty())
        lines_[at - 1].ending = kCrLf;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

} // namespace qlq

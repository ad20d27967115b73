#include "data/profile_document.h"

#include "text/text_codec.h"

namespace qlq {
namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

// Only ASCII blanks count: a full-width space (U+3000) at the edge of a value is the user's text.
bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\v' || u == u'\f';
}

bool isBlankByte(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
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

// Line breaks would split the entry; a lone surrogate has no encoding at all.
QString storable(const QString& value) {
    QString out;
    out.reserve(value.size());
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value.at(i);
        if (c == u'\r' || c == u'\n') {
            out.append(u' ');
        } else if (c.isHighSurrogate() && i + 1 < n && value.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(value.at(++i));
        } else if (c.isSurrogate()) {
            out.append(QChar::ReplacementCharacter);
        } else {
            out.append(c);
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
    document.encoding_ = detectEncoding(bytes);
    QByteArrayView body(bytes);
    if (document.encoding_ == TextEncoding::Utf8WithBom) {
        document.bom_ = bytes.left(3);
        body = body.sliced(3);
    }
    const qsizetype n = body.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && body[end] != '\r' && body[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < n)
            next += body[next] == '\r' && next + 1 < n && body[next + 1] == '\n' ? 2 : 1;
        Line line;
        line.content = body.sliced(start, end - start).toByteArray();
        line.ending = body.sliced(end, next - end).toByteArray();
        document.classify(line);
        document.lines_.push_back(std::move(line));
        start = next;
    }
    return document;
}

QByteArray ProfileDocument::toBytes() const {
    qsizetype size = bom_.size();
    for (const Line& line : lines_)
        size += line.content.size() + line.ending.size();
    QByteArray out;
    out.reserve(size);
    out += bom_;
    for (const Line& line : lines_) {
        out += line.content;
        out += line.ending;
    }
    return out;
}

TextEncoding ProfileDocument::lineEncoding() const {
    // The mark sits in front of the first line, not in any line.
    return encoding_ == TextEncoding::Gb18030 ? TextEncoding::Gb18030 : TextEncoding::Utf8;
}

QString ProfileDocument::decode(QByteArrayView bytes) const {
    return decodeAs(bytes, lineEncoding());
}

// Works on the raw bytes where that is safe: blanks, '[', ';', '=' and line ends are never part
// of a multi-byte character in GB18030 or UTF-8 when they start a line. ']' can be the second
// byte of a GBK character, so a section name is looked for in the decoded text.
void ProfileDocument::classify(Line& line) const {
    line.kind = Kind::Other;
    line.sectionName.clear();
    const QByteArray& content = line.content;
    qsizetype p = 0;
    while (p < content.size() && isBlankByte(content[p]))
        ++p;
    if (p == content.size() || content[p] == ';')
        return;
    if (content[p] == '[') {
        const QString text = decode(QByteArrayView(content).sliced(p));
        const qsizetype close = text.lastIndexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.sectionName = trimBlanks(text.mid(1, close - 1));
            return;
        }
    }
    const qsizetype equals = content.indexOf('=', p);
    if (equals < 0)
        return;
    qsizetype keyEnd = equals;
    while (keyEnd > p && isBlankByte(content[keyEnd - 1]))
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
        const QString name =
            decode(QByteArrayView(line.content).sliced(line.keyBegin, line.keyEnd - line.keyBegin));
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
    QString value = trimBlanks(decode(QByteArrayView(line.content).sliced(line.equals + 1)));
    if (hasSurroundingQuotes(value))
        value = value.mid(1, value.size() - 2);
    return value;
}

QString ProfileDocument::value(const QString& section, const QString& key) const {
    return find(section, key).value_or(QString());
}

bool ProfileDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const std::optional<QByteArray> encodedValue =
        encodeText(quotedForWriting(storable(value)), lineEncoding());
    if (!encodedValue)
        return false;

    const std::optional<SectionSpan> span = findSection(section);
    const std::optional<std::size_t> index = span ? findKey(*span, key) : std::nullopt;
    if (index) {
        Line& line = lines_[*index];
        line.content =
            line.content.mid(line.keyBegin, line.keyEnd - line.keyBegin) + '=' + *encodedValue;
        classify(line);
        return true;
    }

    const std::optional<QByteArray> encodedKey = encodeText(trimBlanks(key), lineEncoding());
    if (!encodedKey)
        return false;
    Line keyLine;
    keyLine.content = *encodedKey + '=' + *encodedValue;
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

    const std::optional<QByteArray> encodedSection =
        encodeText(trimBlanks(section), lineEncoding());
    if (!encodedSection)
        return false;
    Line header;
    header.content = '[' + *encodedSection + ']';
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

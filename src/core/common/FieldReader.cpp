#include "common/FieldReader.h"

#include <algorithm>
#include <utility>

namespace {

constexpr qsizetype kKeepRead = qsizetype(64) * 1024;

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

// What is kept of one field or line: its first characters and, once a mark
// has been seen, the mark and the characters after it, up to a limit each.
class FieldReader::Kept
{
public:
    explicit Kept(qsizetype keep, QChar mark = {})
        : m_keep(keep)
        , m_limit(keep)
        , m_mark(mark)
    {
    }

    void add(QStringView run)
    {
        if (!m_mark.isNull()) {
            const qsizetype at = run.indexOf(m_mark);
            if (at >= 0) {
                take(run.first(at));
                text += m_mark;
                m_mark = QChar();
                m_limit = text.size() + std::min(m_keep, kKeepAll - text.size());
                run = run.sliced(at + 1);
            }
        }
        take(run);
    }

    QString text;

private:
    void take(QStringView run)
    {
        const qsizetype room = m_limit - text.size();
        if (room > 0)
            text += run.first(std::min(room, run.size()));
    }

    qsizetype m_keep;
    qsizetype m_limit;
    QChar m_mark; // null once seen
};

FieldReader::FieldReader(QString text)
    : m_text(std::move(text))
{
}

FieldReader::FieldReader(MoreText more, qsizetype keep)
    : m_more(std::move(more))
    , m_keep(keep)
{
}

bool FieldReader::atEnd() const
{
    while (m_pos >= m_text.size()) {
        if (!m_more || !m_more(m_text))
            return true;
    }
    return false;
}

void FieldReader::dropRead()
{
    if (m_more && m_pos > kKeepRead) {
        m_text.remove(0, m_pos);
        m_pos = 0;
    }
}

bool FieldReader::atLineEnd() const
{
    return isLineEnd(m_text.at(m_pos));
}

template <typename Stop>
void FieldReader::passUntil(Kept &kept, Stop stop)
{
    while (!atEnd()) {
        const qsizetype start = m_pos;
        const qsizetype size = m_text.size();
        const QChar *data = m_text.constData();
        while (m_pos < size && !stop(data[m_pos]))
            ++m_pos;
        kept.add(QStringView(data + start, m_pos - start));
        if (m_pos < size)
            return;
        dropRead(); // all of it passed: a field or line of any length is held in part only
    }
}

void FieldReader::skipLineEnd()
{
    if (atEnd())
        return;
    if (m_text.at(m_pos) == u'\r') {
        ++m_pos;
        if (!atEnd() && m_text.at(m_pos) == u'\n')
            ++m_pos;
    } else if (m_text.at(m_pos) == u'\n') {
        ++m_pos;
    }
}

QString FieldReader::readLine(QChar mark)
{
    dropRead();
    Kept line(m_keep, mark);
    passUntil(line, isLineEnd);
    skipLineEnd();
    return std::move(line.text);
}

QString FieldReader::readField()
{
    dropRead();
    // Blank lines between fields are passed over, as a sequential field read does.
    while (!atEnd() && (m_text.at(m_pos) == u' ' || m_text.at(m_pos) == u'\t' || atLineEnd())) {
        ++m_pos;
        dropRead();
    }
    m_lastQuoted = false;
    if (atEnd())
        return {};

    Kept field(m_keep);
    const auto endsField = [](QChar c) { return c == u',' || isLineEnd(c); };
    if (m_text.at(m_pos) == u'"') {
        m_lastQuoted = true;
        ++m_pos;
        // A quote left open ends with its line: no value ever holds a line end.
        passUntil(field, [](QChar c) { return c == u'"' || isLineEnd(c); });
        if (!atEnd() && m_text.at(m_pos) == u'"')
            ++m_pos; // closing quote
        // Anything between the closing quote and the delimiter is not part of a field.
        Kept passedOver(0);
        passUntil(passedOver, endsField);
    } else {
        passUntil(field, endsField);
    }
    if (!atEnd()) {
        if (m_text.at(m_pos) == u',')
            ++m_pos;
        else
            skipLineEnd();
    }
    return std::move(field.text);
}

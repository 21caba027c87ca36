#include "common/FieldReader.h"

#include <utility>

namespace {
constexpr qsizetype kKeepRead = qsizetype(64) * 1024;
}

FieldReader::FieldReader(QString text)
    : m_text(std::move(text))
{
}

FieldReader::FieldReader(MoreText more)
    : m_more(std::move(more))
{
}

bool FieldReader::atEnd() const
{
    // The source gives whole lines, so a read in progress never waits on one.
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
    const QChar c = m_text.at(m_pos);
    return c == u'\r' || c == u'\n';
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

QString FieldReader::readLine()
{
    dropRead();
    atEnd(); // the line is there whole before it is read
    const qsizetype start = m_pos;
    while (!atEnd() && !atLineEnd())
        ++m_pos;
    QString line = m_text.mid(start, m_pos - start);
    skipLineEnd();
    return line;
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

    QString field;
    if (m_text.at(m_pos) == u'"') {
        m_lastQuoted = true;
        // A quote left open ends with its line: no value ever holds a line end.
        const qsizetype start = ++m_pos;
        while (!atEnd() && m_text.at(m_pos) != u'"' && !atLineEnd())
            ++m_pos;
        field = m_text.mid(start, m_pos - start);
        if (!atEnd() && m_text.at(m_pos) == u'"')
            ++m_pos; // closing quote
        // Anything between the closing quote and the delimiter is not part of a field.
        while (!atEnd() && m_text.at(m_pos) != u',' && !atLineEnd())
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (!atEnd() && m_text.at(m_pos) != u',' && !atLineEnd())
            ++m_pos;
        field = m_text.mid(start, m_pos - start);
    }
    if (!atEnd()) {
        if (m_text.at(m_pos) == u',')
            ++m_pos;
        else
            skipLineEnd();
    }
    return field;
}

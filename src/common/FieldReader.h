#pragma once

#include <QString>

// Reads a text in fields and in whole lines, both from the same position,
// the way the settings file, the guide and the file-statistics file are read.
//
// A field: blanks at its start are skipped; a field that begins with a double
// quote runs to the next double quote on its line (the quotes are dropped, and what follows
// up to the next comma or line end is passed over); any other field ends at a
// comma or at the end of the line. The comma or line end after a field is consumed.
class FieldReader
{
public:
    explicit FieldReader(QString text);

    bool atEnd() const { return m_pos >= m_text.size(); }
    // The next field; empty at the end of the text.
    QString readField();
    // The rest of the current line, up to CR LF, LF or a lone CR (consumed).
    QString readLine();
    // Whether the last field read began with a double quote.
    bool lastFieldQuoted() const { return m_lastQuoted; }

private:
    void skipLineEnd();
    bool atLineEnd() const;

    QString m_text;
    qsizetype m_pos = 0;
    bool m_lastQuoted = false;
};

#pragma once

#include <QString>

#include <functional>

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
    // Appends the next line of the text, with its line end, to the string;
    // false when the text has ended.
    using MoreText = std::function<bool(QString &text)>;

    explicit FieldReader(QString text);
    // Reads a text that arrives line by line: only the line being read and a
    // little behind it are held, however long the text.
    explicit FieldReader(MoreText more);

    bool atEnd() const;
    // The next field; empty at the end of the text.
    QString readField();
    // The rest of the current line, up to CR LF, LF or a lone CR (consumed).
    QString readLine();
    // Whether the last field read began with a double quote.
    bool lastFieldQuoted() const { return m_lastQuoted; }

private:
    void skipLineEnd();
    bool atLineEnd() const;
    // Drops what has been read; only between reads, so no position is held.
    void dropRead();

    mutable QString m_text;
    qsizetype m_pos = 0;
    MoreText m_more;
    bool m_lastQuoted = false;
};

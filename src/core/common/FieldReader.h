#pragma once

#include <QString>

#include <functional>
#include <limits>

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
    // Appends more of the text to the string (a line, or a piece of a long
    // one); false when the text has ended.
    using MoreText = std::function<bool(QString &text)>;
    static constexpr qsizetype kKeepAll = std::numeric_limits<qsizetype>::max();

    explicit FieldReader(QString text);
    // Reads a text that arrives in parts: only the part being read and a
    // little behind it are held, however long the text or its lines. Of each
    // field and line, `keep` characters are kept (see readLine); the rest is
    // read through to find where it ends, and passed over.
    FieldReader(MoreText more, qsizetype keep);

    bool atEnd() const;
    // The next field; empty at the end of the text.
    QString readField();
    // The rest of the current line, up to CR LF, LF or a lone CR (consumed).
    // Of a longer line, its first `keep` characters; given a mark, also the
    // mark where it first stands on the line and up to `keep` characters after it.
    QString readLine(QChar mark = {});
    // Whether the last field read began with a double quote.
    bool lastFieldQuoted() const { return m_lastQuoted; }

private:
    class Kept;
    // Moves over the text up to the first character that `stop` holds for, or
    // to the end of the text, handing what it passes to `kept`.
    template <typename Stop>
    void passUntil(Kept &kept, Stop stop);
    void skipLineEnd();
    bool atLineEnd() const;
    // Drops what has been read; only between reads, so no position is held.
    void dropRead();

    mutable QString m_text;
    qsizetype m_pos = 0;
    MoreText m_more;
    qsizetype m_keep = kKeepAll;
    bool m_lastQuoted = false;
};

#pragma once

#include "log/LineIndex.h"

#include <QByteArray>
#include <QCache>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>

// How much the log viewer reads at a time and shows of a line.
struct LogReadLimits
{
    qint64 pieceBytes = qint64(256) * 1024; // read per indexPiece()
    int rowsPerMark = 64;
    qint64 bytesPerMark = qint64(64) * 1024;
    // A longer line shows its first this many characters, then "…": a line of
    // many megabytes never has to be read or held whole.
    int shownChars = 4000;
};

// The lines of a log, read from the file on demand instead of all at once:
// indexPiece() finds the line ends one piece at a time, and a line's text is
// read and decoded only when it is asked for (recent stretches are cached).
// Only the bytes the file held when it was opened are read; later growth is
// not seen. Each line is decoded on its own (see decodeLine), so one line in
// another code page does not change how the others read.
class LogLines
{
public:
    // Reads from an open device, from its start up to its present size.
    explicit LogLines(std::unique_ptr<QIODevice> device, const LogReadLimits &limits = LogReadLimits());
    ~LogLines();

    // The log in the working folder (its name matched without regard to letter
    // case); null, with the reason, when it is not a regular file that can be read.
    static std::unique_ptr<LogLines> open(const QString &name, QString *error,
                                          const LogReadLimits &limits = LogReadLimits());

    // Indexes the next piece. True once the whole file is indexed.
    bool indexPiece();
    bool isIndexed() const { return m_indexed; }
    // True when a read failed: the lines found before it are all there is.
    bool readFailed() const { return m_readFailed; }

    // The lines whose text can be asked for so far.
    qint64 count() const { return m_index.completeLines(); }
    // The text of line i (0 ≤ i < count()) without its end.
    QString text(qint64 i) const;

private:
    struct Stretch
    {
        qint64 firstLine = 0;
        QStringList texts;
    };
    Stretch *readStretch(int mark) const;
    QString shown(QByteArrayView line, bool cut, bool startOfText) const;

    std::unique_ptr<QIODevice> m_device;
    LogReadLimits m_limits;
    qint64 m_size = 0;
    LineIndex m_index;
    QByteArray m_piece;
    bool m_indexed = false;
    bool m_readFailed = false;
    mutable QCache<int, Stretch> m_stretches;
};

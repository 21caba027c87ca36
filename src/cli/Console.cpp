#include "Console.h"

#include "archive/SavedRecords.h"

#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace Console {

namespace {

bool g_progressShown = false;
bool g_outputLost = false;

bool write(std::FILE *stream, const QString &text)
{
    const bool written = std::fputs(text.toUtf8().constData(), stream) >= 0;
    return std::fflush(stream) == 0 && written;
}

// A control character as \xHH: an escape sequence in a title or a name must
// not drive the terminal that shows it.
QString withoutControls(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            shown += c;
    }
    return shown;
}

} // namespace

QString field(const QString &text)
{
    return withoutControls(escapedField(text));
}

QString oneLine(const QString &text)
{
    QStringList lines;
    static const QRegularExpression lineEnds(QStringLiteral("[\r\n]+"));
    for (const QString &line : text.split(lineEnds)) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines.join(QStringLiteral(" | "));
}

void out(const QString &line)
{
    if (g_outputLost)
        return;
    if (!write(stdout, line + u'\n')) {
        // Told once; the work goes on, and the exit status says the output is not whole.
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        g_outputLost = true;
        error(QStringLiteral("kelvado: Standard output cannot be written: %1").arg(why));
    }
}

bool outputLost()
{
    return g_outputLost;
}

void error(const QString &line)
{
    endProgress();
    write(stderr, withoutControls(line) + u'\n');
}

void progress(const QString &subject, const QString &state)
{
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    if (!terminal)
        return;
    // One row of the terminal: a line that wraps would not be cleared by the next one.
    winsize size = {};
    const int columns = ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
    QString line = withoutControls(subject) + QStringLiteral("  ") + state;
    if (columns > 0 && line.size() >= columns) {
        const qsizetype room = columns - 1 - state.size() - 5;
        line = (room > 0 ? withoutControls(subject).left(room) + QStringLiteral("...  ") : QString()) + state;
        line.truncate(columns - 1);
    }
    // Back to the line's start, the new text, and the rest of the old one cleared.
    write(stderr, u'\r' + line + QStringLiteral("\x1b[K"));
    g_progressShown = true;
}

void endProgress()
{
    if (!g_progressShown)
        return;
    write(stderr, QStringLiteral("\r\x1b[K"));
    g_progressShown = false;
}

} // namespace Console

#include "Console.h"

#include "archive/SavedRecords.h"

#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace Console {

namespace {

bool g_progressShown = false;
QString g_outputLost;

// False, errno set, when the text did not reach the stream's file whole.
bool write(std::FILE *stream, const QString &text)
{
    errno = 0;
    const bool written = std::fputs(text.toUtf8().constData(), stream) >= 0;
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

} // namespace

QString field(const QString &text)
{
    return escapedField(text);
}

QString oneLine(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines.join(QStringLiteral(" | "));
}

void out(const QString &line)
{
    if (!write(stdout, line + u'\n') && g_outputLost.isEmpty())
        g_outputLost = QString::fromLocal8Bit(std::strerror(errno ? errno : EIO));
}

QString outputLost()
{
    return g_outputLost;
}

void error(const QString &line)
{
    endProgress();
    write(stderr, line + u'\n');
}

void progress(const QString &line)
{
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    if (!terminal)
        return;
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

#include "Console.h"

#include "archive/SavedRecords.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace Console {

namespace {

bool g_progressShown = false;

void write(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
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
    write(stdout, line + u'\n');
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

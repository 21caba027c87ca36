#include "startup/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace CommandLine {

namespace {

StartRequest refused(const QString &reason)
{
    StartRequest request;
    request.error = QStringLiteral("kelvado: %1 Try 'kelvado --help'.").arg(reason);
    request.exitStatus = kUsageStatus;
    return request;
}

// The arguments the parser counts as folders, as they were given: every one
// after "--", "-" alone, and every one not starting with "-" (no option takes a value).
QList<QByteArray> folderArguments(const QList<QByteArray> &arguments)
{
    QList<QByteArray> folders;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments.at(i);
        if (optionsEnded || argument == "-" || !argument.startsWith('-'))
            folders << argument;
        else if (argument == "--")
            optionsEnded = true;
    }
    return folders;
}

} // namespace

StartRequest read(const QList<QByteArray> &rawArguments, const QString &videosFolder)
{
    QStringList arguments;
    for (const QByteArray &argument : rawArguments)
        arguments << QFile::decodeName(argument);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the recordings on a ReplayTV recorder and downloads the ones you tick.\n"
                       "Kelvado works in one folder: its settings, log, guide files and recordings are kept there,\n"
                       "and it looks for the recorder tools Tolvane and Tamrick there before PATH."));
    // Not addHelpOption(): its --help-all lists Qt's own options, which this program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption videos(
        QStringLiteral("videos-folder"),
        QStringLiteral("Works in the folder Kelvado of your videos folder, made if missing (as the desktop menu "
                       "starts it)."));
    parser.addOption(videos);
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("The folder to work in (default: the current folder)."),
                                 QStringLiteral("[folder]"));

    // "-platform" reads as one unknown word, not as the letters p, l, a, ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments))
        return refused(parser.errorText());

    StartRequest request;
    if (parser.isSet(help)) {
        request.output = parser.helpText();
        return request;
    }
    if (parser.isSet(version)) {
        request.output = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
        return request;
    }

    // The parser's text is only good for options: a name that is not UTF-8 does not survive it.
    const QList<QByteArray> folders = folderArguments(rawArguments);
    if (folders.size() > 1)
        return refused(QStringLiteral("Give one folder only."));
    if (parser.isSet(videos)) {
        if (!folders.isEmpty())
            return refused(QStringLiteral("Give a folder or --videos-folder, not both."));
        if (videosFolder.isEmpty())
            return refused(QStringLiteral("No videos folder is known for this user."));
        request.folder = QFile::encodeName(QDir(videosFolder).filePath(QStringLiteral("Kelvado")));
        request.createFolder = true;
    } else if (!folders.isEmpty()) {
        // An empty name (an unset variable in a script) names no folder: the current one is not assumed.
        if (folders.first().isEmpty())
            return refused(QStringLiteral("The folder name is empty."));
        request.folder = folders.first();
    }
    request.opensWindow = true;
    return request;
}

} // namespace CommandLine

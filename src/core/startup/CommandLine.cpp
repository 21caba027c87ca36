#include "startup/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace CommandLine {

namespace {

StartRequest refused(const QString &reason)
{
    StartRequest request;
    request.error = QStringLiteral("kelvado: %1 Try 'kelvado --help'.").arg(reason);
    request.exitStatus = kUsageStatus;
    return request;
}

} // namespace

StartRequest read(const QStringList &arguments, const QString &videosFolder)
{
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

    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1)
        return refused(QStringLiteral("Give one folder only."));
    if (parser.isSet(videos)) {
        if (!folders.isEmpty())
            return refused(QStringLiteral("Give a folder or --videos-folder, not both."));
        if (videosFolder.isEmpty())
            return refused(QStringLiteral("No videos folder is known for this user."));
        request.folder = QDir(videosFolder).filePath(QStringLiteral("Kelvado"));
        request.createFolder = true;
    } else if (!folders.isEmpty()) {
        request.folder = folders.first();
    }
    request.opensWindow = true;
    return request;
}

} // namespace CommandLine

#include "startup/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace CommandLine {

namespace {

// The commands that run without a window. A new one is a row here, its
// options in addCommandOptions() and its run in the command half.
struct CommandText
{
    const char *name;
    const char *summary;
    const char *details;
};

constexpr CommandText kCommands[] = {
    {"list", "Gets the guide and lists the recordings, one a line.",
     "Gets the recorder's guide, as Get Guide does, and prints one line per recording, five fields\n"
     "separated by tabs: the recorder's file name, the title, the recording date, the duration in\n"
     "minutes, and \"saved\" or \"new\" (as SavedRecordings.txt says). A backslash, tab, CR or LF in\n"
     "a field is written as \\\\, \\t, \\r or \\n, any other control character as \\xHH. Nothing\n"
     "else goes to standard output.\n"
     "Exit status: 0 listed; 1 the guide could not be got (why goes to standard error) or standard\n"
     "output could not be written; 2 a usage error, a folder that cannot be used or no address;\n"
     "3 another Kelvado works in the folder."},
    {"archive", "Downloads every recording not yet saved, as the window's session does.",
     "Gets the guide, chooses every recording not yet saved, measures them and downloads them one\n"
     "after another exactly as Extract Mpeg(s) does: the same tools, waits, log, names, save folder\n"
     "(SaveFolder.txt), room checks and record of saved recordings. Prints one line per recording,\n"
     "separated by tabs: \"saved\", the recorder's file name and the saved file's path; or \"failed\",\n"
     "the recorder's file name and why. Then \"N saved, M failed\". Fields are written as list\n"
     "writes them. Messages the window would show go to standard error, one line each; a progress\n"
     "line is drawn there only when it is a terminal. When the recordings may not fit, archive\n"
     "says so on standard error and goes on: each recording's own room check still fails one\n"
     "that cannot fit, without starting its transfer.\n"
     "The address and delay come from RPTVIP.dat unless given; an empty delay is \"Default\".\n"
     "Exit status: 0 every chosen recording saved, or nothing to do; 1 any failed, the guide could\n"
     "not be got, or standard output could not be written; 2 a usage error, a folder that cannot\n"
     "be used or no address; 3 another Kelvado works in the folder. Ended by SIGTERM, SIGINT or\n"
     "SIGHUP it ends its tools, keeps every file and ends by that signal."},
    {"verify", "Reads every saved recording again and checks it against its recorded sum.",
     "Reads every recording SavedRecordings.txt names again from the disk and compares its SHA-256\n"
     "with the sum recorded when it was saved. Prints one line per recording, separated by tabs:\n"
     "\"ok\", \"changed\" (the bytes differ, or the recorded sum is damaged), \"missing\" (no file, or\n"
     "it cannot be read) or \"unchecked\" (saved before sums were kept), the recorder's file name\n"
     "and the saved path, written as list writes fields. Then \"N ok, M changed, K missing,\n"
     "U unchecked\". Nothing is changed by checking; the folder is never made.\n"
     "Exit status: 0 nothing changed or missing; 1 otherwise; 2 a usage error, or a folder that\n"
     "cannot be used or holds no record; 3 another Kelvado works in the folder. Ended by SIGTERM,\n"
     "SIGINT or SIGHUP it stops, records nothing and ends by that signal."},
};

const CommandText *commandNamed(const QByteArray &name)
{
    for (const CommandText &command : kCommands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

// The options whose value is the next argument when not given as "--name=value".
const QStringList &valueOptions()
{
    static const QStringList names{QStringLiteral("title"), QStringLiteral("address"), QStringLiteral("delay")};
    return names;
}

StartRequest refused(const QString &reason, const QString &command = {})
{
    StartRequest request;
    request.error = QStringLiteral("kelvado: %1 Try 'kelvado %2--help'.")
                        .arg(reason, command.isEmpty() ? QString() : command + u' ');
    request.exitStatus = kUsageStatus;
    return request;
}

// The arguments the parser counts as folders, as they were given: every one
// after "--", "-" alone, and every one not starting with "-" that is not an
// option's value. `first` is the first argument after the program and its command.
QList<QByteArray> folderArguments(const QList<QByteArray> &arguments, qsizetype first)
{
    QList<QByteArray> folders;
    bool optionsEnded = false;
    for (qsizetype i = first; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments.at(i);
        if (optionsEnded || argument == "-" || !argument.startsWith('-'))
            folders << argument;
        else if (argument == "--")
            optionsEnded = true;
        else if (valueOptions().contains(QString::fromUtf8(argument.mid(argument.startsWith("--") ? 2 : 1))))
            ++i; // its value, whatever it looks like
    }
    return folders;
}

struct CommandOptions
{
    QCommandLineOption title{QStringLiteral("title"),
                             QStringLiteral("Only recordings whose title holds TEXT, ignoring case; may be given "
                                            "more than once."),
                             QStringLiteral("TEXT")};
    QCommandLineOption addMissingSums{QStringLiteral("add-missing-sums"),
                                      QStringLiteral("Records the sums of the recordings saved without one, "
                                                     "trusting their files as they are now.")};
    QCommandLineOption dryRun{QStringLiteral("dry-run"),
                              QStringLiteral("Measures the chosen recordings and lists them as list does, then "
                                             "their total size; downloads nothing.")};
    QCommandLineOption address{QStringLiteral("address"),
                               QStringLiteral("The recorder's address for this run; RPTVIP.dat stays as it is."),
                               QStringLiteral("A")};
    QCommandLineOption delay{QStringLiteral("delay"),
                             QStringLiteral("The delay for this run, as the window's delay box takes it: a number "
                                            "or Default."),
                             QStringLiteral("D")};
};

void addCommandOptions(QCommandLineParser &parser, const QByteArray &command, const CommandOptions &options)
{
    if (command == "archive")
        parser.addOptions({options.title, options.dryRun, options.address, options.delay});
    if (command == "verify")
        parser.addOption(options.addMissingSums);
}

// Why a value given for this run cannot be used; empty when it can. An empty
// one (an unset variable in a script) would choose every title. The window's
// boxes hold one line, and an address read as a tool's option would change its command.
QString unusableValue(const QString &option, const QString &value)
{
    if (value.isEmpty())
        return QStringLiteral("The --%1 value is empty.").arg(option);
    if (option == QLatin1String("title"))
        return {};
    if (value.startsWith(u'-')
        || std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("The --%1 value '%2' cannot be used.").arg(option, value);
    // Any other text would be a delay of 0, which the recorder may not keep up with.
    static const QRegularExpression delay(QStringLiteral("^(Default|[0-9]+(\\.[0-9]+)?)$"));
    if (option == QLatin1String("delay") && !delay.match(value).hasMatch())
        return QStringLiteral("The --delay value '%1' is not a number or Default.").arg(value);
    return {};
}

QString commandsHelp()
{
    QString text = QStringLiteral("\n\nCommands (they need no display; 'kelvado COMMAND --help' tells more):");
    for (const CommandText &command : kCommands)
        text += QStringLiteral("\n  %1  %2").arg(QString::fromLatin1(command.name).leftJustified(8),
                                                 QLatin1String(command.summary));
    return text + QStringLiteral("\nWithout a command the window opens. A folder named like a command is "
                                 "reached as ./list.");
}

} // namespace

StartRequest read(const QList<QByteArray> &rawArguments, const QString &videosFolder)
{
    const CommandText *command = rawArguments.size() > 1 ? commandNamed(rawArguments.at(1)) : nullptr;
    const QString commandName = command ? QLatin1String(command->name) : QString();
    QStringList arguments;
    for (qsizetype i = 0; i < rawArguments.size(); ++i) {
        if (!command || i != 1)
            arguments << QFile::decodeName(rawArguments.at(i));
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        command ? QLatin1String(command->details)
                : QStringLiteral("Lists the recordings on a ReplayTV recorder and downloads the ones you tick.\n"
                                 "Kelvado works in one folder: its settings, log, guide files and recordings are "
                                 "kept there,\nand it looks for the recorder tools Tolvane and Tamrick there "
                                 "before PATH.")
                      + commandsHelp());
    // Not addHelpOption(): its --help-all lists Qt's own options, which this program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption videos(
        QStringLiteral("videos-folder"),
        qstrcmp(command ? command->name : "", "verify") == 0
            ? QStringLiteral("Works in the folder Kelvado of your videos folder (where the desktop menu starts it).")
            : QStringLiteral("Works in the folder Kelvado of your videos folder, made if missing (as the desktop "
                             "menu starts it)."));
    parser.addOption(videos);
    const CommandOptions options;
    if (command) {
        addCommandOptions(parser, command->name, options);
        parser.addPositionalArgument(commandName, QLatin1String(command->summary), commandName);
    }
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("The folder to work in (default: the current folder)."),
                                 QStringLiteral("[folder]"));

    // "-platform" reads as one unknown word, not as the letters p, l, a, ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments))
        return refused(parser.errorText(), commandName);

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
    const QList<QByteArray> folders = folderArguments(rawArguments, command ? 2 : 1);
    if (folders.size() > 1)
        return refused(QStringLiteral("Give one folder only."), commandName);
    if (parser.isSet(videos)) {
        if (!folders.isEmpty())
            return refused(QStringLiteral("Give a folder or --videos-folder, not both."), commandName);
        if (videosFolder.isEmpty())
            return refused(QStringLiteral("No videos folder is known for this user."), commandName);
        request.folder = QFile::encodeName(QDir(videosFolder).filePath(QStringLiteral("Kelvado")));
        request.createFolder = true;
    } else if (!folders.isEmpty()) {
        // An empty name (an unset variable in a script) names no folder: the current one is not assumed.
        if (folders.first().isEmpty())
            return refused(QStringLiteral("The folder name is empty."), commandName);
        request.folder = folders.first();
    }
    if (command) {
        request.command = commandName;
    }
    if (request.command == QLatin1String("verify")) {
        request.addMissingSums = parser.isSet(options.addMissingSums);
        request.createFolder = false; // a folder not there holds nothing to verify
    }
    if (request.command == QLatin1String("archive")) {
        for (const QCommandLineOption *option : {&options.title, &options.address, &options.delay}) {
            for (const QString &value : parser.values(*option)) {
                if (const QString why = unusableValue(option->names().constFirst(), value); !why.isEmpty())
                    return refused(why, commandName);
            }
        }
        request.titles = parser.values(options.title);
        request.dryRun = parser.isSet(options.dryRun);
        if (parser.isSet(options.address))
            request.address = parser.value(options.address);
        if (parser.isSet(options.delay))
            request.delay = parser.value(options.delay);
    }
    request.opensWindow = true;
    return request;
}

} // namespace CommandLine

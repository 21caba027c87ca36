// The command line: which folder a start works in, what --help and --version
// print, and refused starts that end before any window or file exists.
#include "about/AppIdentity.h"
#include "startup/CommandLine.h"
#include "startup/WorkingFolder.h"

#include "TestSupport.h"

#include <QProcess>
#include <QtTest>

#include <unistd.h>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void read_data();
    void read();
    void desktopEntryOption();
    void enterFolder_data();
    void enterFolder();
    void shortName_data();
    void shortName();
    void program_data();
    void program();
};

void TestCommandLine::initTestCase()
{
    // As the program names itself before it reads its command line.
    QCoreApplication::setApplicationName(AppIdentity::kTitle);
    QCoreApplication::setApplicationVersion(AppIdentity::versionNumber());
}

void TestCommandLine::read_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("videos");
    QTest::addColumn<bool>("opensWindow");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("create");
    QTest::addColumn<QString>("outputStart");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("status");

    const QString videos = QStringLiteral("/home/ann/Videos");
    const auto refused
        = [](const QString &reason) { return QStringLiteral("kelvado: %1 Try 'kelvado --help'.").arg(reason); };

    QTest::addRow("no argument: the current folder") << QStringList{} << videos << true << "" << false << ""
                                                     << "" << 0;
    QTest::addRow("folder") << QStringList{"/srv/recordings"} << videos << true << "/srv/recordings" << false << ""
                            << "" << 0;
    QTest::addRow("folder named like an option") << QStringList{"--", "-old"} << videos << true << "-old" << false << ""
                                                 << "" << 0;
    QTest::addRow("desktop menu") << QStringList{"--videos-folder"} << videos << true << "/home/ann/Videos/Kelvado"
                                  << true << ""
                                  << "" << 0;
    QTest::addRow("help") << QStringList{"--help"} << videos << false << "" << false << "Usage: "
                          << "" << 0;
    QTest::addRow("help wins over a folder")
        << QStringList{"-h", "/nowhere"} << videos << false << "" << false << "Usage: "
        << "" << 0;
    QTest::addRow("version") << QStringList{"--version"} << videos << false << "" << false << "Kelvado 1.6.17\n"
                             << "" << 0;
    QTest::addRow("short version") << QStringList{"-v"} << videos << false << "" << false << "Kelvado 1.6.17\n"
                                   << "" << 0;
    QTest::addRow("unknown option") << QStringList{"--verbose"} << videos << false << "" << false << ""
                                    << refused("Unknown option 'verbose'.") << 2;
    QTest::addRow("a Qt option") << QStringList{"-platform", "xcb"} << videos << false << "" << false << ""
                                 << refused("Unknown option 'platform'.") << 2;
    QTest::addRow("help all is not offered") << QStringList{"--help-all"} << videos << false << "" << false << ""
                                             << refused("Unknown option 'help-all'.") << 2;
    QTest::addRow("two folders") << QStringList{"a", "b"} << videos << false << "" << false << ""
                                 << refused("Give one folder only.") << 2;
    QTest::addRow("folder and desktop menu") << QStringList{"--videos-folder", "a"} << videos << false << "" << false
                                             << "" << refused("Give a folder or --videos-folder, not both.") << 2;
    QTest::addRow("no videos folder known") << QStringList{"--videos-folder"} << "" << false << "" << false << ""
                                            << refused("No videos folder is known for this user.") << 2;
}

void TestCommandLine::read()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, videos);
    QFETCH(bool, opensWindow);
    QFETCH(QString, folder);
    QFETCH(bool, create);
    QFETCH(QString, outputStart);
    QFETCH(QString, error);
    QFETCH(int, status);

    const StartRequest request = CommandLine::read(QStringList{"kelvado"} + arguments, videos);
    QCOMPARE(request.opensWindow, opensWindow);
    QCOMPARE(request.folder, folder);
    QCOMPARE(request.createFolder, create);
    if (outputStart.isEmpty())
        QCOMPARE(request.output, QString());
    else
        QVERIFY2(request.output.startsWith(outputStart), qPrintable(request.output));
    QCOMPARE(request.error, error);
    QCOMPARE(request.exitStatus, status);
}

// The menu's start must be one the program accepts, and work in the videos folder.
void TestCommandLine::desktopEntryOption()
{
    QFile entry(QStringLiteral(KELVADO_SOURCE_DIR "/data/org.kelvado.Kelvado.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList command;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("Exec=")))
            command = line.mid(5).split(u' ', Qt::SkipEmptyParts);
    }
    QCOMPARE(command.value(0), QStringLiteral("kelvado"));
    const StartRequest request = CommandLine::read(command, QStringLiteral("/home/ann/Videos"));
    QCOMPARE(request.error, QString());
    QVERIFY(request.opensWindow);
    QVERIFY(request.createFolder);
    QCOMPARE(request.folder, QStringLiteral("/home/ann/Videos/Kelvado"));
}

void TestCommandLine::enterFolder_data()
{
    QTest::addColumn<QStringList>("folders"); // made in the scratch folder first
    QTest::addColumn<QStringList>("files");   // likewise
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("create");
    QTest::addColumn<QString>("error");       // %1: the folder's full path
    QTest::addColumn<QStringList>("entered"); // what the working folder holds afterwards

    QTest::addRow("existing folder") << QStringList{"rec"} << QStringList{"rec/Kelvado.LOG"} << "rec" << false << ""
                                     << QStringList{"Kelvado.LOG"};
    QTest::addRow("missing folder") << QStringList{} << QStringList{} << "rec" << false
                                    << "kelvado: The folder '%1' does not exist." << QStringList{};
    QTest::addRow("missing folder is not made") << QStringList{} << QStringList{} << "Videos/Kelvado" << false
                                                << "kelvado: The folder '%1' does not exist." << QStringList{};
    QTest::addRow("a file") << QStringList{} << QStringList{"rec"} << "rec" << false << "kelvado: '%1' is not a folder."
                            << QStringList{};
    QTest::addRow("made on first use") << QStringList{} << QStringList{} << "Videos/Kelvado" << true << ""
                                       << QStringList{};
    QTest::addRow("already made") << QStringList{"Videos/Kelvado"} << QStringList{"Videos/Kelvado/RPTVIP.dat"}
                                  << "Videos/Kelvado" << true << "" << QStringList{"RPTVIP.dat"};
    QTest::addRow("a file in the way") << QStringList{} << QStringList{"Videos"} << "Videos/Kelvado" << true
                                       << "kelvado: Cannot create the folder '%1'." << QStringList{};
    QTest::addRow("no right to enter") << QStringList{"locked"} << QStringList{} << "locked" << false
                                       << "kelvado: Cannot enter the folder '%1'." << QStringList{};
}

void TestCommandLine::enterFolder()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(QString, folder);
    QFETCH(bool, create);
    QFETCH(QString, error);
    QFETCH(QStringList, entered);

    ScratchDir scratch;
    for (const QString &name : folders)
        QVERIFY(QDir().mkpath(name));
    for (const QString &name : files)
        writeFile(name, "x");
    if (QTest::currentDataTag() == QByteArrayLiteral("no right to enter")) {
        if (geteuid() == 0)
            QSKIP("root enters any folder");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }
    const QString path = QDir(scratch.path()).filePath(folder);

    QCOMPARE(enterWorkingFolder(path, create), error.isEmpty() ? QString() : error.arg(path));
    if (error.isEmpty()) {
        QCOMPARE(QDir::currentPath(), QDir(path).canonicalPath());
        QCOMPARE(workingDirEntries(), entered);
    } else {
        QCOMPARE(QDir::currentPath(), QDir(scratch.path()).canonicalPath());
        QCOMPARE(QFileInfo(path).isDir(), folders.contains(folder));
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestCommandLine::shortName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("shown");

    QTest::addRow("home itself") << "/home/ann"
                                 << "/home/ann"
                                 << "~";
    QTest::addRow("under home") << "/home/ann/Videos/Kelvado"
                                << "/home/ann"
                                << "~/Videos/Kelvado";
    QTest::addRow("home given with a slash") << "/home/ann/Videos"
                                             << "/home/ann/"
                                             << "~/Videos";
    QTest::addRow("a neighbour of home") << "/home/anna/Videos"
                                         << "/home/ann"
                                         << "/home/anna/Videos";
    QTest::addRow("outside home") << "/srv/recordings"
                                  << "/home/ann"
                                  << "/srv/recordings";
    QTest::addRow("home is the root") << "/srv/recordings"
                                      << "/"
                                      << "/srv/recordings";
}

void TestCommandLine::shortName()
{
    QFETCH(QString, folder);
    QFETCH(QString, home);
    QFETCH(QString, shown);
    QCOMPARE(shortFolderName(folder, home), shown);
}

void TestCommandLine::program_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outputStart");
    QTest::addColumn<QString>("error");

    QTest::addRow("help") << QStringList{"--help"} << 0 << "Usage: "
                          << "";
    QTest::addRow("version") << QStringList{"--version"} << 0 << "Kelvado 1.6.17\n"
                             << "";
    QTest::addRow("missing folder") << QStringList{"nowhere"} << 2 << ""
                                    << "kelvado: The folder 'nowhere' does not exist.\n";
    QTest::addRow("unknown option") << QStringList{"--verbose"} << 2 << ""
                                    << "kelvado: Unknown option 'verbose'. Try 'kelvado --help'.\n";
}

// The program itself, with no display it could use: a start that tried to open
// a window would fail on the missing platform instead of answering.
void TestCommandLine::program()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, outputStart);
    QFETCH(QString, error);

    ScratchDir scratch;
    QProcess kelvado;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    kelvado.setProcessEnvironment(environment);
    kelvado.start(QStringLiteral(KELVADO_PROGRAM), arguments);
    QVERIFY(kelvado.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(kelvado.readAllStandardOutput());

    QCOMPARE(kelvado.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kelvado.exitCode(), status);
    QCOMPARE(QString::fromLocal8Bit(kelvado.readAllStandardError()), error);
    if (outputStart.isEmpty())
        QCOMPARE(output, QString());
    else
        QVERIFY2(output.startsWith(outputStart), qPrintable(output));
    QCOMPARE(workingDirEntries(), QStringList());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"

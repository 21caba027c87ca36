// What huge and crowded working folders cost: a 1 GB guide streamed through the
// parser (a dump, and one with a field line of 1 GB), a 1 GB FStat.txt read for
// a size, a 1 GB recording copied into a save folder on another file system,
// in a folder of 100,000 files a click on a list of 12 ticked rows and a row's
// tooltip, and a record of 100,000 saved recordings. Each case runs in a
// process of its own so its peak memory is its own.
#include "archive/SaveFolderMove.h"
#include "archive/SavedRecords.h"
#include "common/LineStream.h"
#include "guide/FileStatReader.h"
#include "guide/GuideFile.h"
#include "guide/RowToolTip.h"
#include "guide/WorkingFiles.h"
#include "mainwindow/Control.h"
#include "mainwindow/Form1.h"

#include "GuideText.h"
#include "Recording.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr qint64 kGigabyte = 1000LL * 1000 * 1000;

double peakMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

recorder::Catalog catalogOf(int count)
{
    recorder::Catalog catalog;
    for (int i = 0; i < count; ++i) {
        recorder::Recording r;
        r.title = "Recording number " + std::to_string(i + 1);
        r.quality = "Standard";
        r.date = "12/05/2003";
        r.time = "20:00:00";
        r.fileName = std::to_string(1070683200LL + 1800LL * i) + ".mpg";
        r.durationMinutes = 60;
        r.sizeBytes = 3145728;
        catalog.push_back(std::move(r));
    }
    return catalog;
}

// A guide of about 1 GB: the dump of 10,000 recordings, repeated.
qint64 writeBigGuide(const QString &path)
{
    const std::string dump = recorder::formatGuideText(catalogOf(10000));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    qint64 written = 0;
    while (written < kGigabyte)
        written += file.write(dump.data(), qint64(dump.size()));
    return written;
}

// A guide whose first record has a field line of 1 GB before its "Quality:":
// the line is read to its end to find the fields after it.
qint64 writeLongLineGuide(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    qint64 written = file.write("Show #1\r\nTitle:Long line\r\nDescription: ");
    const QByteArray block(4 << 20, 'w');
    while (written < kGigabyte)
        written += file.write(block);
    const std::string dump = recorder::formatGuideText(catalogOf(300));
    written += file.write("\r\nQuality: Standard\r\nRecorded: 12/05/2003\r\nFilename: long.mpg\r\nDuration: 060\r\n");
    return written + file.write(dump.data(), qint64(dump.size()));
}

int guideCase(bool longLine)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const qint64 bytes = (longLine ? writeLongLineGuide : writeBigGuide)(QStringLiteral("Guide.txt"));
    const double before = peakMegabytes();
    QElapsedTimer clock;
    clock.start();
    int progressCalls = 0;
    const GuideFileRead read = readGuideFile(QStringLiteral("Guide.txt"), 201, [&] { ++progressCalls; });
    const double seconds = double(clock.elapsed()) / 1000;
    std::printf("guide  %s bytes=%lld kept=%lld leftOut=%d first=%s seconds=%.1f msBetweenPaints=%.1f "
                "peakMB=%.1f peakBeforeMB=%.1f\n",
                longLine ? "long-line" : "dump", static_cast<long long>(bytes),
                static_cast<long long>(read.parsed.entries.size()), read.parsed.leftOut,
                qPrintable(read.parsed.entries.value(0).fileName), seconds,
                progressCalls ? 1000 * seconds / progressCalls : 0.0, peakMegabytes(), before);
    return read.status == GuideFileRead::Status::Ok ? 0 : 1;
}

int fileStatCase()
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        // A sparse gigabyte after the helper's line: reading it whole would take it all.
        QFile file(QStringLiteral("FStat.txt"));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("FileStat,Size=3145728,Name=1070683200.mpg\r\n");
        file.resize(kGigabyte);
    }
    const double before = peakMegabytes();
    QElapsedTimer clock;
    clock.start();
    const FileStatReading reading = readFileStat(readWorkingTextFile(QStringLiteral("FStat.txt"), 4096).text);
    std::printf("fstat  size=%.0f ms=%.3f peakMB=%.1f peakBeforeMB=%.1f\n", reading.size,
                double(clock.nsecsElapsed()) / 1e6, peakMegabytes(), before);
    return reading.ok() ? 0 : 1;
}

// Twelve ticked rows measured by the stand-in helper, in an empty folder and in
// one of 100,000 files: the difference is what the folder's size costs.
int folderCase(int files)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    for (int i = 0; i < files; ++i) {
        const QByteArray name = "old-recording-" + QByteArray::number(i) + ".mpg";
        ::close(::open(name.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    const recorder::Catalog catalog = catalogOf(12);
    Form1 w;
    QListWidget *list = control<QListWidget>(w, "List1");
    for (int i = 0; i < 12; ++i) {
        w.Titles[i] = QString::fromStdString(catalog[i].title).leftJustified(58);
        w.RecordDates[i] = QStringLiteral("12/05/2003");
        w.FileNames[i] = QString::fromStdString(catalog[i].fileName);
        auto *item = new QListWidgetItem(w.Titles[i]);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        list->addItem(item);
    }
    w.TitleCount = 12;
    QElapsedTimer clock;
    clock.start();
    w.List1_Click();
    const double clickMs = double(clock.nsecsElapsed()) / 1e6;
    RowToolTips tips(w, list);
    clock.restart();
    const QString tip = tips.textForRow(5);
    const double tipMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("folder files=%d clickMs=%.1f tooltipMs=%.2f tagged=%d\n", files, clickMs, tipMs, int(w.TaggedCount));
    return tip.isEmpty() ? 1 : 0;
}

// A guide of 201 rows against a record of saved recordings of many entries of
// other recordings, one of them with a 15 MB path on a row of the guide: the
// marks after Get Guide, the longest the window waits per saved title (the
// entry noted, then the marks shown again) over five titles, and that row's tooltip.
int recordCase(int entries)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        QFile file(SavedRecords::fileName());
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        QByteArray text;
        for (int i = 0; i < entries; ++i)
            text += "old-" + QByteArray::number(i) + ".mpg\tOlder recording number " + QByteArray::number(i)
                    + "\t11/05/2003\t2026-12-01T20:15:00\t" + dir.path().toUtf8() + "/Older recording number "
                    + QByteArray::number(i) + "_11 05 2003.mpg\n";
        file.write(text);
    }
    const recorder::Catalog catalog = catalogOf(201);
    Form1 w;
    QListWidget *list = control<QListWidget>(w, "List1");
    for (int i = 0; i < 201; ++i) {
        w.Titles[i] = QString::fromStdString(catalog[i].title).leftJustified(58);
        w.RecordDates[i] = QStringLiteral("12/05/2003");
        w.FileNames[i] = QString::fromStdString(catalog[i].fileName);
        auto *item = new QListWidgetItem(w.Titles[i]);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        list->addItem(item);
    }
    w.TitleCount = 201;
    auto note = [&w, &dir](int row, const QString &path) {
        SavedRecording saved;
        saved.recorderName = w.FileNames[row];
        saved.title = w.Titles[row];
        saved.recordDate = w.RecordDates[row];
        saved.savedAt = SavedRecords::timeText(QDateTime::currentDateTime());
        saved.path = path.isEmpty() ? dir.filePath(QStringLiteral("saved-%1.mpg").arg(row)) : path;
        return SavedRecords::note(saved);
    };
    if (entries > 0 && !note(1, u'/' + QString(15 << 20, u'p')))
        return 1;
    QElapsedTimer clock;
    clock.start();
    w.showSavedMarks();
    const double marksMs = double(clock.nsecsElapsed()) / 1e6;
    double longestTitleMs = 0;
    for (int row = 10; row < 15; ++row) {
        clock.restart();
        if (!note(row, {}))
            return 1;
        w.showSavedMarks();
        longestTitleMs = std::max(longestTitleMs, double(clock.nsecsElapsed()) / 1e6);
    }
    w.show();
    QCoreApplication::processEvents();
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    clock.restart();
    QCoreApplication::sendEvent(list->viewport(), &help);
    const double tipMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("record entries=%d marksMs=%.1f longestPerTitleMs=%.1f tooltipMs=%.1f saved=%d\n", entries, marksMs,
                longestTitleMs, tipMs, int(w.savedRecording(12) != nullptr));
    return w.savedRecording(12) ? 0 : 1;
}

// A 1 GB recording moved into a save folder on another file system (/dev/shm):
// the copy's speed with its flush and read-back, its memory, and the longest
// the event loop waited meanwhile, which is how long the window could not answer.
int copyCase()
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        QFile file(QStringLiteral("1070683200.mpg"));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray block(4 << 20, 'k');
        for (qint64 written = 0; written < kGigabyte; written += block.size())
            file.write(block);
    }
    QTemporaryDir saveFolder(QStringLiteral("/dev/shm/kelvado-bench-XXXXXX"));
    const double before = peakMegabytes();
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
    ticker.start();
    sinceTick.start();
    QElapsedTimer clock;
    clock.start();
    const MoveResult result = moveIntoFolder(QStringLiteral("1070683200.mpg"), saveFolder.path(),
                                             QStringLiteral("Saved_12 05 2003.mpg"), {}, {});
    const double seconds = double(clock.elapsed()) / 1000;
    std::printf("copy   bytes=%lld seconds=%.1f MBps=%.0f longestEventGapMs=%lld peakMB=%.1f peakBeforeMB=%.1f "
                "moved=%d\n",
                static_cast<long long>(kGigabyte), seconds, double(kGigabyte) / 1e6 / seconds,
                static_cast<long long>(longestGapMs), peakMegabytes(), before, int(result.moved));
    return result.moved ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("guide") || mode == QLatin1String("fstat") || mode == QLatin1String("copy")) {
        QCoreApplication app(argc, argv);
        return mode == QLatin1String("guide")  ? guideCase(argc > 2)
               : mode == QLatin1String("copy") ? copyCase()
                                               : fileStatCase();
    }
    if (mode == QLatin1String("record")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return recordCase(argc > 2 ? atoi(argv[2]) : 0);
    }
    if (mode == QLatin1String("folder")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        // The catalog the stand-in helper measures from: the same 12 recordings.
        QTemporaryDir aux;
        const QString catalogPath = aux.filePath(QStringLiteral("catalog.tsv"));
        QFile catalog(catalogPath);
        if (!catalog.open(QIODevice::WriteOnly))
            return 1;
        for (const recorder::Recording &r : catalogOf(12))
            catalog.write(QByteArray::fromStdString(r.title + "\tStandard\t12/05/2003\t20:00:00\t" + r.fileName
                                                    + "\t60\t3145728\n"));
        catalog.close();
        qputenv("SIMREC_CATALOG", catalogPath.toLocal8Bit());
        qputenv("PATH", QByteArray(KELVADO_RECORDER_BIN) + ':' + qgetenv("PATH"));
        return folderCase(argc > 2 ? atoi(argv[2]) : 0);
    }
    // Every case, each in a process of its own.
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    for (const QStringList &args :
         {QStringList{"guide"}, QStringList{"guide", "long-line"}, QStringList{"fstat"}, QStringList{"copy"},
          QStringList{"folder", "0"}, QStringList{"folder", "100000"}, QStringList{"record", "0"},
          QStringList{"record", "100000"}}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), args);
        child.waitForFinished(-1);
        if (child.exitCode() != 0) {
            out << "case " << args.join(u' ') << " failed\n";
            return 1;
        }
    }
    return 0;
}

// How long Get Guide takes to turn the helper's guide dump into the title table
// and list rows: decoding the bytes and parsing them, for a full table (201
// recordings) and for a recorder holding far more (10,000). The dump is made by
// the simulated recorder's own formatter, so it has the form the tests see.
#include "common/TextCodec.h"
#include "guide/GuideParser.h"

#include "GuideText.h"
#include "Recording.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

constexpr int kTableSize = 201; // the main window's title table

// A catalog with the variety real guides have: quotes, colons, semicolons,
// parentheses and non-ASCII in titles, and long titles that get cut.
recorder::Catalog catalogOf(int count)
{
    static const char *const kTitles[] = {
        "Movie Part 1/2 (Repeat)", "Nova", "Star Trek: The Next Generation", "Law & Order; Special Victims Unit",
        "The \"Best\" of Saturday Night Live", "Am\u00e9lie",
        "The Extraordinarily Long Documentary About Mountains Rivers and Oceans", "Jeopardy!",
    };
    static const char *const kQualities[] = {"Standard", "Medium", "High"};
    recorder::Catalog catalog;
    catalog.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        recorder::Recording r;
        r.title = std::string(kTitles[i % std::size(kTitles)]) + " " + std::to_string(i + 1);
        r.quality = kQualities[i % std::size(kQualities)];
        char date[16];
        std::snprintf(date, sizeof date, "%02d/%02d/%04d", i % 12 + 1, i % 28 + 1, 2000 + i % 6);
        r.date = date;
        r.time = "20:00:00";
        r.fileName = std::to_string(1070683200LL + 1800LL * i) + ".mpg";
        r.durationMinutes = std::uint32_t(30 + i % 4 * 30);
        r.sizeBytes = 3145728ULL + std::uint64_t(i);
        catalog.push_back(std::move(r));
    }
    return catalog;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures
{
    int records = 0;
    qsizetype bytes = 0;
    double decodeMs = 0;
    double parseMs = 0;
    double totalMs = 0;
    qsizetype kept = 0;
};

Figures measure(int records, int runs)
{
    const std::string dump = recorder::formatGuideText(catalogOf(records));
    const QByteArray bytes(dump.data(), qsizetype(dump.size()));

    std::vector<double> decodeMs, parseMs, totalMs;
    qsizetype kept = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        const QString text = decodeText(bytes);
        const qint64 decoded = clock.nsecsElapsed();
        const GuideParseResult result = parseGuide(text, kTableSize);
        const qint64 parsed = clock.nsecsElapsed();

        // A figure is only worth having for a parse that read every record.
        const qsizetype expected = std::min(records, kTableSize);
        if (result.entries.size() != expected || result.leftOut != records - expected || result.incompleteRecords) {
            std::fprintf(stderr, "parse of %d records kept %lld, left out %d: not a valid run\n", records,
                         static_cast<long long>(result.entries.size()), result.leftOut);
            std::exit(1);
        }
        kept = result.entries.size();
        decodeMs.push_back(double(decoded) / 1e6);
        parseMs.push_back(double(parsed - decoded) / 1e6);
        totalMs.push_back(double(parsed) / 1e6);
    }
    return {records, bytes.size(), median(decodeMs), median(parseMs), median(totalMs), kept};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Guide parsing time: decoding and parsing a guide dump."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs per size (median)."),
                                        QStringLiteral("n"), QStringLiteral("21"));
    const QCommandLineOption recordsOption(QStringLiteral("records"),
                                           QStringLiteral("Recordings in the guide; repeat for several sizes."),
                                           QStringLiteral("n"));
    parser.addOption(runsOption);
    parser.addOption(recordsOption);
    parser.process(app);

    const int runs = std::max(1, parser.value(runsOption).toInt());
    QList<int> sizes;
    for (const QString &value : parser.values(recordsOption))
        sizes << std::max(0, value.toInt());
    if (sizes.isEmpty())
        sizes = {201, 10000};

    QTextStream out(stdout);
    out << "Guide parsing (decode + parse into the title table and list rows), median of " << runs << " runs\n";
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("records"), 8)
               .arg(QStringLiteral("bytes"), 10)
               .arg(QStringLiteral("decode ms"), 10)
               .arg(QStringLiteral("parse ms"), 10)
               .arg(QStringLiteral("total ms"), 10)
               .arg(QStringLiteral("kept"), 6);
    for (const int records : sizes) {
        const Figures f = measure(records, runs);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                   .arg(f.records, 8)
                   .arg(f.bytes, 10)
                   .arg(f.decodeMs, 10, 'f', 3)
                   .arg(f.parseMs, 10, 'f', 3)
                   .arg(f.totalMs, 10, 'f', 3)
                   .arg(f.kept, 6);
        out.flush();
    }
    return 0;
}

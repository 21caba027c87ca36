// Get Guide: fetch the recorder's guide once per run and fill the title table
// and the list from it.
#include "mainwindow/Form1.h"

#include "guide/GuideMessages.h"
#include "guide/GuideFile.h"
#include "guide/WorkingFiles.h"
#include "common/DateTimeText.h"
#include "common/UserMessage.h"
#include "mainwindow/ScreenPointer.h"
#include "runner/ToolRunner.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>

namespace {

const QString kGuideFileName = QStringLiteral("Guide.txt");
const QString kGuideDataName = QStringLiteral("Guide.dat");

QListWidgetItem *checkableRow(const QString &text)
{
    auto *item = new QListWidgetItem(text);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

int tickedRows(const QListWidget *list)
{
    int ticked = 0;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->checkState() == Qt::Checked)
            ++ticked;
    }
    return ticked;
}

// A tool stopped as stuck may have left its file half written: it goes, so
// that no later step takes it for whole. False when it is still there.
bool dropPartialFile(const QString &name)
{
    QString error;
    if (removeWorkingFile(name, &error))
        return true;
    tellUser(error);
    return false;
}

} // namespace

void Form1::GetGuide_Click(StallLimits limits)
{
    if (GuideLoaded)
        return;
    if (IPAddress->text().isEmpty()) {
        tellUser(QStringLiteral("Need IP Address"));
        IPAddress->setFocus();
        return;
    }
    if (Text9->text().isEmpty()) {
        tellUser(QStringLiteral("Need delay factor 0 - 48 or check Tolvane Default"));
        Text9->setFocus();
        return;
    }

    setScreenPointer(ScreenPointer::Hourglass);
    Text3->setText(QStringLiteral("Getting Guide"));
    const QString dateBefore = Text1->text();
    Text1->setText(dateText());

    // Nothing was listed: leave the window as it was so Get Guide can be tried again.
    const auto putBack = [&] {
        Text1->setText(dateBefore);
        setScreenPointer(ScreenPointer::Arrow);
        Text3->setText(QStringLiteral(" "));
    };

    // The address goes to the tool exactly as typed.
    const ToolRunResult fetched =
        ShellAndWait({QStringLiteral("Tolvane"), {IPAddress->text(), QStringLiteral("-g")}}, {kGuideDataName, limits});
    if (fetched.abandoned) { // the window was closed: the program is ending
        putBack();
        return;
    }
    // The helper goes on as after any failed fetch, but never from a partial Guide.dat.
    bool guideTrusted = !fetched.stalled || dropPartialFile(kGuideDataName);
    if (guideTrusted) {
        const ToolRunResult converted =
            ShellAndWait({QStringLiteral("Tamrick"), {QStringLiteral("guide")}}, {kGuideFileName, limits});
        if (converted.abandoned) {
            putBack();
            return;
        }
        if (converted.stalled) {
            guideTrusted = false;
            dropPartialFile(kGuideFileName);
        }
    }

    // The window keeps painting while a large guide is read; input waits.
    const GuideFileRead guide = guideTrusted ? readGuideFile(kGuideFileName, kTableSize, [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    })
                                             : GuideFileRead{};
    if (guide.status != GuideFileRead::Status::Ok) {
        putBack();
        tellUser(guide.status == GuideFileRead::Status::Missing ? GuideMessages::guideMissing()
                                                                : GuideMessages::guideUnreadable(guide.error));
        return;
    }
    GuideLoaded = true;

    const GuideParseResult &parsed = guide.parsed;
    for (qsizetype i = 0; i < parsed.entries.size(); ++i) {
        const GuideEntry &entry = parsed.entries.at(i);
        Titles[i] = entry.title;
        FileNames[i] = entry.fileName;
        RecordDates[i] = entry.recordDate;
        List1->addItem(checkableRow(entry.row));
    }
    TitleCount = static_cast<short>(parsed.entries.size());

    Text2->setText(QStringLiteral(" %1").arg(TitleCount));
    Text5->setText(QString::number(tickedRows(List1)));

    setScreenPointer(ScreenPointer::Arrow);
    GuideLoaded = true;
    Text3->setText(QStringLiteral(" "));

    const QString shortfall = GuideMessages::guideShortfall(parsed.incompleteRecords, parsed.leftOut, kTableSize);
    if (!shortfall.isEmpty())
        tellUser(shortfall);
}

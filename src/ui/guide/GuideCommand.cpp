// Get Guide: fetch the recorder's guide once per run and fill the title table
// and the list from it.
#include "common/DateTimeText.h"
#include "common/UserMessage.h"
#include "guide/GuideFetch.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ScreenPointer.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>

namespace {

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

} // namespace

void Form1::GetGuide_Click()
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

    // The window keeps painting while a large guide is read; input waits.
    const GuideFetch fetch = fetchGuide(IPAddress->text(), kTableSize, m_timing.stall, [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (fetch.outcome != GuideFetch::Outcome::Listed) {
        // Leave the window as it was so Get Guide can be tried again.
        Text1->setText(dateBefore);
        setScreenPointer(ScreenPointer::Arrow);
        Text3->setText(QStringLiteral(" "));
        if (fetch.outcome == GuideFetch::Outcome::NotListed) // else the program is ending
            tellUser(fetch.message);
        return;
    }
    GuideLoaded = true;

    const GuideParseResult &parsed = fetch.parsed;
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
    showSavedMarks();

    setScreenPointer(ScreenPointer::Arrow);
    Text3->setText(QStringLiteral(" "));
    if (!fetch.message.isEmpty())
        tellUser(fetch.message);
}

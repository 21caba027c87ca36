// Tagging: a click on the list measures every ticked title through the helper
// and shows how many are tagged and how many bytes they take.
#include "common/NumberMask.h"
#include "common/UserMessage.h"
#include "guide/RecordingMeasure.h"
#include "mainwindow/Form1.h"

#include <QLineEdit>
#include <QListWidget>

void Form1::List1_Click()
{
    if (DownloadInProgress)
        return;
    List1->setEnabled(true);

    QList<int> rows;
    QList<TitleToMeasure> titles;
    for (int i = 0; i < TitleCount; ++i) {
        const QListWidgetItem *row = List1->item(i);
        if (!row || row->checkState() != Qt::Checked)
            continue;
        rows << i;
        titles.append({FileNames[std::size_t(i)], Titles[std::size_t(i)]});
    }
    const TaggingTotals totals = measureTitles(titles, m_timing.stall);
    for (qsizetype i = 0; i < totals.sizes.size(); ++i)
        FileSizes[std::size_t(rows.at(i))] = totals.sizes.at(i);
    if (totals.abandoned)
        return; // the window was closed: the program is ending

    TaggedCount = static_cast<short>(rows.size());
    TotalSize = totals.total;
    Text5->setText(QString::number(TaggedCount));
    Text6->setText(maskBlankZero(TotalSize));
    for (const QString &message : totals.messages)
        tellUser(message);
}

// A tick or untick by itself only changes the row's check mark; the totals
// follow at the next click on the list.
void Form1::List1_ItemCheck(int) {}

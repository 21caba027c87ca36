// Tagging: a click on the list measures every ticked title through the helper
// and shows how many are tagged and how many bytes they take.
#include "mainwindow/Form1.h"

#include "guide/GuideMessages.h"
#include "guide/RecordingMeasure.h"
#include "common/NumberMask.h"
#include "common/UserMessage.h"

#include <QLineEdit>
#include <QListWidget>

void Form1::List1_Click(StallLimits limits)
{
    if (DownloadInProgress)
        return;
    List1->setEnabled(true);

    TotalSize = 0;
    TaggedCount = 0;
    QStringList notMeasured;
    QStringList deleteErrors;
    for (int i = 0; i < TitleCount; ++i) {
        const QListWidgetItem *row = List1->item(i);
        if (!row || row->checkState() != Qt::Checked)
            continue;
        ++TaggedCount;
        const Measurement measurement = measureRecording(FileNames[i], limits);
        if (measurement.abandoned)
            return; // the window was closed: the program is ending
        FileSizes[i] = measurement.size;
        TotalSize += FileSizes[i];
        if (!measurement.measured)
            notMeasured << GuideMessages::titleForMessage(Titles[i], FileNames[i]);
        if (!measurement.deleteError.isEmpty() && !deleteErrors.contains(measurement.deleteError))
            deleteErrors << measurement.deleteError;
    }

    Text5->setText(QString::number(TaggedCount));
    Text6->setText(maskBlankZero(TotalSize));

    if (!notMeasured.isEmpty())
        tellUser(GuideMessages::titlesNotMeasured(notMeasured));
    if (!deleteErrors.isEmpty())
        tellUser(deleteErrors.join(u'\n'));
}

// A tick or untick by itself only changes the row's check mark; the totals
// follow at the next click on the list.
void Form1::List1_ItemCheck(int) {}

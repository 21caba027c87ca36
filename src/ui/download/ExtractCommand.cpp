// The click of "Extract Mpeg(s)": the session runs in the core; the window
// shows what it reports.
#include "archive/DiskSpace.h"
#include "common/LeadingNumber.h"
#include "common/NumberMask.h"
#include "common/UserMessage.h"
#include "desktop/SessionCompanion.h"
#include "download/DownloadSession.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ScreenPointer.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

QList<QueuedTitle> Form1::tickedTitles() const
{
    QList<QueuedTitle> titles;
    const int rows = std::min({int(TitleCount), List1->count(), kTableSize});
    for (int row = 0; row < rows; ++row) {
        if (List1->item(row)->checkState() != Qt::Checked)
            continue;
        const auto i = std::size_t(row);
        titles.append({row, FileNames[i], Titles[i], RecordDates[i], FileSizes[i]});
    }
    return titles;
}

void Form1::Extract_Click()
{
    // A second press during a session, or a press with nothing tagged at the
    // last click on the list, does nothing at all.
    if (DownloadInProgress || TaggedCount == 0)
        return;
    QList<QueuedTitle> titles = tickedTitles();
    double largest = 0;
    for (const QueuedTitle &title : std::as_const(titles))
        largest = std::max(largest, title.size);
    const QString shortfall = sessionRoomShortfall(TotalSize, largest, SaveFolder);
    if (!shortfall.isEmpty()
        && !askUser(QStringLiteral("The tagged recordings may not fit:\n\n%1\n\nStart the downloads anyway?")
                        .arg(shortfall)))
        return;
    DownloadInProgress = true;
    List1->setEnabled(false);

    DownloadSession session(
        std::move(titles),
        [this] {
            return Connection{IPAddress->text(), DelayFactor, SaveFolder};
        },
        m_timing);
    QString taggedBefore; // Text5 before a complete title was counted off, for a failed rename
    connect(&session, &DownloadSession::sessionStarted, this, [this](double bytesLeft) {
        TotalSize = bytesLeft; // the ticked rows as they are now
        setScreenPointer(ScreenPointer::Hourglass);
        companion().sessionStarted(bytesLeft);
    });
    connect(&session, &DownloadSession::statusChanged, Text3, &QLineEdit::setText);
    connect(&session, &DownloadSession::titleStarted, Text4, &QLineEdit::setText);
    connect(&session, &DownloadSession::saveNameChosen, Text7, &QLineEdit::setText);
    connect(&session, &DownloadSession::titleSized, this, [this](double expected, double bytesLeft) {
        Text6->setText(maskBlankZero(bytesLeft));
        Text8->setText(maskBlankZero(expected));
        companion().titleStarted(expected, bytesLeft);
    });
    connect(&session, &DownloadSession::progress, this, [this](double current, double left, double leftNow) {
        Text8->setText(maskZero(left));
        Text6->setText(maskZero(leftNow));
        companion().titleProgress(current, leftNow);
    });
    connect(&session, &DownloadSession::titleOvershot, this, [this] { Text8->setText(QStringLiteral("0")); });
    connect(&session, &DownloadSession::titleComplete, this, [this, &taggedBefore](int row, double bytesLeft) {
        TotalSize = bytesLeft;
        Text6->setText(maskBlankZero(TotalSize));
        Text8->setText(QStringLiteral("0"));
        List1->item(row)->setCheckState(Qt::Unchecked);
        taggedBefore = Text5->text();
        Text5->setText(plainNumber(leadingNumber(taggedBefore) - 1));
        QApplication::beep();
    });
    connect(&session, &DownloadSession::titleFailed, this,
            [this, &taggedBefore](int row, const QString &, double bytesLeft, bool wasComplete) {
                if (wasComplete) { // not done after all: tick and count it again
                    List1->item(row)->setCheckState(Qt::Checked);
                    Text5->setText(taggedBefore);
                }
                TotalSize = bytesLeft;
                Text6->setText(maskBlankZero(TotalSize));
            });
    connect(&session, &DownloadSession::titleFinished, this, &Form1::showSavedMarks);
    connect(&session, &DownloadSession::messageForUser, this, [](const QString &text) { tellUser(text); });
    connect(&session, &DownloadSession::sessionEnded, this, [this](int saved, int failed, const QString &message) {
        Text4->clear();
        setScreenPointer(ScreenPointer::Default);
        DownloadInProgress = false;
        Text7->clear();
        List1->setEnabled(true);
        companion().sessionEnded(saved, failed);
        if (!message.isEmpty())
            tellUser(message);
    });
    session.run();
}

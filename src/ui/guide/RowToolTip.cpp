#include "guide/RowToolTip.h"

#include "common/NumberMask.h"
#include "download/SaveName.h"
#include "mainwindow/Form1.h"

#include <QHelpEvent>
#include <QListWidget>
#include <QTextDocument>
#include <QToolTip>

QString rowToolTipText(const QString &fileName, double size, const QString &saveName)
{
    // Every line true as read, on a row saved before too: the name is the one
    // the next download would take; a click measures the ticked rows only.
    const QString sizeText = size > 0 ? maskZero(size) + QStringLiteral(" bytes")
                                      : QStringLiteral("not measured yet (tick the row, then click the list)");
    return QStringLiteral("ReplayTV file: %1\nSize: %2\nWould be saved as: %3").arg(fileName, sizeText, saveName);
}

RowToolTips::RowToolTips(const Form1 &window, QListWidget *list)
    : QObject(list)
    , w(window)
    , m_list(list)
{
    m_list->viewport()->installEventFilter(this);
}

QString RowToolTips::textForRow(int row) const
{
    if (row < 0 || row >= w.TitleCount || row >= Form1::kTableSize)
        return {};
    const auto i = std::size_t(row);
    const QString saveName = chooseFreeName(saveNameFor(w.Titles[i], w.RecordDates[i]), nameTakenIn(w.SaveFolder));
    QString text = rowToolTipText(w.FileNames[i], w.FileSizes[i], saveName);
    const SavedRecording *saved = w.savedRecording(row);
    if (!saved)
        return text;
    return text + u'\n' + savedDescription(*saved)
           + (w.savedFileChanged(row) ? QStringLiteral("\nThe file has changed since it was saved") : QString());
}

bool RowToolTips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip || watched != m_list->viewport())
        return QObject::eventFilter(watched, event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QString text = textForRow(m_list->row(m_list->itemAt(help->pos())));
    if (text.isEmpty())
        QToolTip::hideText();
    else // recorder text never as markup: "<img src=/dev/zero>" is a title, not a picture to load
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(text, Qt::WhiteSpacePre), m_list->viewport());
    return true;
}

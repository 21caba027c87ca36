#pragma once

#include <QObject>
#include <QString>

class Form1;
class QListWidget;

// The words shown when the pointer rests on a row of the title list.
// A size of 0 means the recording has not been measured yet.
QString rowToolTipText(const QString &fileName, double size, const QString &saveName);

// Shows each row's recorder file name, its measured size and the name it would
// be saved under, worked out when the pointer rests on the row, so the name
// reflects the files in the working directory at that moment.
class RowToolTips : public QObject
{
    Q_OBJECT

public:
    RowToolTips(const Form1 &window, QListWidget *list);

    QString textForRow(int row) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const Form1 &w;
    QListWidget *m_list;
};

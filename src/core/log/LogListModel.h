#pragma once

#include "log/LogLines.h"

#include <QAbstractListModel>
#include <QTimer>

#include <memory>

// The log viewer's rows: a first row of its own, then one row per line of the
// log. The first piece of the file is indexed at once, so the first rows are
// there before the window shows; the rest is indexed a few milliseconds at a
// time between events, so rows are added while the window keeps painting.
// Nothing is read again for rows already shown; later growth of the file is
// not seen.
class LogListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // Without lines (a log that could not be opened) only the first row.
    LogListModel(const QString &firstRow, std::unique_ptr<LogLines> lines, QObject *parent = nullptr);
    ~LogListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // True once every line of the log has its row.
    bool isIndexed() const;
    // True when the log could not be read to its end.
    bool readFailed() const;

signals:
    void indexed();

private:
    void indexForAWhile();
    void addIndexedRows();

    QString m_firstRow;
    std::unique_ptr<LogLines> m_lines;
    int m_rows = 1;
    QTimer m_indexing;
};

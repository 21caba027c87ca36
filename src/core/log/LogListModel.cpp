#include "log/LogListModel.h"

#include <QElapsedTimer>

#include <algorithm>
#include <climits>

namespace {

// Indexing hands the event loop back this often, so painting and input wait
// no longer than this.
constexpr qint64 kSliceMs = 10;

} // namespace

LogListModel::LogListModel(const QString &firstRow, std::unique_ptr<LogLines> lines, QObject *parent)
    : QAbstractListModel(parent)
    , m_firstRow(firstRow)
    , m_lines(std::move(lines))
{
    if (!m_lines)
        return;
    m_lines->indexPiece();
    addIndexedRows();
    if (m_lines->isIndexed())
        return;
    m_indexing.setInterval(0);
    connect(&m_indexing, &QTimer::timeout, this, &LogListModel::indexForAWhile);
    m_indexing.start();
}

LogListModel::~LogListModel() = default;

int LogListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant LogListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || index.parent().isValid() || index.row() < 0 || index.row() >= m_rows)
        return QVariant();
    if (index.row() == 0)
        return m_firstRow;
    return m_lines->text(index.row() - 1);
}

bool LogListModel::isIndexed() const
{
    return !m_lines || m_lines->isIndexed();
}

bool LogListModel::readFailed() const
{
    return m_lines && m_lines->readFailed();
}

void LogListModel::indexForAWhile()
{
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    while (!done && slice.elapsed() < kSliceMs)
        done = m_lines->indexPiece();
    addIndexedRows();
    if (done) {
        m_indexing.stop();
        emit indexed();
    }
}

void LogListModel::addIndexedRows()
{
    // A list counts its rows in an int: lines past that many are not shown.
    const int rows = int(std::min<qint64>(m_lines->count(), INT_MAX - 1)) + 1;
    if (rows <= m_rows)
        return;
    beginInsertRows(QModelIndex(), m_rows, rows - 1);
    m_rows = rows;
    endInsertRows();
}

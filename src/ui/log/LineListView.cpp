#include "log/LineListView.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

LineListView::LineListView(QWidget *parent)
    : QAbstractItemView(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerItem);
    setTextElideMode(Qt::ElideRight);
}

int LineListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int LineListView::rowHeight() const
{
    // Every row is as high as the first: a long list is never measured.
    if (m_rowHeight <= 0) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QModelIndex first = model() ? model()->index(0, 0, rootIndex()) : QModelIndex();
        if (first.isValid())
            m_rowHeight = itemDelegateForIndex(first)->sizeHint(option, first).height();
        m_rowHeight = std::max({m_rowHeight, fontMetrics().height(), 1});
    }
    return m_rowHeight;
}

int LineListView::fullRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

int LineListView::topRow() const
{
    return verticalScrollBar()->value();
}

int LineListView::rowTop(int row) const
{
    const qint64 top = qint64(row - qint64(topRow())) * rowHeight();
    return int(std::clamp<qint64>(top, -2 * qint64(rowHeight()), viewport()->height() + rowHeight()));
}

QRect LineListView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.parent() != rootIndex() || index.column() != 0)
        return QRect();
    return QRect(0, rowTop(index.row()), viewport()->width(), rowHeight());
}

int LineListView::verticalOffset() const
{
    return int(std::min<qint64>(qint64(topRow()) * rowHeight(), INT_MAX));
}

void LineListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.parent() != rootIndex())
        return;
    const int row = index.row();
    const int top = topRow();
    const int rows = fullRows();
    switch (hint) {
    case PositionAtTop:
        verticalScrollBar()->setValue(row);
        break;
    case PositionAtBottom:
        verticalScrollBar()->setValue(row - rows + 1);
        break;
    case PositionAtCenter:
        verticalScrollBar()->setValue(row - rows / 2);
        break;
    case EnsureVisible:
        if (row < top)
            verticalScrollBar()->setValue(row);
        else if (row >= top + rows)
            verticalScrollBar()->setValue(row - rows + 1);
        break;
    }
}

QModelIndex LineListView::indexAt(const QPoint &point) const
{
    if (!model() || point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width())
        return QModelIndex();
    const qint64 row = qint64(topRow()) + point.y() / rowHeight();
    if (row >= rowCount())
        return QModelIndex();
    return model()->index(int(row), 0, rootIndex());
}

QModelIndex LineListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int count = rowCount();
    if (count == 0)
        return QModelIndex();
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    qint64 row = current.row();
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= fullRows();
        break;
    case MovePageDown:
        row += fullRows();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = count - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return model()->index(int(std::clamp<qint64>(row, 0, count - 1)), 0, rootIndex());
}

void LineListView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (!model() || !selectionModel())
        return;
    const QRect inView = rect.normalized().intersected(viewport()->rect());
    const QModelIndex first = indexAt(QPoint(0, inView.top()));
    if (inView.isEmpty() || !first.isValid()) {
        selectionModel()->select(QItemSelection(), command);
        return;
    }
    QModelIndex last = indexAt(QPoint(0, inView.bottom()));
    if (!last.isValid())
        last = model()->index(rowCount() - 1, 0, rootIndex());
    selectionModel()->select(QItemSelection(first, last), command);
}

QRegion LineListView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        if (range.parent() != rootIndex() || range.left() > 0)
            continue;
        const int top = rowTop(range.top());
        const int bottom = rowTop(range.bottom()) + rowHeight();
        region += QRect(0, top, viewport()->width(), bottom - top);
    }
    return region;
}

void LineListView::paintEvent(QPaintEvent *event)
{
    if (!model())
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State base = option.state;
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus() || viewport()->hasFocus();
    const int first = topRow() + std::max(0, event->rect().top()) / rowHeight();
    const int last = int(std::min<qint64>(rowCount() - 1, qint64(topRow()) + event->rect().bottom() / rowHeight()));
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = visualRect(index);
        option.state = base;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (focused && index == current)
            option.state |= QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

void LineListView::updateGeometries()
{
    const int rows = fullRows();
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - rows));
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void LineListView::scrollContentsBy(int, int dy)
{
    // The scroll bar counts rows.
    if (dy != 0)
        viewport()->scroll(
            0, int(std::clamp<qint64>(qint64(dy) * rowHeight(), -viewport()->height(), viewport()->height())));
}

void LineListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_rowHeight = 0;
    QAbstractItemView::changeEvent(event);
}

void LineListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    if (start == 0)
        m_rowHeight = 0;
    updateGeometries();
    if (start <= topRow() + fullRows())
        viewport()->update();
}

void LineListView::reset()
{
    m_rowHeight = 0;
    QAbstractItemView::reset();
    updateGeometries();
    viewport()->update();
}

#pragma once

#include <QAbstractItemView>

// A plain list of one-line rows of equal height, for models of millions of
// rows: it keeps nothing per row, so adding rows or showing a long list costs
// the same as a short one. The vertical scroll bar counts rows; rows are as
// wide as the view and a text too long for it is cut with "…".
class LineListView : public QAbstractItemView
{
    Q_OBJECT

public:
    explicit LineListView(QWidget *parent = nullptr);

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    // Type-ahead search would read every row of a long log: the list has none.
    void keyboardSearch(const QString &) override {}

    // The first row shown at the top of the view.
    int topRow() const;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &) const override { return false; }
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;

    void paintEvent(QPaintEvent *event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void reset() override;

private:
    int rowCount() const;
    int rowHeight() const;
    // Rows that fit wholly in the view (at least one).
    int fullRows() const;
    // The view's y of a row's top, kept within a little of the view for rows far off.
    int rowTop(int row) const;

    mutable int m_rowHeight = 0;
};

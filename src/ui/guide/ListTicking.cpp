// Ticking many rows at once from the list's context menu and keys, the marks
// of recordings saved before, and opening a saved recording's folder.
#include "archive/FolderProbe.h"
#include "common/Contrast.h"
#include "common/UserMessage.h"
#include "guide/SavedMark.h"
#include "mainwindow/Form1.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QUrl>

#include <algorithm>

namespace {

QAction *listAction(QMenu *menu, const char *name, const QString &text, const QKeySequence &keys)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    // The keys work while the list has the focus, as the menu does.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    return action;
}

// Draws a row's mark at its end, so the columns stay in line under their headings.
class MarkAtRowEnd : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationPosition = QStyleOptionViewItem::Right;
    }
};

// What names the rows of the guide in the record.
QSet<QByteArray> rowKeys(const Form1 &w)
{
    QSet<QByteArray> wanted;
    for (std::size_t i = 0; i < std::size_t(std::clamp(int(w.TitleCount), 0, Form1::kTableSize)); ++i)
        wanted.insert(SavedRecords::key(w.FileNames[i], w.Titles[i], w.RecordDates[i]));
    return wanted;
}

} // namespace

void Form1::buildListMenu()
{
    List1->setItemDelegate(new MarkAtRowEnd(List1));
    const int rowHeight = List1->fontMetrics().height();
    List1->setIconSize(QSize(rowHeight, rowHeight));
    mnuList = new QMenu(List1);
    mnuList->setObjectName(QStringLiteral("mnuList"));
    mnuTickAll = listAction(mnuList, "mnuTickAll", QStringLiteral("Tick All"), QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuUntickAll
        = listAction(mnuList, "mnuUntickAll", QStringLiteral("Untick All"), QKeySequence(Qt::CTRL | Qt::Key_U));
    mnuTickNotSaved = listAction(mnuList, "mnuTickNotSaved", QStringLiteral("Tick Those Not Yet Saved"),
                                 QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuList->addSeparator();
    mnuOpenFolder = listAction(mnuList, "mnuOpenFolder", QStringLiteral("Open Containing Folder"), {});
    mnuVerifySaved = listAction(mnuList, "mnuVerifySaved", QStringLiteral("Verify Saved Recordings"), {});
    List1->addActions({mnuTickAll, mnuUntickAll, mnuTickNotSaved});
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    List1->installEventFilter(this);

    connect(mnuTickAll, &QAction::triggered, this, &Form1::TickAll_Click);
    connect(mnuUntickAll, &QAction::triggered, this, &Form1::UntickAll_Click);
    connect(mnuTickNotSaved, &QAction::triggered, this, &Form1::TickNotSaved_Click);
    connect(mnuOpenFolder, &QAction::triggered, this, &Form1::OpenFolder_Click);
    connect(mnuVerifySaved, &QAction::triggered, this, &Form1::VerifySaved_Click);
    connect(List1, &QListWidget::customContextMenuRequested, this, [this](QPoint at) {
        if (QListWidgetItem *row = List1->itemAt(at))
            List1->setCurrentItem(row);
        const SavedRecording *saved = savedRecording(rowForMenu());
        mnuOpenFolder->setEnabled(saved && !savedFolderUrl(*saved).isEmpty());
        mnuList->popup(List1->viewport()->mapToGlobal(at));
    });
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Space ticks or unticks the current row, and measures as a click does.
    if (watched == List1 && event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space
        && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        if (QListWidgetItem *row = List1->currentItem()) {
            const int current = List1->row(row);
            const bool ticked = row->checkState() == Qt::Checked;
            setTicks([current, ticked, this](int i) {
                return i == current ? !ticked : List1->item(i)->checkState() == Qt::Checked;
            });
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::setTicks(const std::function<bool(int row)> &ticked)
{
    if (DownloadInProgress)
        return;
    for (int row = 0; row < std::min(int(TitleCount), List1->count()); ++row)
        List1->item(row)->setCheckState(ticked(row) ? Qt::Checked : Qt::Unchecked);
    List1_Click();
}

void Form1::TickAll_Click()
{
    setTicks([](int) { return true; });
}

void Form1::UntickAll_Click()
{
    setTicks([](int) { return false; });
}

void Form1::TickNotSaved_Click()
{
    m_savedRecords.update(rowKeys(*this));
    setTicks([this](int row) { return savedRecording(row) == nullptr; });
}

int Form1::rowForMenu() const
{
    return List1->currentRow();
}

const SavedRecording *Form1::savedRecording(int row) const
{
    if (row < 0 || row >= TitleCount || row >= kTableSize)
        return nullptr;
    const auto i = std::size_t(row);
    return m_savedRecords.find(FileNames[i], Titles[i], RecordDates[i]);
}

void Form1::OpenFolder_Click()
{
    const SavedRecording *saved = savedRecording(rowForMenu());
    if (!saved)
        return;
    const QUrl folder = savedFolderUrl(*saved);
    if (folder.isEmpty() || !QDesktopServices::openUrl(folder))
        tellUser(QStringLiteral("The folder %1 could not be opened.").arg(QFileInfo(saved->path).path()));
}

void Form1::showSavedMarks()
{
    m_savedRecords.update(rowKeys(*this));
    const QIcon savedIcon = savedMark(true, List1);
    const QIcon goneIcon = savedMark(false, List1);
    // Saved rows look dimmed, yet keep a contrast that everyone can read.
    const QPalette &colours = List1->palette();
    const QColor dimmed = QColor::fromRgb(
        dimmedReadable(colours.color(QPalette::Text).rgb(), colours.color(QPalette::Base).rgb()));
    for (int row = 0; row < std::min(int(TitleCount), List1->count()); ++row) {
        QListWidgetItem *item = List1->item(row);
        const SavedRecording *saved = savedRecording(row);
        const bool there = saved && FolderProbe::isFile(saved->path).value_or(false); // else a warning mark
        const bool changed = there && m_changedFiles.contains(saved->path);           // a warning mark too
        item->setIcon(!saved ? QIcon() : there && !changed ? savedIcon : goneIcon);
        item->setData(Qt::ForegroundRole, saved ? QVariant(QBrush(dimmed)) : QVariant());
        // A screen reader hears the mark with the row's text.
        item->setData(Qt::AccessibleTextRole,
                      !saved    ? QVariant()
                      : changed ? QVariant(item->text() + QStringLiteral(", saved; the file has changed since"))
                      : there   ? QVariant(item->text() + QStringLiteral(", saved"))
                              : QVariant(item->text() + QStringLiteral(", saved; the saved file is no longer there")));
    }
}

#include "ListTicking.moc"

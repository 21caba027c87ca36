// The walkthrough's second start of Kelvado: the rows saved the first time
// are marked, and the list's context menu ticks the others.
#include "Walkthrough.h"

#include "guide/RowToolTip.h"
#include "mainwindow/Control.h"
#include "mainwindow/Form1.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

QString rowNumbers(const QList<int> &rows)
{
    QStringList numbers;
    for (int row : rows)
        numbers << QString::number(row + 1);
    return numbers.isEmpty() ? QStringLiteral("none") : numbers.join(QStringLiteral(", "));
}

} // namespace

void Walkthrough::openListMenu(Form1 &w, int row)
{
    auto *list = control<QListWidget>(w, "List1");
    QListWidgetItem *item = list->item(row);
    auto *menu = w.findChild<QMenu *>(QStringLiteral("mnuList"));
    if (!item || !menu) {
        show(QStringLiteral("There is no row %1 or no menu to open on it.").arg(row + 1));
        return;
    }
    list->setFocus();
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseMove(list->viewport(), at);
    // What a right click delivers to the list.
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &click);
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000)) {
        show(QStringLiteral("The list's menu did not open."));
        return;
    }
    (void)QTest::qWaitForWindowExposed(menu);
    show(QStringLiteral("The menu opened; its entries:"));
    const QList<QAction *> actions = menu->actions();
    for (const QAction *action : actions) {
        if (action->isSeparator()) {
            show(QStringLiteral("  ----"));
            continue;
        }
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        show(QStringLiteral("  %1%2%3")
                 .arg(action->text(), keys.isEmpty() ? QString() : QStringLiteral("  (") + keys + u')',
                      action->isEnabled() ? QString() : QStringLiteral("  [disabled]")));
    }
    screenshot(menu, QStringLiteral("7-list-menu.png"));
    screenshotScreen(QStringLiteral("7-list-menu-screen.png"));
}

void Walkthrough::chooseFromListMenu(Form1 &w, const char *actionName)
{
    auto *menu = w.findChild<QMenu *>(QStringLiteral("mnuList"));
    QAction *chosen = nullptr;
    const QList<QAction *> actions = menu ? menu->actions() : QList<QAction *>();
    for (QAction *action : actions) {
        if (action->objectName() == QLatin1String(actionName))
            chosen = action;
    }
    if (!chosen) {
        show(QStringLiteral("The menu has no entry %1.").arg(QLatin1String(actionName)));
        return;
    }
    if (menu->isVisible()) {
        // The pointer moves onto the entry first: a menu ignores a release
        // where it popped up.
        const QPoint at = menu->actionGeometry(chosen).center();
        QTest::mouseMove(menu, at);
        QTest::mouseClick(menu, Qt::LeftButton, {}, at);
        show(QStringLiteral("Clicked %1; the menu %2")
                 .arg(quoted(chosen->text()),
                      menu->isVisible() ? QStringLiteral("is still open") : QStringLiteral("closed")));
    } else {
        show(QStringLiteral("The menu is not open: %1 is triggered directly.").arg(quoted(chosen->text())));
        chosen->trigger();
    }
}

bool Walkthrough::secondPass()
{
    step(QStringLiteral("Start Kelvado again: a new main window, as after a restart"));
    Form1 w;
    w.Form_Load();
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        show(QStringLiteral("The window did not appear on the display."));
    show(QStringLiteral("IP Address: %1   saves into: %2")
             .arg(quoted(control<QLineEdit>(w, "IPAddress")->text()), quoted(w.SaveFolder)));

    step(QStringLiteral("Press \"Get Guide\": the rows saved before carry a mark"));
    QTest::mouseClick(control<QPushButton>(w, "GetGuide"), Qt::LeftButton);
    auto *list = control<QListWidget>(w, "List1");
    printRows(w);
    if (const auto *tips = list->findChild<RowToolTips *>())
        show(QStringLiteral("Tooltip of row 1: ") + tips->textForRow(0).replace(u'\n', QStringLiteral(" / ")));
    screenshot(&w, QStringLiteral("6-saved-marks.png"));

    step(QStringLiteral("Right-click row 1: the list's context menu"));
    openListMenu(w, 0);

    step(QStringLiteral("Choose \"Tick Those Not Yet Saved\""));
    chooseFromListMenu(w, "mnuTickNotSaved");
    QList<int> ticked;
    QList<int> unsaved;
    for (int row = 0; row < std::min(int(w.TitleCount), list->count()); ++row) {
        if (list->item(row)->checkState() == Qt::Checked)
            ticked << row;
        if (!m_savedRecorderNames.contains(w.FileNames[std::size_t(row)]))
            unsaved << row;
    }
    const bool right = !ticked.isEmpty() && ticked == unsaved;
    printRows(w);
    show(QStringLiteral("Ticked rows: %1").arg(rowNumbers(ticked)));
    show(QStringLiteral("Rows the first pass did not save: %1 -> %2")
             .arg(rowNumbers(unsaved), right ? QStringLiteral("the same") : QStringLiteral("NOT the same")));
    printCounters(w);
    screenshot(&w, QStringLiteral("8-not-yet-saved-ticked.png"));

    step(QStringLiteral("Close the window"));
    w.close();
    return right;
}

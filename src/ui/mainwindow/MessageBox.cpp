#include "mainwindow/MessageBox.h"

#include "common/UserMessage.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>

namespace {

QPointer<QWidget> &mainWindow()
{
    static QPointer<QWidget> window;
    return window;
}

QWidget *owner()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    QWidget *main = mainWindow();
    return main && main->isVisible() ? main : nullptr;
}

// A short message makes a narrow box, whose title bar then cuts "Kelvado" down
// beside the window manager's icon and buttons: the box is made wide enough
// for the title and room for those.
void widenForTitle(QMessageBox &box)
{
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics title(titleFont);
    const int width = title.horizontalAdvance(box.windowTitle()) + 12 * title.height();
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

} // namespace

void showMessageBox(const QString &text)
{
    QWidget *parent = owner();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kelvado"), text, QMessageBox::Ok, parent);
    // Names and titles come from the recorder: never read as markup.
    box.setTextFormat(Qt::PlainText);
    widenForTitle(box);
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box.exec();
    if (parent)
        parent->activateWindow();
}

bool showQuestionBox(const QString &text)
{
    QWidget *parent = owner();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Kelvado"), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setTextFormat(Qt::PlainText);
    widenForTitle(box);
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    const bool yes = box.exec() == QMessageBox::Yes;
    if (parent)
        parent->activateWindow();
    return yes;
}

void installMessageBoxSink(QWidget *mainWindowWidget)
{
    mainWindow() = mainWindowWidget;
    setUserMessageSink(&showMessageBox);
    setUserQuestionSink(&showQuestionBox);
}

// The walkthrough's step through "Set Mpeg Path": the folder chooser is
// answered as a user answers it.
#include "Walkthrough.h"

#include "mainwindow/Control.h"
#include "mainwindow/Form1.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QPushButton>
#include <QTest>

void Walkthrough::chooseSaveFolder(Form1 &w)
{
    m_saveFolder = QDir(m_dir).filePath(QStringLiteral("Archive"));
    QDir().mkpath(m_saveFolder);
    show(QStringLiteral("Made the folder ") + m_saveFolder);
    QTest::mouseClick(control<QPushButton>(w, "GetPath"), Qt::LeftButton);
    const QPointer<QFileDialog> chooser = w.findChild<QFileDialog *>(QStringLiteral("SaveFolderChooser"));
    if (!chooser) {
        show(QStringLiteral("The folder chooser did not open."));
        return;
    }
    (void)QTest::qWaitForWindowExposed(chooser);
    show(QStringLiteral("Window %1 opened in %2").arg(quoted(chooser->windowTitle()), chooser->directory().path()));
    // Into the folder, with nothing typed: the chooser then offers the folder it shows.
    chooser->setDirectory(m_saveFolder);
    screenshot(chooser, QStringLiteral("0-save-folder-chooser.png"));
    // Its own OK button, as a user presses it; a chooser of the desktop's has none to find.
    const auto *buttons = chooser->findChild<QDialogButtonBox *>();
    QPushButton *ok = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (ok && QTest::qWaitFor([ok] { return ok->isEnabled(); }, 2000)) {
        show(QStringLiteral("Set the chooser to %1 and press %2").arg(m_saveFolder, quoted(ok->text().remove(u'&'))));
        QTest::mouseClick(ok, Qt::LeftButton);
    } else {
        show(QStringLiteral("The chooser's OK button could not be pressed: accepting the chooser instead."));
        static_cast<QDialog *>(chooser.data())->accept(); // public as a QDialog's
    }
    show(QStringLiteral("Chooser %1; the window saves into %2")
             .arg(chooser && chooser->isVisible() ? QStringLiteral("still open") : QStringLiteral("closed"),
                  quoted(w.SaveFolder)));
    show(QStringLiteral("\"Set Mpeg Path\" tooltip: ")
         + control<QPushButton>(w, "GetPath")->toolTip().replace(u'\n', QStringLiteral(" / ")));
    show(QStringLiteral("SaveFolder.txt:"));
    printFile(QStringLiteral("SaveFolder.txt"));
}

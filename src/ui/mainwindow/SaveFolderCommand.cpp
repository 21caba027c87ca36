// Set Mpeg Path: the folder saved recordings go to, chosen in a folder
// chooser and kept for the next run.
#include "archive/FolderProbe.h"
#include "archive/SaveFolderSetting.h"
#include "common/UserMessage.h"
#include "mainwindow/ShownText.h"
#include "mainwindow/Form1.h"
#include "startup/WorkingFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString folderSavedIn(const QString &saveFolder)
{
    return QDir::toNativeSeparators(saveFolder.isEmpty() ? QDir::currentPath() : saveFolder);
}

} // namespace

void Form1::GetPath_Click()
{
    if (m_folderChooser) {
        m_folderChooser->raise();
        m_folderChooser->activateWindow();
        return;
    }
    // Not waited on: a session that is running goes on while the user chooses.
    // A save folder that does not answer would hang the chooser: it starts in the working folder then.
    const bool saveFolderAnswers = !SaveFolder.isEmpty() && FolderProbe::isFolder(SaveFolder).value_or(false);
    m_folderChooser = new QFileDialog(this, QStringLiteral("Save Recordings In"),
                                      saveFolderAnswers ? SaveFolder : QDir::currentPath());
    m_folderChooser->setObjectName(QStringLiteral("SaveFolderChooser"));
    m_folderChooser->setFileMode(QFileDialog::Directory);
    m_folderChooser->setOption(QFileDialog::ShowDirsOnly);
    m_folderChooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_folderChooser, &QFileDialog::fileSelected, this, &Form1::SaveFolderChosen);
    m_folderChooser->open();
}

void Form1::SaveFolderChosen(const QString &folder)
{
    if (const QString why = unusableSaveFolder(folder); !why.isEmpty()) {
        tellUser(QStringLiteral("Recordings cannot be saved in %1: %2. Choose another folder, or rename this one.")
                     .arg(folder, why));
        return;
    }
    SaveFolder = effectiveSaveFolder(folder);
    QString error;
    if (!writeSaveFolder(SaveFolder, &error))
        tellUser(error + QStringLiteral("\nThe folder is used until Kelvado ends."));
    showSaveFolder();
}

void Form1::showSaveFolder()
{
    const QString folder = folderSavedIn(SaveFolder);
    showSavingAsTip();
    GetPath->setToolTip(plainToolTip(QStringLiteral("Sets Path for saved Mpegs\nNow: ") + folder));

    // The status bar names the save folder beside the working folder once one is chosen.
    auto *where = findChild<QLabel *>(QStringLiteral("WorkingFolder"));
    if (!where)
        return;
    const QString home = QDir::homePath();
    QStringList text{QStringLiteral("Working folder: "), shortFolderName(QDir::currentPath(), home)};
    QString tip = QStringLiteral("Settings, log, guide files and recordings are kept in ")
                  + QDir::toNativeSeparators(QDir::currentPath());
    if (!SaveFolder.isEmpty()) {
        text << QStringLiteral("    Recordings saved in: ") << shortFolderName(SaveFolder, home);
        tip = QStringLiteral("Settings, log and guide files are kept in %1\nRecordings are saved in %2")
                  .arg(QDir::toNativeSeparators(QDir::currentPath()), folder);
    }
    where->setText(fitPathsBetweenWords(where->fontMetrics(), text, centralWidget()->width() - 24));
    where->setToolTip(plainToolTip(tip));
}

void Form1::showSavingAsTip()
{
    const QString name = Text7->text();
    Text7->setToolTip(plainToolTip(QStringLiteral("Renamed after download to this name")
                                   + (name.isEmpty() ? QString() : QStringLiteral(": ") + name)
                                   + QStringLiteral("\nSaved in: ") + folderSavedIn(SaveFolder)));
}

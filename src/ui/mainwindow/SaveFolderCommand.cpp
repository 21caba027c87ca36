// Set Mpeg Path: the folder saved recordings go to, chosen in a folder
// chooser and kept for the next run.
#include "archive/SaveFolderSetting.h"
#include "common/UserMessage.h"
#include "mainwindow/Form1.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

void Form1::GetPath_Click()
{
    if (m_folderChooser) {
        m_folderChooser->raise();
        m_folderChooser->activateWindow();
        return;
    }
    // Not waited on: a session that is running goes on while the user chooses.
    m_folderChooser = new QFileDialog(this, QStringLiteral("Save Recordings In"),
                                      SaveFolder.isEmpty() ? QDir::currentPath() : SaveFolder);
    m_folderChooser->setObjectName(QStringLiteral("SaveFolderChooser"));
    m_folderChooser->setFileMode(QFileDialog::Directory);
    m_folderChooser->setOption(QFileDialog::ShowDirsOnly);
    m_folderChooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_folderChooser, &QFileDialog::fileSelected, this, &Form1::SaveFolderChosen);
    m_folderChooser->open();
}

void Form1::SaveFolderChosen(const QString &folder)
{
    SaveFolder = effectiveSaveFolder(folder);
    QString error;
    if (!writeSaveFolder(SaveFolder, &error))
        tellUser(error + QStringLiteral("\nThe folder is used until Kelvado ends."));
    showSaveFolder();
}

void Form1::showSaveFolder()
{
    const QString folder = QDir::toNativeSeparators(SaveFolder.isEmpty() ? QDir::currentPath() : SaveFolder);
    Text7->setToolTip(QStringLiteral("Renamed after download to this name\nSaved in: ") + folder);
    GetPath->setToolTip(QStringLiteral("Sets Path for saved Mpegs\nNow: ") + folder);
}

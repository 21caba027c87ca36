#pragma once

#include "archive/SavedRecords.h"
#include "download/SessionInputs.h"
#include "fixity/FixityCheck.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

class QAction;
class QFileDialog;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class Form2;
class frmAbout;
class ProgressStrip;
class SessionCompanion;

// The main window: its controls, the program's working state and its reactions.
// The reactions of each subsystem live in that subsystem's folder; the work
// itself is done in the core, and the window shows what it reports. Controls
// are the window's own: outside drivers find them by objectName.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kTableSize = 201; // titles 0..200

    // The timing of tool runs and sessions; only tests shorten it.
    explicit Form1(const SessionTiming &timing = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: settings, stale guide files, run flags, the log's creation header.
    void Form_Load();

    // ---- Run flags ----
    bool GuideLoaded = false;
    bool DownloadInProgress = false;

    // ---- Connection settings ----
    QString RecorderIP;
    QString DelayFactor;

    // ---- Title table ----
    short TitleCount = 0;
    std::array<QString, kTableSize> Titles;
    std::array<QString, kTableSize> RecordDates;
    std::array<QString, kTableSize> FileNames;
    std::array<double, kTableSize> FileSizes{};

    // ---- Where recordings are saved: empty for the working folder ----
    QString SaveFolder;

    // ---- Tagging totals ----
    short TaggedCount = 0;
    double TotalSize = 0;

    // ---- Reactions: connection settings ----
    void SaveIP();
    void IPAddress_Change();
    void Text9_Change();
    void Check1_Click();
    void LoadSettings();

    // ---- Reactions: guide and tagging ----
    void GetGuide_Click();
    void List1_Click();
    void List1_ItemCheck(int row);

    // ---- Reactions: ticking many rows; what was saved before ----
    void TickAll_Click();
    void UntickAll_Click();
    void TickNotSaved_Click();
    void OpenFolder_Click();
    // Reads every saved recording again on a worker thread; while it runs, stops it.
    void VerifySaved_Click();
    // The last verify found the row's saved file changed since it was saved.
    bool savedFileChanged(int row) const;
    // Marks each row saved before, from the record in the working folder.
    void showSavedMarks();
    const SavedRecording *savedRecording(int row) const;

    // ---- Reactions: download session ----
    void Extract_Click();

    // ---- Reactions: window commands ----
    void Quit_Click();
    void LogView_Click();
    void GetPath_Click();
    void SaveFolderChosen(const QString &folder);
    void mnuAbout_Click();

    // Ends the program from Quit. Tests replace it so the test runner lives on.
    static void setProgramExit(std::function<void()> exitProgram);

    // The strip, keeping the machine awake and the end notification.
    SessionCompanion &companion() const { return *m_companion; }

    Form2 *logViewer() const;
    frmAbout *aboutDialog() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // ---- Controls (objectName = member name) ----
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr, *Text5 = nullptr,
              *Text6 = nullptr, *Text7 = nullptr, *Text8 = nullptr, *Text9 = nullptr;
    QLineEdit *IPAddress = nullptr;
    QCheckBox *Check1 = nullptr;
    QListWidget *List1 = nullptr;
    QPushButton *Quit = nullptr, *Extract = nullptr, *GetGuide = nullptr, *LogView = nullptr, *GetPath = nullptr;
    QGroupBox *Frame1 = nullptr, *Frame2 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr,
           *Label11 = nullptr, *Label12 = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;
    // The list's context menu.
    QMenu *mnuList = nullptr;
    QAction *mnuTickAll = nullptr, *mnuUntickAll = nullptr, *mnuTickNotSaved = nullptr, *mnuOpenFolder = nullptr,
            *mnuVerifySaved = nullptr;
    // The progress strip at the bottom of the status frame.
    ProgressStrip *Progress = nullptr;


    void buildControls();
    void nameForScreenReaders();
    // Text7's tooltip: the whole name it shows and the folder it is saved in.
    void showSavingAsTip();
    void buildListMenu();
    void connectReactions();
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Ticks the rows the test picks, then measures as a click on the list does.
    void setTicks(const std::function<bool(int row)> &ticked);
    int rowForMenu() const;
    void showSaveFolder();
    QList<QueuedTitle> tickedTitles() const;
    void verifyChecked(const FixityResult &result);
    void verifyEnded(bool stopped);

    SessionTiming m_timing;

    SessionCompanion *m_companion = nullptr;
    QPointer<Form2> m_logViewer;
    QPointer<frmAbout> m_about;
    QPointer<QFileDialog> m_folderChooser;
    SavedRecords m_savedRecords;
    QPointer<FixityCheck> m_fixityCheck;
    QSet<QString> m_changedFiles; // saved files the last verify found changed
    QStringList m_verifyFindings; // what the running verify found changed or missing
    FixityTally m_verifyTally;
    bool m_centred = false;
    bool m_settingsFailureTold = false;
};

#include "mainwindow/Form1.h"

#include "about/frmAbout.h"
#include "archive/SaveFolderSetting.h"
#include "common/UserMessage.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/SessionCompanion.h"
#include "desktop/SleepInhibitor.h"
#include "guide/RowToolTip.h"
#include "log/Form2.h"
#include "runner/FileNames.h"
#include "startup/FolderStart.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

Form1::Form1(const SessionTiming &timing, QWidget *parent)
    : QMainWindow(parent)
    , m_timing(timing)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    buildControls();
    showSaveFolder();
    connectReactions();
    new RowToolTips(*this, List1);
    m_companion = new SessionCompanion(Progress, std::make_unique<SleepInhibitor>(),
                                       std::make_unique<DesktopNotifier>(), this);
}

Form1::~Form1()
{
    // The viewer and the about dialog have no owner; they end with the main window.
    delete m_logViewer.data();
    delete m_about.data();
}

Form2 *Form1::logViewer() const
{
    return m_logViewer;
}

frmAbout *Form1::aboutDialog() const
{
    return m_about;
}

void Form1::connectReactions()
{
    buildListMenu();
    connect(IPAddress, &QLineEdit::textChanged, this, &Form1::IPAddress_Change);
    connect(Text9, &QLineEdit::textChanged, this, &Form1::Text9_Change);
    connect(Check1, &QCheckBox::toggled, this, &Form1::Check1_Click);
    connect(GetGuide, &QPushButton::clicked, this, [this] { GetGuide_Click(); });
    connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
    connect(List1, &QListWidget::itemChanged, this,
            [this](QListWidgetItem *item) { List1_ItemCheck(List1->row(item)); });
    connect(Extract, &QPushButton::clicked, this, &Form1::Extract_Click);
    connect(Quit, &QPushButton::clicked, this, &Form1::Quit_Click);
    connect(LogView, &QPushButton::clicked, this, &Form1::LogView_Click);
    connect(GetPath, &QPushButton::clicked, this, &Form1::GetPath_Click);
    connect(mnuAbout, &QAction::triggered, this, &Form1::mnuAbout_Click);
    connect(Text7, &QLineEdit::textChanged, this, &Form1::showSavingAsTip);

    // "Set Mpeg Path" is the window's cancel button: Escape presses it.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("GetPathCancelKey"));
    connect(escape, &QShortcut::activated, GetPath, [this] { GetPath->animateClick(); });
}

void Form1::Form_Load()
{
    LoadSettings();
    SaveFolder = readSaveFolder();
    showSaveFolder();
    startInWorkingFolder(SaveFolder);

    GuideLoaded = false;
    DownloadInProgress = false;
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (QScreen *where = screen()) {
        const QRect room = where->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveCenter(room.center());
        // On a screen smaller than the window (a large scale factor) its title
        // bar and menu stay on the screen, where they can be reached.
        move(std::max(frame.left(), room.left()), std::max(frame.top(), room.top()));
    }
}

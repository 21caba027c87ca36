#include "log/Form2.h"

#include "log/LineListView.h"
#include "log/LogListModel.h"
#include "log/LogWriter.h"
#include "mainwindow/Twips.h"
#include "mainwindow/WindowFont.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QString caption()
{
    return QStringLiteral("Log View");
}

} // namespace

Form2::Form2(QWidget *parent)
    : QWidget(parent)
{
    // A frame with a close box and no minimise or maximise box; still resizable.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

void Form2::buildControls()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(caption());
    setFont(sansFont(9.75));
    resize(twips(9075), twips(4755));

    // Fixed places: resizing the window moves nothing.
    Label1 = new QLabel(QStringLiteral("Kelvado  Log"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(1440, 240, 6135, 495));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(sansFont(18, true, true));

    // Rows of one height over the file itself: a log of any length opens at
    // once and scrolls smoothly.
    Log_List = new LineListView(this);
    Log_List->setObjectName(QStringLiteral("Log_List"));
    Log_List->setGeometry(twipsRect(600, 960, 7695, 2940));
    Log_List->setSelectionMode(QAbstractItemView::SingleSelection);
    Log_List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Log_List->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A screen reader names the list by the heading above it.
    Log_List->setAccessibleName(Label1->text());

    Command1 = new QPushButton(QStringLiteral("Close Window"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(720, 4080, 1455, 495));
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    setTabOrder(Log_List, Command1);
    Log_List->setFocus();
}

void Form2::Form_Load()
{
    std::unique_ptr<LogLines> lines = LogLines::open(kLogFileName, nullptr);
    const bool opened = lines != nullptr;
    m_rows = new LogListModel(QStringLiteral("Log_List"), std::move(lines), this);
    Log_List->setModel(m_rows);
    // Without a log the list keeps its first row; the caption tells why it
    // holds nothing, or why it may hold less than the whole log.
    if (!opened || m_rows->readFailed())
        showLogProblem();
    connect(m_rows, &LogListModel::indexed, this, [this] {
        if (m_rows->readFailed())
            showLogProblem();
        emit logIndexed();
    });
}

bool Form2::isLogIndexed() const
{
    return m_rows->isIndexed();
}

void Form2::showLogProblem()
{
    setWindowTitle(caption() + QStringLiteral(" - the log could not be read"));
}

void Form2::Command1_Click()
{
    hide();
}

void Form2::closeEvent(QCloseEvent *event)
{
    m_closedByFrame = true;
    QWidget::closeEvent(event);
}

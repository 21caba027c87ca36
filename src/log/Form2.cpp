#include "Form2.h"

#include "LogLines.h"
#include "LogWriter.h"
#include "mainwindow/Twips.h"
#include "mainwindow/WindowFont.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString kCaption = QStringLiteral("Log View");

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
    setWindowTitle(kCaption);
    setFont(sansFont(9.75));
    resize(twips(9075), twips(4755));

    // Fixed places: resizing the window moves nothing.
    Label1 = new QLabel(QStringLiteral("Kelvado  Log"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(1440, 240, 6135, 495));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(sansFont(18, true, true));

    Log_List = new QListWidget(this);
    Log_List->setObjectName(QStringLiteral("Log_List"));
    Log_List->setGeometry(twipsRect(600, 960, 7695, 2940));
    Log_List->setSelectionMode(QAbstractItemView::SingleSelection);
    Log_List->setSortingEnabled(false);
    Log_List->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A long log stays quick to fill and scroll.
    Log_List->setUniformItemSizes(true);
    Log_List->addItem(QStringLiteral("Log_List"));

    Command1 = new QPushButton(QStringLiteral("Close Window"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(720, 4080, 1455, 495));
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    setTabOrder(Log_List, Command1);
    Log_List->setFocus();
}

void Form2::Form_Load()
{
    const LogReadResult log = readLogLines(kLogFileName);
    if (!log.readable) {
        // The list stays with its first row; the caption tells why it holds nothing.
        setWindowTitle(kCaption + QStringLiteral(" - the log could not be read"));
        return;
    }
    Log_List->addItems(log.lines);
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

#include "about/frmAbout.h"

#include "about/AppIdentity.h"
#include "about/KelvadoEmblem.h"
#include "mainwindow/Twips.h"
#include "mainwindow/WindowFont.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kPictureWidth = 74;
constexpr int kPictureHeight = 64;

// Each part starts on a line of its own.
QString acknowledgements()
{
    return QStringLiteral("Thanks to the makers of Tolvane, the transfer tool.\n"
                          "Thanks to the maker of Tamrick, the guide helper.\n"
                          "Kelvado is written by the Kelvado developers.");
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QRect rect)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void makeTextBlack(QLabel *label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

QWidget *line(QWidget *parent, const char *name, const QColor &colour, QRect rect)
{
    auto *line = new QWidget(parent);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(rect);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
    , m_picture(kelvadoEmblem(kPictureWidth, kPictureHeight))
{
    // A tool window stays out of the task bar; a fixed frame with only a close box.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildControls();
    Form_Load();
    // OK, Enter, Escape and the close box all end in done().
    connect(this, &QDialog::finished, this, [this] { m_closed = true; });
}

void frmAbout::buildControls()
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(twips(5730), twips(3555));
    QPoint screenOrigin;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        screenOrigin = screen->geometry().topLeft();
    // The client area's top-left corner sits at a fixed place on the screen.
    setGeometry(QRect(screenOrigin + QPoint(twips(2340), twips(1935)), size()));

    // The etched separator: the grey line first, the white one over and just below it.
    Line1[1] = line(this, "Line1_1", QColor(128, 128, 128), QRect(twips(90), twips(2160), twips(5654) - twips(90) + 1, 1));
    Line1[0] = line(this, "Line1_0", Qt::white, QRect(twips(120), twips(2160) + 1, twips(5669) - twips(120) + 1, 2));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(4245, 2625, 1260, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    lblDisclaimer = label(this, "lblDisclaimer", QStringLiteral("       "), twipsRect(255, 2505, 3750, 810));
    lblDisclaimer->setWordWrap(true);
    makeTextBlack(lblDisclaimer);

    lblTitle = label(this, "lblTitle", QString(), twipsRect(1080, 240, 2355, 480));
    lblTitle->setFont(sansFont(18));
    makeTextBlack(lblTitle);

    lblVersion = label(this, "lblVersion", QString(), twipsRect(3720, 360, 1845, 225));

    Label1 = label(this, "Label1", acknowledgements(), twipsRect(360, 1080, 5055, 855));
    Label1->setWordWrap(true);

    cmdOK->setFocus();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + AppIdentity::kTitle);
    lblVersion->setText(AppIdentity::versionText());
    lblTitle->setText(AppIdentity::kTitle);
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // The picture lies behind the controls, unscaled, at the top-left corner.
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}

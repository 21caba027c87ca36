// The main window's controls: kinds, captions, tooltips, fonts and places.
#include "mainwindow/Form1.h"

#include "common/Contrast.h"
#include "mainwindow/ShownText.h"
#include "mainwindow/Twips.h"
#include "progress/ProgressStrip.h"
#include "mainwindow/WindowFont.h"
#include "mainwindow/WrappingButton.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyleOptionViewItem>

namespace {

constexpr double kBoxFontPoints = 9.75;

template <typename Widget>
Widget *place(Widget *widget, const char *name, QRect rect)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    return widget;
}

QLineEdit *textBox(QWidget *parent, const char *name, QRect rect, Qt::Alignment align = Qt::AlignLeft,
                   const QString &tip = {}, bool readOnly = true)
{
    auto *box = place(new QLineEdit(parent), name, rect);
    box->setFont(sansFont(kBoxFontPoints));
    box->setAlignment(align | Qt::AlignVCenter);
    box->setToolTip(tip);
    // The display boxes are written by the program only; they still take the focus
    // so their text can be selected and copied.
    box->setReadOnly(readOnly);
    return box;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect rect,
              Qt::Alignment align = Qt::AlignLeft, const QString &tip = {})
{
    auto *text = place(new QLabel(caption, parent), name, rect);
    text->setFont(sansFont(kBoxFontPoints));
    text->setAlignment(align | Qt::AlignTop);
    text->setTextFormat(Qt::PlainText);
    text->setToolTip(tip);
    return text;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &tip, QRect rect)
{
    auto *command = place(new WrappingButton(caption, parent), name, rect);
    command->setToolTip(tip);
    command->setAutoDefault(false);
    return command;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, QRect rect)
{
    auto *box = place(new QGroupBox(caption, parent), name, rect);
    box->setFont(sansFont(kBoxFontPoints, true));
    return box;
}

// The column header is set in a proportional font over fixed-pitch rows. The
// font that stands in for the original face is wider, so the header is scaled
// down until its "Quality" column stands over the rows' quality column.
QFont headerFontOverList(QFont font, const QString &header, int headerX, const QListWidget *list)
{
    constexpr int kTitleColumns = 58;
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.rect = QRect(0, 0, list->width(), 16);
    option.text = QStringLiteral("x");
    option.font = list->font();
    const QRect textRect = list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list);
    const int rowTitleEnd = list->x() + list->frameWidth() + textRect.left()
        + QFontMetrics(list->font()).horizontalAdvance(QString(kTitleColumns, u'x'));
    const QString beforeQuality = header.left(header.indexOf(QStringLiteral("Quality")));
    const int target = rowTitleEnd - headerX;
    for (double points = font.pointSizeF(); points > 6; points -= 0.25) {
        font.setPointSizeF(points);
        if (QFontMetrics(font).horizontalAdvance(beforeQuality) <= target)
            break;
    }
    return font;
}

// The status bar names the folder the program works in: the one it was started
// in, or its own under the videos folder when started from the desktop menu.
// Its text follows the save folder (showSaveFolder).
void addWorkingFolder(QStatusBar *bar)
{
    auto *where = new QLabel(bar);
    where->setObjectName(QStringLiteral("WorkingFolder"));
    // Folder names are shown as they are: "<img src=/dev/zero>" may be part of one.
    where->setTextFormat(Qt::PlainText);
    where->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    where->setIndent(6);
    bar->addWidget(where, 1);
    bar->setSizeGripEnabled(false);
}

} // namespace

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kelvado  "));

    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Form1Client"));
    client->setFixedSize(twips(12975), twips(7770));
    setCentralWidget(client);

    Text8 = textBox(client, "Text8", twipsRect(2880, 5760, 1695, 375), Qt::AlignRight);
    Quit = button(client, "Quit", QStringLiteral("Exit"), QStringLiteral("Quit program"),
                  twipsRect(5040, 6720, 975, 615));
    Extract = button(client, "Extract", QStringLiteral("Extract Mpeg(s)"), QStringLiteral("Off-load selected Titles"),
                     twipsRect(2820, 6720, 975, 615));
    GetGuide = button(client, "GetGuide", QStringLiteral("Get Guide"), QStringLiteral("Get Guide Info."),
                      twipsRect(1710, 6720, 975, 615));
    LogView = button(client, "LogView", QStringLiteral("View Log"), QStringLiteral("View Program Log"),
                     twipsRect(3930, 6720, 975, 615));
    GetPath = button(client, "GetPath", QStringLiteral("Set Mpeg Path"),
                     QStringLiteral("Sets Path for saved Mpegs - Future Feature"), twipsRect(600, 6720, 975, 615));
    Text7 = textBox(client, "Text7", twipsRect(7560, 6480, 4335, 315), Qt::AlignLeft,
                    QStringLiteral("Renamed after download to this name"));
    Text4 = textBox(client, "Text4", twipsRect(9000, 6000, 2895, 315), Qt::AlignLeft,
                    QStringLiteral("Shows ReplayTV File Name"));
    Text3 = textBox(client, "Text3", twipsRect(6600, 6000, 2055, 315));

    List1 = place(new QListWidget(client), "List1", twipsRect(960, 1680, 10935, 2220));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(8.25);
    // The rows are column-aligned text: insist on a fixed-pitch face.
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    List1->setFont(fixed);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true);

    Text6 = textBox(client, "Text6", twipsRect(2880, 5370, 1695, 375), Qt::AlignRight);
    Text5 = textBox(client, "Text5", twipsRect(2880, 5010, 495, 375), Qt::AlignHCenter);
    Text5->setText(QStringLiteral("0"));
    Text2 = textBox(client, "Text2", twipsRect(2880, 4650, 495, 375), Qt::AlignHCenter);
    Text1 = textBox(client, "Text1", twipsRect(2880, 4290, 1335, 375), Qt::AlignHCenter);

    Frame2 = frame(client, "Frame2", QStringLiteral("Parameters"), twipsRect(6360, 4200, 5775, 1335));
    Check1 = place(new QCheckBox(QStringLiteral("Use Tolvane Default Delay"), Frame2), "Check1",
                   twipsRect(2280, 840, 3015, 360));
    Check1->setFont(sansFont(kBoxFontPoints));
    IPAddress = textBox(Frame2, "IPAddress", twipsRect(1560, 360, 1575, 360), Qt::AlignLeft,
                        QStringLiteral("Input your ReplayTV IP Address"), false);
    Text9 = textBox(Frame2, "Text9", twipsRect(4200, 360, 975, 360), Qt::AlignLeft,
                    QStringLiteral("Warning - See Readme file about 0 delay setting"), false);
    Label9 = label(Frame2, "Label9", QStringLiteral("IP Address"), twipsRect(240, 375, 1215, 285), Qt::AlignHCenter);
    Label10 = label(Frame2, "Label10", QStringLiteral("Delay"), twipsRect(3480, 375, 615, 285), Qt::AlignHCenter,
                    QStringLiteral("Click on Use Tolvane Default for slower but safe downloading"));

    Frame1 = frame(client, "Frame1", QStringLiteral("Status"), twipsRect(6360, 5640, 5775, 1575));
    Label8 = label(Frame1, "Label8", QStringLiteral("Saving As:"), twipsRect(120, 840, 1095, 255), Qt::AlignHCenter);
    // The free strip below "Saving As:".
    Progress = new ProgressStrip(Frame1);
    Progress->setGeometry(twipsRect(120, 1185, 5535, 300));

    Label12 = label(client, "Label12", QStringLiteral("This File Left"), twipsRect(840, 5760, 1935, 375),
                    Qt::AlignRight);
    Label11 = label(client, "Label11", QStringLiteral("Ver. 1.6"), twipsRect(10560, 480, 975, 255), Qt::AlignLeft,
                    QStringLiteral("Version 1.6.0 build 17"));
    Label6 = label(client, "Label6", QStringLiteral("Total  Download  Left"), twipsRect(720, 5400, 2055, 375),
                   Qt::AlignRight);
    Label5 = label(client, "Label5", QStringLiteral("Tagged for Download"), twipsRect(720, 5040, 2055, 375),
                   Qt::AlignRight);
    Label4 = label(client, "Label4", QStringLiteral("Files Available"), twipsRect(960, 4680, 1815, 375),
                   Qt::AlignRight);
    Label2 = label(client, "Label2", QStringLiteral("Date List Created"), twipsRect(840, 4320, 1935, 375),
                   Qt::AlignRight);
    Label7 = label(client, "Label7", QStringLiteral("Bytes"), twipsRect(4800, 5640, 735, 255));

    const QString header = QStringLiteral("     Show      /      Title") + QString(70, u' ')
        + QStringLiteral("Quality") + QString(10, u' ') + QStringLiteral("Duration") + QString(7, u' ')
        + QStringLiteral("Date Recorded");
    Label3 = label(client, "Label3", header, twipsRect(1020, 1200, 10605, 300));
    Label3->setFont(headerFontOverList(sansFont(12), header, Label3->x(), List1));

    Label1 = label(client, "Label1", QStringLiteral("Kelvado"), twipsRect(3120, 120, 6615, 735), Qt::AlignHCenter);
    Label1->setFont(sansFont(24, true, true));
    Label1->setAutoFillBackground(true);
    QPalette banner = Label1->palette();
    const QColor ground = banner.color(QPalette::HighlightedText);
    banner.setColor(QPalette::Window, ground);
    // Under a dark palette the window's own text is as light as this ground.
    banner.setColor(QPalette::WindowText,
                    QColor::fromRgb(readableOn(ground.rgb(),
                                               {banner.color(QPalette::WindowText).rgb(),
                                                banner.color(QPalette::Highlight).rgb()})));
    Label1->setPalette(banner);

    nameForScreenReaders();
    // A whole recorder tagged reaches totals wider than the boxes: nothing is cut.
    showNumberWhole(Text6);
    showNumberWhole(Text8);
    showTextFromStart(Text7);
    showTextFromStart(Text4);
    showTextFromStart(Text3, true); // a failure's reason may be longer than the status box

    // The status boxes lie over the status frame but belong to the window.
    for (QWidget *box : {static_cast<QWidget *>(Text3), static_cast<QWidget *>(Text4), static_cast<QWidget *>(Text7)})
        box->raise();

    QWidget *order[] = {Text8, Check1, IPAddress, Text9, List1, Text1, Text2, Text5, Text6,
                        Text3, Text4, Text7, GetPath, LogView, GetGuide, Extract, Quit};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    addWorkingFolder(statusBar());
    setFixedSize(sizeHint());
}

// Screen readers name a box by the label that stands beside it; the boxes
// with no label of their own beside them, and the list, are named here.
void Form1::nameForScreenReaders()
{
    const std::pair<QLabel *, QWidget *> captions[] = {{Label9, IPAddress}, {Label10, Text9}, {Label2, Text1},
                                                       {Label4, Text2},     {Label5, Text5},  {Label6, Text6},
                                                       {Label12, Text8}};
    for (const auto &[caption, box] : captions)
        caption->setBuddy(box);
    Text3->setAccessibleName(QStringLiteral("Status"));
    Text4->setAccessibleName(QStringLiteral("ReplayTV File Name"));
    Text7->setAccessibleName(QStringLiteral("Saving As"));
    List1->setAccessibleName(QStringLiteral("Recordings on the recorder"));
}

#pragma once
// The main window driven as an outside driver drives it: its controls found by
// their objectName, text typed key by key, buttons and rows clicked.

#include "Recorder.h"

#include "mainwindow/Control.h"
#include "mainwindow/Form1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QListWidget>
#include <QLocale>
#include <QTextDocument>
#include <QtTest>

#include <initializer_list>
#include <memory>

// Short pauses and stall limits: a title that stops short fails within a
// second, while a tool that runs still has ample time to start.
inline const SessionTiming kShortTiming{0.05, 0.05, {300, 10000}};

// A scratch working folder, captured messages, the simulated recorder and the
// program's end counted instead of done, for one main window at a time.
class WindowDriver
{
public:
    WindowDriver() { Form1::setProgramExit([this] { ++exits; }); }
    ~WindowDriver()
    {
        m_window.reset();
        Form1::setProgramExit({});
    }

    // A new window, started up and shown; the one before goes.
    Form1 &start()
    {
        m_window.reset();
        m_window = std::make_unique<Form1>(kShortTiming);
        m_window->Form_Load();
        m_window->show();
        return *m_window;
    }

    // The texts the named controls show (boxes, labels, buttons); a missing one fails the test.
    QStringList texts(std::initializer_list<const char *> names) const
    {
        QStringList shown;
        for (const char *name : names) {
            const auto *widget = control<QWidget>(*m_window, name);
            [&] { QVERIFY2(widget, name); }();
            shown << (widget ? widget->property("text").toString() : QString());
        }
        return shown;
    }
    QString text(const char *name) const { return texts({name}).value(0); }

    // Replaces the box's text as a user does: all selected, then typed over; no keys erase it.
    void type(const char *box, const QString &keys)
    {
        auto *line = control<QWidget>(*m_window, box);
        QVERIFY2(line, box);
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        keys.isEmpty() ? QTest::keyClick(line, Qt::Key_Backspace) : QTest::keyClicks(line, keys);
    }

    void click(const char *button)
    {
        auto *pressed = control<QAbstractButton>(*m_window, button);
        QVERIFY2(pressed, button);
        QTest::mouseClick(pressed, Qt::LeftButton);
    }

    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < list()->count(); ++row)
            texts << list()->item(row)->text();
        return texts;
    }

    QList<int> tickedRows() const
    {
        QList<int> ticked;
        for (int row = 0; row < list()->count(); ++row) {
            if (list()->item(row)->checkState() == Qt::Checked)
                ticked << row;
        }
        return ticked;
    }

    void tick(const QList<int> &rows, bool ticked = true)
    {
        for (int row : rows)
            list()->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }

    // A click on a row's text, away from its check box.
    void clickRow(int row)
    {
        const QRect rect = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, QPoint(rect.right() - 20, rect.center().y()));
    }

    ScratchDir dir;
    MessageCapture told;
    sessiontest::Recorder recorder;
    int exits = 0;

private:
    QListWidget *list() const { return control<QListWidget>(*m_window, "List1"); }

    std::unique_ptr<Form1> m_window;
};

// A number as the window shows it, written here with "," for the user's thousands separator.
inline QString grouped(QString commaGrouped)
{
    return commaGrouped.replace(u',', QLocale::system().groupSeparator());
}

// A tooltip as the user reads it: markup in it is drawn, not shown.
inline QString shownTip(const QString &tip)
{
    QTextDocument shown;
    Qt::mightBeRichText(tip) ? shown.setHtml(tip) : shown.setPlainText(tip);
    return shown.toPlainText();
}

// What a screen reader says a control is.
inline QString spokenName(QObject *control)
{
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

#pragma once

#include "log/LineListView.h"

#include <QWidget>

class LogListModel;
class QLabel;
class QPushButton;

// The log viewer window: the program log as a list of its lines, as the file
// was when the window was created. The first rows are there at once; the rest
// are added while the window shows (isLogIndexed() tells when all are there).
// "Close Window" only hides it; the frame's close box destroys it, so the next
// viewer reads the log anew.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    // True once the window was closed through its frame and is on its way out.
    bool closedByFrame() const { return m_closedByFrame; }
    // True once every line of the log has its row in Log_List.
    bool isLogIndexed() const;

    // ---- Controls (objectName = member name) ----
    QLabel *Label1 = nullptr;
    LineListView *Log_List = nullptr;
    QPushButton *Command1 = nullptr;

    void Command1_Click();

signals:
    // Every line of the log has its row.
    void logIndexed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();

    void showLogProblem();

    LogListModel *m_rows = nullptr;
    bool m_closedByFrame = false;
};

#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// The log viewer window: the program log as a list of its lines, read once when
// the window is created. "Close Window" only hides it; the frame's close box
// destroys it, so the next viewer reads the log anew.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    // True once the window was closed through its frame and is on its way out.
    bool closedByFrame() const { return m_closedByFrame; }

    // ---- Controls (objectName = member name) ----
    QLabel *Label1 = nullptr;
    QListWidget *Log_List = nullptr;
    QPushButton *Command1 = nullptr;

    void Command1_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();

    bool m_closedByFrame = false;
};

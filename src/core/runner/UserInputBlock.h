#pragma once

#include <QObject>

// While it lives, clicks, keys, wheel turns, touches and drops made in the
// event loop entered next are dropped, so no reaction of the window runs, while
// painting, timers and a close request from the window frame still come through.
// Input to a window opened from inside that loop (a message box) is not touched.
class UserInputBlock : public QObject
{
    Q_OBJECT

public:
    UserInputBlock();
    ~UserInputBlock() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_blockedLevel;
};

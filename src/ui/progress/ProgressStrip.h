#pragma once

#include "progress/ProgressText.h"

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// The strip at the bottom of the status frame: a bar for the current title,
// its rate and time left, and the whole session's progress as the bar's tooltip.
// Empty when no session runs.
class ProgressStrip : public QWidget
{
    Q_OBJECT

public:
    explicit ProgressStrip(QWidget *parent = nullptr);

    void titleStarted(double expectedBytes);
    void titleProgress(double currentBytes);
    void sessionProgress(double doneBytes, double totalBytes);
    void clear();

    QString text() const;
    int percent() const;

private:
    QProgressBar *m_bar;
    QLabel *m_text;
    RateMeter m_rate;
    QElapsedTimer m_clock;
    double m_expected = 0;
    qint64 m_lastShownMs = -1;
};

#pragma once

#include <QString>
#include <QStringList>

class Form1;
class QWidget;

// Walks through Kelvado's main job in the real window, the way a user would,
// printing each step and what the window shows, and saving screenshots.
class Walkthrough
{
public:
    explicit Walkthrough(QString scratchDir);

    // Returns the number of recordings saved under their final names.
    int run();

private:
    void step(const QString &what);
    void show(const QString &what);
    void screenshot(QWidget *widget, const QString &name);
    void printCounters(const Form1 &window);
    void printRows(const Form1 &window);
    void tickAndMeasure(Form1 &window, const QList<int> &rows);
    void extractWatching(Form1 &window);
    void viewLog(Form1 &window);
    int listSaved(const Form1 &window);
    void printLog();

    QString m_dir;
    int m_step = 0;
    QStringList m_screenshots;
};

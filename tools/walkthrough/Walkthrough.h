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

    struct Outcome
    {
        int saved = 0;                // recordings saved under their final names
        bool secondPassRight = false; // "Tick Those Not Yet Saved" ticked exactly the unsaved rows
    };

    Outcome run();

private:
    void step(const QString &what);
    void show(const QString &what);
    void screenshot(QWidget *widget, const QString &name);
    void screenshotScreen(const QString &name);
    void printCounters(const Form1 &window);
    void printRows(const Form1 &window);
    void tickAndMeasure(Form1 &window, const QList<int> &rows);
    void extractWatching(Form1 &window);
    void viewLog(Form1 &window);
    int firstPass();
    void chooseSaveFolder(Form1 &window);
    int listSaved(const Form1 &window);
    void printFile(const QString &fileName);
    // In SecondPass.cpp: a new start, the saved marks and the list's context menu.
    bool secondPass();
    void openListMenu(Form1 &window, int row);
    void chooseFromListMenu(Form1 &window, const char *actionName);

    static QString quoted(const QString &text);

    QString m_dir;
    QString m_saveFolder;
    QStringList m_savedRecorderNames; // what the first pass saved, by the recorder's file name
    int m_step = 0;
    QStringList m_screenshots;
};

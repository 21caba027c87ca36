#include "mainwindow/Form1.h"
#include "mainwindow/MessageBox.h"
#include "runner/EndOnSignal.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvado"));
    QApplication::setApplicationVersion(QStringLiteral("1.6.17"));
    installMessageBoxSink();
    const EndOnSignal endOnSignal;

    Form1 window;
    window.Form_Load();
    window.show();
    return app.exec();
}

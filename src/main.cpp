#include "mainwindow/Form1.h"
#include "mainwindow/MessageBox.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvado"));
    QApplication::setApplicationVersion(QStringLiteral("1.6.17"));
    installMessageBoxSink();

    Form1 window;
    window.Form_Load();
    window.show();
    return app.exec();
}

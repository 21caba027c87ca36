#include "MessageBox.h"

#include "common/UserMessage.h"

#include <QMessageBox>

void showMessageBox(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kelvado"), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void installMessageBoxSink()
{
    setUserMessageSink(&showMessageBox);
}

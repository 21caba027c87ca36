#include "MessageBox.h"

#include "common/UserMessage.h"

#include <QMessageBox>

void showMessageBox(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kelvado"), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText); // messages carry titles and names from the recorder
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void installMessageBoxSink()
{
    setUserMessageSink(&showMessageBox);
}

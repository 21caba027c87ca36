// The connection settings: the address box, the delay box, the default-delay
// check box and the settings file behind them. The reactions call each other
// through the controls: a change made here runs the other control's reaction.
#include "mainwindow/Form1.h"

#include "settings/SettingsFile.h"
#include "common/TextTrim.h"
#include "common/UserMessage.h"
#include "runner/FileNames.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

QString defaultDelay()
{
    return QStringLiteral("Default");
}

} // namespace

void Form1::SaveIP()
{
    RecorderIP = withoutTrailingBlanks(IPAddress->text());
    DelayFactor = withoutTrailingBlanks(Text9->text());
    if (DelayFactor.isEmpty())
        DelayFactor = defaultDelay();

    QString error;
    if (writeSettingsFile(RecorderIP, DelayFactor, &error)) {
        m_settingsFailureTold = false;
        return;
    }
    // Saved on every keystroke: say it once, not on every key.
    if (!m_settingsFailureTold) {
        m_settingsFailureTold = true;
        tellUser(error + QStringLiteral("\nThe settings stay in use until Kelvado ends, but will not be remembered."));
    }
}

void Form1::IPAddress_Change()
{
    if (IPAddress->text().isEmpty())
        return;
    Check1->setChecked(DelayFactor == defaultDelay());
    SaveIP();
}

void Form1::Text9_Change()
{
    DelayFactor = Text9->text();
    if (DelayFactor != defaultDelay())
        Check1->setChecked(false);
    SaveIP();
}

void Form1::Check1_Click()
{
    if (!Check1->isChecked())
        return;
    Text9->setText(defaultDelay());
    DelayFactor = defaultDelay();
}

void Form1::LoadSettings()
{
    StoredSettings stored;
    if (FileExists(kSettingsFileName) && readSettingsFile(&stored)) {
        IPAddress->setText(stored.address);
        RecorderIP = stored.address;
        Text9->setText(stored.delay);
        DelayFactor = stored.delay;
    }
    Check1->setChecked(DelayFactor == defaultDelay());
}

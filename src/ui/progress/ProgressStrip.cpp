#include "progress/ProgressStrip.h"

#include "common/NumberMask.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace {
// The text changes at most this often, so the rate stays readable.
constexpr qint64 kRefreshMs = 250;
}

ProgressStrip::ProgressStrip(QWidget *parent)
    : QWidget(parent)
    , m_bar(new QProgressBar(this))
    , m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("ProgressStrip"));
    m_bar->setObjectName(QStringLiteral("TitleProgress"));
    m_text->setObjectName(QStringLiteral("ProgressText"));
    m_text->setTextFormat(Qt::PlainText);
    m_bar->setAccessibleName(QStringLiteral("Progress of this title"));
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    m_bar->setFixedWidth(110);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_bar);
    row->addWidget(m_text, 1);
    clear();
}

void ProgressStrip::titleStarted(double expectedBytes)
{
    m_expected = expectedBytes;
    m_rate.reset();
    m_clock.start();
    m_lastShownMs = -1;
    m_bar->setVisible(true);
    m_bar->setValue(0);
    m_text->setText(progressLine(0, m_expected, 0));
}

void ProgressStrip::titleProgress(double currentBytes)
{
    if (!m_clock.isValid())
        titleStarted(m_expected);
    const qint64 now = m_clock.elapsed();
    m_rate.addSample(now, currentBytes);
    m_bar->setValue(percentDone(currentBytes, m_expected));
    const bool complete = m_expected > 0 && currentBytes >= m_expected;
    if (!complete && m_lastShownMs >= 0 && now - m_lastShownMs < kRefreshMs)
        return;
    m_lastShownMs = now;
    m_text->setText(progressLine(currentBytes, m_expected, m_rate.bytesPerSecond()));
}

void ProgressStrip::sessionProgress(double doneBytes, double totalBytes)
{
    const QString tip = totalBytes > 0
        ? QStringLiteral("Session: %1 % of %2 bytes").arg(percentDone(doneBytes, totalBytes)).arg(maskZero(totalBytes))
        : QString();
    m_bar->setToolTip(tip);
    m_text->setToolTip(tip);
}

void ProgressStrip::clear()
{
    m_expected = 0;
    m_rate.reset();
    m_clock.invalidate();
    m_bar->setValue(0);
    m_bar->setVisible(false);
    m_bar->setToolTip(QString());
    m_text->clear();
    m_text->setToolTip(QString());
}

QString ProgressStrip::text() const
{
    return m_text->text();
}

int ProgressStrip::percent() const
{
    return m_bar->value();
}

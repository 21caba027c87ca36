#include "download/TransferCommand.h"

#include "common/LeadingNumber.h"
#include "common/NumberMask.h"

QString delayNumberText(const QString &delay)
{
    return plainNumber(leadingNumber(delay));
}

bool isDefaultDelay(const QString &delay)
{
    return delay.startsWith(QLatin1String("Default"), Qt::CaseSensitive);
}

TransferPlan transferPlan(const QString &address, const QString &fileName, const QString &delay)
{
    TransferPlan plan;
    plan.command = {QStringLiteral("Tolvane"), {address, QStringLiteral("-e"), fileName}};
    plan.waited = isDefaultDelay(delay);
    if (!plan.waited)
        plan.command.arguments << delayNumberText(delay);
    return plan;
}

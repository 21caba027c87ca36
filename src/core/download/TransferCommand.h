#pragma once

#include "runner/ToolRunner.h"

#include <QString>

// How the transfer tool is run for one title.
struct TransferPlan
{
    bool waited = false; // run hidden and wait for the end; else start and go on
    ToolCommand command;
};

// The delay as the tool gets it: its leading number in the shortest plain form
// ("7", "2.5"); text that does not begin with a number gives "0".
QString delayNumberText(const QString &delay);

// A delay beginning with "Default" (exact case) leaves the delay to the tool.
// Text after "Default" does not matter: the tool runs once per title.
bool isDefaultDelay(const QString &delay);

// "Tolvane ADDRESS -e NAME", waited, for the default delay; otherwise
// "Tolvane ADDRESS -e NAME DELAY", started without waiting. The address is
// one argument as typed, untrimmed; so is the name.
TransferPlan transferPlan(const QString &address, const QString &fileName, const QString &delay);

#pragma once

#include <QString>
#include <QStringList>

// The texts the guide and tagging commands tell the user in their own words.
namespace GuideMessages {

// "Guide.txt" is not there after both tools have run.
QString guideMissing();
// "Guide.txt" is there but could not be read; reason in plain words.
QString guideUnreadable(const QString &reason);
// Recordings of the guide that are not in the list; empty when there are none.
QString guideShortfall(int incompleteRecords, int leftOut, int capacity);
// Ticked titles whose size could not be read, one description per line.
QString titlesNotMeasured(const QStringList &titles);
// How a title is named in titlesNotMeasured: its name without the padding,
// and the recorder's file name.
QString titleForMessage(const QString &title, const QString &fileName);

} // namespace GuideMessages

#pragma once

#include <QList>
#include <QString>

class FieldReader;

// One recording as the guide lists it: what the title table keeps and the
// text of its list row.
struct GuideEntry
{
    QString title;      // exactly 58 characters
    QString recordDate; // up to 10 characters
    QString fileName;   // up to 26 characters: the recorder's name for it
    QString duration;   // up to 3 characters, as the list row shows it
    QString row;        // the list row, column-aligned
};

struct GuideParseResult
{
    QList<GuideEntry> entries;  // at most the capacity asked for, in guide order
    int incompleteRecords = 0;  // records cut off by the end of the text (dropped)
    int leftOut = 0;            // complete records beyond the capacity (dropped)
};

// Parses the whole text of a guide dump. Records start at a line beginning
// with "Show #"; the line after it is the title line; then the "Quality:",
// "Recorded:", "Filename:" and "Duration:" fields are found by scanning forward
// field by field (commas end fields too, blanks before a field are skipped,
// quoted fields run to the closing quote). A scan does not stop at the next
// "Show #" line, so a record missing a field takes it from a later record and
// the records passed over are lost. Runs in time linear in the text's length.
GuideParseResult parseGuide(const QString &text, int capacity);
// The same over a text that arrives line by line.
GuideParseResult parseGuide(FieldReader &reader, int capacity);

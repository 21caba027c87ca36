#pragma once

#include <QString>

// How one guide record becomes a title-table entry and a list row. Positions
// in the comments are 1-based, as the guide's field layout is usually read.
namespace GuideRules {

constexpr int kTitleWidth = 58;
// No rule looks further into a field, or into a title line past its first
// colon, than this many characters: a reader may pass over the rest.
constexpr int kCharsUsed = 64;

// The title line to the stored title: the text after the first colon (the whole
// line without one), cut at the first "(", padded to 58, quotes shown as " - ",
// semicolons and colons as blanks, then cut to exactly 58 characters.
QString titleFromLine(const QString &titleLine);

// Up to 8 characters from position 10 of the "Quality:" field, followed by the
// blanks that line the next column up: 6 after "Stan...", 8 after "Medi...",
// 10 after "High...", none otherwise.
QString qualityColumn(const QString &qualityField);

// Up to 10 characters from position 11 of the "Recorded:" field.
QString recordedDate(const QString &recordedField);

// Up to 26 characters from position 11 of the "Filename:" field.
QString recorderFileName(const QString &filenameField);

// Up to 3 characters from position 11 of the "Duration:" field.
QString durationValue(const QString &durationField);

// Title, quality column, duration, nine blanks and date, with every double
// quote shown as " - ".
QString listRow(const QString &title, const QString &qualityColumn, const QString &duration,
                const QString &date);

} // namespace GuideRules

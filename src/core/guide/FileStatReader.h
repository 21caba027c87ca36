#pragma once

#include <QString>

// What the helper's file-statistics file says about one recording.
struct FileStatReading
{
    enum class Problem {
        None,
        TooFewFields,       // no second field
        SecondFieldTooShort, // the second field is shorter than its five-character lead
        SizeOutOfRange,      // negative, or more than a byte count can hold
        NoSize               // no number, or 0: nothing to check a download against
    };

    double size = 0; // bytes; 0 whenever there is a problem
    Problem problem = Problem::None;

    bool ok() const { return problem == Problem::None; }
};

// Reads the text of "FStat.txt": the first field is ignored; the second is five
// characters of any kind followed by the size in bytes, read as a leading
// number (a thousands separator ends it). No number, or 0, is no size.
// Further fields are not read. A negative size, or one too large to
// count exactly, is a problem: the session could not watch a file grow to it.
FileStatReading readFileStat(const QString &text);

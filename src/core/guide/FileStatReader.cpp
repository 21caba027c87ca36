#include "guide/FileStatReader.h"

#include "common/FieldReader.h"
#include "common/ByteCount.h"
#include "common/LeadingNumber.h"

namespace {
constexpr int kSizeLead = 5; // "Size=" or any five characters before the number
// Whole byte counts up to here fit the session's byte count exactly.
constexpr double kLargestSize = 900e12;
}

FileStatReading readFileStat(const QString &text)
{
    FileStatReading reading;
    FieldReader reader(text);
    reader.readField();
    if (reader.atEnd()) {
        reading.problem = FileStatReading::Problem::TooFewFields;
        return reading;
    }
    const QString second = reader.readField();
    if (second.size() < kSizeLead) {
        reading.problem = FileStatReading::Problem::SecondFieldTooShort;
        return reading;
    }
    bool outOfRange = false;
    const double size = leadingNumber(second.mid(kSizeLead), &outOfRange);
    if (outOfRange || size < 0 || size > kLargestSize) {
        reading.problem = FileStatReading::Problem::SizeOutOfRange;
        return reading;
    }
    if (size == 0) {
        reading.problem = FileStatReading::Problem::NoSize;
        return reading;
    }
    reading.size = size;
    return reading;
}

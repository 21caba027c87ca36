#include "FileStatReader.h"

#include "common/FieldReader.h"
#include "common/LeadingNumber.h"

namespace {
constexpr int kSizeLead = 5; // "Size=" or any five characters before the number
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
    reading.size = leadingNumber(second.mid(kSizeLead));
    return reading;
}

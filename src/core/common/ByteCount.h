#pragma once

#include <QtGlobal>
#include <cmath>

// A size in bytes held as a whole count of ten-thousandths, so that the
// byte counts of the largest recordings stay exact (up to about 9.2e14 bytes).
struct ByteCount
{
    qint64 tenThousandths = 0;

    static constexpr qint64 kScale = 10000;

    static ByteCount fromBytes(qint64 bytes) { return ByteCount{bytes * kScale}; }
    // Rounds half away from zero to the nearest ten-thousandth.
    static ByteCount fromDouble(double bytes)
    {
        return ByteCount{static_cast<qint64>(std::llround(bytes * double(kScale)))};
    }
    double toDouble() const
    {
        // Whole and fractional parts converted separately keep whole byte counts exact.
        const qint64 whole = tenThousandths / kScale;
        return double(whole) + double(tenThousandths % kScale) / double(kScale);
    }

    friend ByteCount operator-(ByteCount a, ByteCount b) { return {a.tenThousandths - b.tenThousandths}; }
    friend ByteCount operator+(ByteCount a, ByteCount b) { return {a.tenThousandths + b.tenThousandths}; }
    friend bool operator<(ByteCount a, ByteCount b) { return a.tenThousandths < b.tenThousandths; }
    friend bool operator<=(ByteCount a, ByteCount b) { return a.tenThousandths <= b.tenThousandths; }
    friend bool operator>(ByteCount a, ByteCount b) { return a.tenThousandths > b.tenThousandths; }
    friend bool operator==(ByteCount a, ByteCount b) { return a.tenThousandths == b.tenThousandths; }
    friend bool operator!=(ByteCount a, ByteCount b) { return a.tenThousandths != b.tenThousandths; }
};

#pragma once

// What the fuzz targets share. A broken invariant is a finding like a crash:
// it is described on stderr and the process aborts, so libFuzzer saves the
// input that caused it.

#include "common/TextCodec.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

[[noreturn]] inline void fail(const char *file, int line, const char *condition, const QString &detail)
{
    // Control characters and all beyond ASCII escaped: the report is readable whatever the input held.
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 detail.toUtf8().toPercentEncoding(" !\"#$&'()*+,-./:;<=>?@[\\]^_`{|}~").constData());
    std::abort();
}

inline bool hasAny(const QString &text, QStringView characters)
{
    return std::any_of(text.begin(), text.end(), [&](QChar c) { return characters.contains(c); });
}

} // namespace fuzz

#define FUZZ_CHECK(condition, detail) ((condition) ? void() : ::fuzz::fail(__FILE__, __LINE__, #condition, (detail)))

// The libFuzzer entry point, handing the body the input as `bytes`.
#define FUZZ_TARGET(bytes)                                                                                             \
    static void fuzzOne(const QByteArray &bytes);                                                                      \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                            \
    {                                                                                                                  \
        return fuzzOne(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))), 0;                          \
    }                                                                                                                  \
    static void fuzzOne(const QByteArray &bytes)

#include "common/UserMessage.h"

#include <cstdio>
#include <utility>

namespace {
UserMessageSink &currentSink()
{
    static UserMessageSink sink;
    return sink;
}
} // namespace

void tellUser(const QString &text)
{
    if (currentSink()) {
        currentSink()(text);
        return;
    }
    std::fprintf(stderr, "Kelvado: %s\n", text.toLocal8Bit().constData());
}

UserMessageSink setUserMessageSink(UserMessageSink sink)
{
    return std::exchange(currentSink(), std::move(sink));
}

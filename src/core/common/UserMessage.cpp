#include "common/UserMessage.h"

#include <cstdio>
#include <utility>

namespace {
UserMessageSink &currentSink()
{
    static UserMessageSink sink;
    return sink;
}

UserQuestionSink &currentQuestionSink()
{
    static UserQuestionSink sink;
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

bool askUser(const QString &text)
{
    if (currentQuestionSink())
        return currentQuestionSink()(text);
    std::fprintf(stderr, "Kelvado: %s (answered no)\n", text.toLocal8Bit().constData());
    return false;
}

UserQuestionSink setUserQuestionSink(UserQuestionSink sink)
{
    return std::exchange(currentQuestionSink(), std::move(sink));
}

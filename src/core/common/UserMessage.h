#pragma once

#include <QString>

#include <functional>

// Every message to the user goes through here. The window layer installs a sink
// that shows the program's message box; tests install one that records the text,
// so no dialog ever blocks a test. Without a sink the text goes to stderr.
using UserMessageSink = std::function<void(const QString &text)>;

void tellUser(const QString &text);
// Returns the sink it replaces.
UserMessageSink setUserMessageSink(UserMessageSink sink);

// A yes-or-no question, the same way. Without a sink the answer is no: nothing
// starts that the user did not agree to.
using UserQuestionSink = std::function<bool(const QString &text)>;

bool askUser(const QString &text);
UserQuestionSink setUserQuestionSink(UserQuestionSink sink);

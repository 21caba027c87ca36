// Runs Kelvado's main job in its real window without anyone at the keyboard:
// used where there is no display, and by CI as a smoke test.
#include "Walkthrough.h"

#include "common/UserMessage.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir)) {
        std::fprintf(stderr, "Cannot use %s as the working directory.\n", qPrintable(dir));
        return 2;
    }
    // Message boxes would wait for a click nobody makes: print them instead.
    setUserMessageSink([](const QString &text) {
        std::printf("    [message box \"Kelvado\"] %s\n", qPrintable(QString(text).replace(u'\n', u' ')));
        std::fflush(stdout);
    });
    // So would a question: print it and answer yes.
    setUserQuestionSink([](const QString &text) {
        std::printf("    [question \"Kelvado\"] %s -> Yes\n", qPrintable(QString(text).replace(u'\n', u' ')));
        std::fflush(stdout);
        return true;
    });
    // Never hang a machine without a display.
    QTimer::singleShot(150000, [] {
        std::fprintf(stderr, "The walkthrough took longer than 150 s; giving up.\n");
        std::_Exit(3);
    });

    const Walkthrough::Outcome outcome = Walkthrough(QDir::currentPath()).run();
    std::printf("\n%d recording(s) saved; the second start ticked %s.\n", outcome.saved,
                outcome.secondPassRight ? "exactly the rows not yet saved" : "OTHER rows than those not yet saved");
    return outcome.saved == 3 && outcome.secondPassRight ? 0 : 1;
}

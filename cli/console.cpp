#include "console.h"

#include <csignal>

#include "common/consoleprogress.h"
#include "output.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onInterrupt(int signal)
{
    if (stopSignal != 0) {
        // Asked twice: stop now.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    stopSignal = signal;
}

ConsoleProgress &line()
{
    static ConsoleProgress progress(ConsoleProgress::stderrSinkIfTerminal());
    return progress;
}

} // namespace

namespace console {

void installInterruptHandlers()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

int interruptSignal()
{
    return stopSignal;
}

Progress progress(const QString &label)
{
    return line().phase(label, [] { return stopSignal != 0; });
}

void clearProgress()
{
    line().clear();
}

void planProgress(int phases)
{
    line().planPhases(phases);
}

} // namespace console

QString CliPrompter::lineFor(const QString &text) const
{
    return console::messageLine(messageFile(), text);
}

Prompter::Button CliPrompter::ask(const Message &message)
{
    console::clearProgress();
    return ConsolePrompter::ask(message);
}

int CliPrompter::choose(const QString &text, const QStringList &captions, int defaultIndex,
                        Icon icon, const QString &title)
{
    console::clearProgress();
    return ConsolePrompter::choose(text, captions, defaultIndex, icon, title);
}

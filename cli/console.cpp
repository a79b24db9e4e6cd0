#include "console.h"

#include <csignal>
#include <unistd.h>

#include <cstdio>

#include "common/consoleprogress.h"
#include "output.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

// How long the work may take to reach its next card, line or buffer after
// it was asked to stop.
constexpr unsigned GraceSeconds = 1;

// Ends the program as the signal itself would have.
void endBy(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

extern "C" void onGraceOver(int)
{
    // The work is stuck where it cannot look at the request (waiting on the
    // file system, or on a full pipe): end now, as a second signal would.
    static const char text[] = "brindle-cli: interrupted\n";
    const ssize_t ignored = ::write(STDERR_FILENO, text, sizeof text - 1);
    (void)ignored;
    endBy(stopSignal != 0 ? int(stopSignal) : SIGTERM);
}

extern "C" void onInterrupt(int signal)
{
    if (stopSignal != 0) {
        // Asked twice: stop now.
        endBy(signal);
        return;
    }
    stopSignal = signal;
    ::alarm(GraceSeconds);
}

console::Verbosity level = console::Verbosity::Normal;

ConsoleProgress &line()
{
    static ConsoleProgress progress(ConsoleProgress::stderrSinkIfTerminal());
    return progress;
}

} // namespace

namespace console {

void installInterruptHandlers()
{
    std::signal(SIGALRM, onGraceOver);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

void workEnded()
{
    ::alarm(0);
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

void setVerbosity(Verbosity verbosity)
{
    level = verbosity;
}

Verbosity verbosity()
{
    return level;
}

void verboseMessage(const QString &file, const QString &text)
{
    if (level == Verbosity::Verbose)
        printMessage(file, text);
}

void noticeMessage(const QString &file, const QString &text)
{
    if (level != Verbosity::Quiet)
        printMessage(file, text);
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

void CliPrompter::print(const QString &line)
{
    if (console::verbosity() == console::Verbosity::Quiet) {
        m_held.append(line);
        return;
    }
    console::clearProgress();
    ConsolePrompter::print(line);
}

void CliPrompter::showHeldMessages()
{
    console::clearProgress();
    for (const QString &line : std::as_const(m_held))
        ConsolePrompter::print(line);
    m_held.clear();
}

#pragma once
// The terminal side of brindle-cli: a progress line on stderr while long
// work runs (only when stderr is a terminal), and interruption: the first
// Ctrl+C (SIGINT) or SIGTERM makes the running work stop at its next card,
// line or buffer, so that no output is left half written; a second one ends
// the program at once, and so does the first when the work has not stopped
// about a second later (it may be waiting on the file system or on a full
// pipe, where it cannot notice the request).

#include <QString>

#include "common/consoleprompter.h"
#include "common/progress.h"

namespace console {

void installInterruptHandlers();
// The command has returned: a stop request no longer needs the deadline.
void workEnded();
// 0, or the number of the signal that asked the work to stop.
int interruptSignal();

// The progress callback for one piece of work, shown as "label  NN%". It
// returns false once the work has been interrupted.
Progress progress(const QString &label);
// Erases the progress line before other output.
void clearProgress();
// The command's work runs in phases pieces of work (progress() calls): the
// line then shows the percentage of the whole command.
void planProgress(int phases);

// How much the commands say on stderr: --quiet keeps only what explains a
// failure, --verbose adds a line for each step done.
enum class Verbosity { Quiet, Normal, Verbose };
void setVerbosity(Verbosity verbosity);
Verbosity verbosity();
// With --verbose: prints messageLine(file, text) on stderr.
void verboseMessage(const QString &file, const QString &text);
// Prints messageLine(file, text) on stderr unless --quiet.
void noticeMessage(const QString &file, const QString &text);

} // namespace console

// The command line's prompter: erases the progress line before each message,
// and starts it with the program's name and the file it is about
// (console::messageLine).
class CliPrompter : public ConsolePrompter
{
protected:
    QString lineFor(const QString &text) const override;

public:
    Button ask(const Message &message) override;
    int choose(const QString &text, const QStringList &captions, int defaultIndex,
               Icon icon = Icon::Question, const QString &title = QString()) override;

    // With --quiet the messages are held back: a command that fails shows
    // them at its end (they tell why), one that succeeds drops them.
    void showHeldMessages();

protected:
    void print(const QString &line) override;

private:
    QStringList m_held;
};

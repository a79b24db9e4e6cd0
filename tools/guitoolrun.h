#pragma once
// A tool dialog's run over every card of the open book, in the main
// window's busy mode. Window events get in between cards (at the first
// card, then a few dozen times a second), so the dialog stays painted and
// its close box, "ｷｬﾝｾﾙ" and Esc reach it: during a run they ask whether to
// interrupt it, and the run button is refused.

#include <QElapsedTimer>
#include <functional>

#include "common/busystate.h"
#include "common/progress.h"

class Prompter;

// The open book's busy state, set while a tool runs; without one (nullptr)
// the run keeps its own interrupt flag.
using ToolBusyState = BusyState *;

class GuiToolRun
{
public:
    using StepHook = std::function<void(qint64 done, qint64 total)>;

    GuiToolRun(Prompter &prompter, ToolBusyState busy);

    bool running() const { return m_running; }
    // The run button while a run goes on: tells the user so. True when the
    // press was refused.
    bool refusedWhileRunning();
    // A run starts: busy mode on, no interrupt requested.
    void start();
    // The run ended: busy mode off, the interrupt request cleared.
    void finish();

    // The check between two cards of the run: calls show (the dialog's
    // progress display), lets window events in when it is time, calls the
    // step hook; false once an interrupt was requested.
    Progress progress(StepHook show = {});
    // What the close box, "ｷｬﾝｾﾙ" and Esc do during a run: ask whether to
    // interrupt it; Yes requests the interrupt.
    void requestInterrupt();
    bool interruptRequested() const;

    // Called once per card during a run, after any events were let in
    // (tests act in the middle of a run through it).
    void setStepHook(StepHook hook) { m_stepHook = std::move(hook); }

private:
    void setInterruptFlag(bool on);

    Prompter &m_prompter;
    ToolBusyState m_busy;
    bool m_ownInterrupt = false;
    bool m_running = false;
    QElapsedTimer m_sinceEvents; // invalid until the run's first check
    StepHook m_stepHook;
};

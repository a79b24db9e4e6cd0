#pragma once
// Progress of long work on a terminal: one line, "label  NN%", rewritten in
// place with a carriage return. The line appears only once a piece of work
// has run for Interval and is then redrawn at most every Interval, so quick
// work shows nothing. clear() erases it before other output.

#include <QByteArray>
#include <QString>
#include <functional>

#include "common/progress.h"

class ConsoleProgress
{
public:
    static constexpr qint64 IntervalMs = 100;

    using Sink = std::function<void(const QByteArray &bytes)>;
    using Clock = std::function<qint64()>; // monotonic milliseconds

    // Without a sink the callbacks show nothing.
    explicit ConsoleProgress(Sink sink = {}, Clock clock = {});
    ~ConsoleProgress();
    ConsoleProgress(const ConsoleProgress &) = delete;
    ConsoleProgress &operator=(const ConsoleProgress &) = delete;

    // Writes to stderr when stderr is a terminal that can erase a line;
    // otherwise shows nothing.
    static Sink stderrSinkIfTerminal();

    // The callback for one piece of work. stop, when given, is asked on each
    // call: the callback returns false once it says true. The object must
    // outlive the callback.
    Progress phase(const QString &label, std::function<bool()> stop = {});

    // The work to come runs in count phases (reading, working, writing):
    // the percentage shown is then that of the whole, each phase taking the
    // next equal share of one scale, so that it never starts over. Without
    // a plan every phase counts from 0 to 100 %.
    void planPhases(int count);

    // Erases the line when one is shown.
    void clear();
    bool lineShown() const { return m_shown; }

private:
    void show(const QString &label, int percent, qint64 started);

    Sink m_sink;
    Clock m_clock;
    qint64 m_lastShown = 0;
    QByteArray m_lastText;
    bool m_shown = false;
    int m_phaseCount = 1; // of the plan
    int m_phasesBegun = 0;
};

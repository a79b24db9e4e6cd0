#pragma once
// Long loops (reading, writing, rebuilding the list, every tool's run over all
// cards) report their progress through this callback once per card, line or
// buffer. The callback returns false when the user asked to stop: the loop
// then ends and its operation fails without a message.
//
// The GUI's callback lets pending window events run and reads
// interruptRequested; the command line's shows progress on stderr.

#include <QtGlobal>
#include <functional>

using Progress = std::function<bool(qint64 done, qint64 total)>;

// Calls progress when it is set; a missing callback never stops the loop.
inline bool keepGoing(const Progress &progress, qint64 done, qint64 total)
{
    return !progress || progress(done, total);
}

// The callback for one step of a longer piece of work whose steps count in
// their own units (cards, then bytes): the step's done/total is passed on to
// whole as the stretch from fromPercent to toPercent of one scale, so that
// the whole never starts over. Stopping is whole's answer.
inline Progress progressPart(const Progress &whole, int fromPercent, int toPercent)
{
    if (!whole)
        return {};
    return [whole, fromPercent, toPercent](qint64 done, qint64 total) {
        constexpr qint64 Scale = 10000; // steps of a hundredth of a percent
        const qint64 part = total > 0 ? qBound<qint64>(0, done, total) * Scale / total : 0;
        return whole(fromPercent * Scale + (toPercent - fromPercent) * part, 100 * Scale);
    };
}

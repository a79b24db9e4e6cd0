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

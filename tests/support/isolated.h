#pragma once
// Running a piece of a test in a child process of its own, for code that
// might hang or exhaust memory when it is wrong: the child is ended after a
// time limit, and its address space can be capped, so that a fault shows as
// a failed test instead of a test run that never ends or a machine that
// runs out of memory.

#include <QtGlobal>
#include <functional>

// The child's exit code when body threw, and when it used more memory than
// allowed.
inline constexpr int IsolatedException = 125;
inline constexpr int IsolatedTooMuchMemory = 124;

// AddressSanitizer reserves terabytes of address space and ends the
// program on a failed allocation instead of throwing, so address-space caps
// cannot be tested under it.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool UnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool UnderAddressSanitizer = true;
#else
inline constexpr bool UnderAddressSanitizer = false;
#endif
#else
inline constexpr bool UnderAddressSanitizer = false;
#endif

struct IsolatedRun
{
    bool exited = false;  // body returned (or the child called exit)
    int exitCode = -1;    // body's result when exited
    int signal = 0;       // the signal that ended the child, else 0
    double seconds = 0;   // how long the child ran

    bool timedOut() const;
};

// Runs body in a forked child and waits for it. The child is ended by
// SIGALRM after timeoutSeconds. With extraBytes > 0 the child's address
// space is limited to its size at the start plus extraBytes, so an
// allocation beyond that fails (std::bad_alloc). With maxPeakGrowth > 0,
// a child whose resident memory grew by more than that at its peak exits
// with IsolatedTooMuchMemory. Body's return value is the child's exit code
// (0..255).
IsolatedRun runIsolated(const std::function<int()> &body, int timeoutSeconds,
                        qint64 extraBytes = 0, qint64 maxPeakGrowth = 0);

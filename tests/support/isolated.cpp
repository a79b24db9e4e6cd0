#include "isolated.h"

#include <QElapsedTimer>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A size from /proc/self/status ("VmSize:", "VmRSS:", "VmHWM:"), in bytes.
qint64 statusValue(const char *key)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    qint64 kib = -1;
    const size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0)
            kib = std::strtoll(line + n, nullptr, 10);
    std::fclose(f);
    return kib < 0 ? -1 : kib * 1024;
}

// Starts counting the peak resident size afresh.
void resetPeak()
{
    if (FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

} // namespace

bool IsolatedRun::timedOut() const
{
    return signal == SIGALRM || signal == SIGKILL;
}

IsolatedRun runIsolated(const std::function<int()> &body, int timeoutSeconds, qint64 extraBytes,
                        qint64 maxPeakGrowth)
{
    std::fflush(nullptr);
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGALRM, SIG_DFL);
        if (extraBytes > 0) {
            const qint64 now = statusValue("VmSize:");
            if (now > 0) {
                const rlimit limit{rlim_t(now + extraBytes), rlim_t(now + extraBytes)};
                ::setrlimit(RLIMIT_AS, &limit);
            }
        }
        ::alarm(unsigned(timeoutSeconds));
        resetPeak();
        const qint64 startRss = statusValue("VmRSS:");
        // Whatever happens, the child never returns into the test runner.
        int code = IsolatedException;
        try {
            code = body();
        } catch (...) {
        }
        if (maxPeakGrowth > 0 && code != IsolatedException
            && statusValue("VmHWM:") - startRss > maxPeakGrowth)
            code = IsolatedTooMuchMemory;
        std::fflush(nullptr);
        ::_exit(code & 0xff);
    }
    IsolatedRun r;
    if (pid < 0)
        return r;
    int status = 0;
    // The alarm ends a child that hangs in user space; a child stuck in the
    // kernel is killed once the time is well past.
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (timer.elapsed() > (timeoutSeconds + 10) * 1000LL) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        ::usleep(2000);
    }
    r.seconds = timer.elapsed() / 1000.0;
    if (WIFEXITED(status)) {
        r.exited = true;
        r.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        r.signal = WTERMSIG(status);
    }
    return r;
}

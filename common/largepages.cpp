#include "common/largepages.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char TunablesVariable[] = "GLIBC_TUNABLES";
constexpr char RestartedVariable[] = "BRINDLE_LARGE_PAGES";
constexpr char Tunable[] = "glibc.malloc.hugetlb=1";

} // namespace

bool wantsLargePagesRestart(QByteArrayView thpEnabled, const char *tunables, const char *restarted)
{
    if (restarted || (tunables && *tunables))
        return false;
    // "always [madvise] never": the bracketed word is the setting.
    return thpEnabled.contains("[always]") || thpEnabled.contains("[madvise]");
}

void restartWithLargePages(char **argv)
{
#if defined(__GLIBC__) && defined(__linux__)
    if (std::getenv(RestartedVariable)) {
        ::unsetenv(RestartedVariable);
        ::unsetenv(TunablesVariable);
        return;
    }
    QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    const QByteArray thp = setting.open(QIODevice::ReadOnly) ? setting.read(256) : QByteArray();
    if (!wantsLargePagesRestart(thp, std::getenv(TunablesVariable), nullptr))
        return;
    ::setenv(TunablesVariable, Tunable, 1);
    ::setenv(RestartedVariable, "1", 1);
    ::execv("/proc/self/exe", argv);
    // Not started again: run as we are.
    ::unsetenv(RestartedVariable);
    ::unsetenv(TunablesVariable);
#else
    (void)argv;
#endif
}

bool namesLargeFile(int argc, char **argv, qint64 bytes)
{
    for (int i = 1; i < argc; ++i) {
        struct stat st;
        if (::stat(argv[i], &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= bytes)
            return true;
    }
    return false;
}

void adviseLargePages(void *data, qsizetype bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t HugePage = 2 * 1024 * 1024;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t last = (begin + std::uintptr_t(std::max<qsizetype>(bytes, 0))) & ~(HugePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

#include "fuzzsupport.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>

QTemporaryDir &scratchFolder()
{
    static QTemporaryDir dir(QDir(QDir::tempPath()).canonicalPath()
                             + QStringLiteral("/brindle-fuzz-XXXXXX"));
    return dir;
}

void fuzzCheckFailed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, what);
    std::abort();
}

// The sanitizers' defaults for the fuzz targets. A run executes thousands of
// small inputs, each allocating and freeing thousands of strings: the
// default 256 MB quarantine keeps every freed block out of reuse for so long
// that nearly every allocation touches fresh pages, and recording the stack
// of every allocation and free (hashing it into the stack store) costs a
// fifth of the run. A 32 MB quarantine still holds far more than one input
// ever frees, so a use after free is caught; without the allocation stacks
// the report still names the faulting access and its stack, and the saved
// input replays with them:
//   ASAN_OPTIONS=malloc_context_size=30 build-fuzz/bin/fuzz_X crash-…
// ASAN_OPTIONS set by the caller take precedence.
extern "C" const char *__asan_default_options()
{
    return "quarantine_size_mb=32:malloc_context_size=0:max_malloc_fill_size=0";
}

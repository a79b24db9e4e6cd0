// The shell's work at start-up and before each file access: the Wine
// registry of a large prefix, the process scan for Corvid, the settings file
// and the kind of a file.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "shell/filekind.h"
#include "shell/host.h"
#include "shell/settings.h"
#include "shell/winehost.h"
#include "support/testutil.h"

namespace {

// A system.reg the size of a well-used prefix: 60,000 keys, most of them
// below Software\Classes, each with a few values.
const QByteArray &largeRegistry()
{
    static const QByteArray text = [] {
        QByteArray t = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
        for (int i = 0; i < 60000; ++i) {
            const QByteArray n = QByteArray::number(i);
            t += (i % 5 == 0 ? "[Software\\\\Microsoft\\\\Key" : "[Software\\\\Classes\\\\CLSID\\\\{")
                + n + "}\\\\InprocServer32] 1700000000\n#time=1d9a0b0c0d0e0f0\n"
                "@=\"C:\\\\windows\\\\system32\\\\lib" + n + ".dll\"\n"
                "\"ThreadingModel\"=\"Both\"\n\"Flags\"=dword:00000001\n\n";
        }
        t += "[Software\\\\Classes\\\\Corvid.Application\\\\Clsid] 1\n@=\"{C0}\"\n";
        return t;
    }();
    return text;
}

void BM_RegistryIndexAndLookup(benchmark::State &state)
{
    const QByteArray &text = largeRegistry();
    for (auto _ : state) {
        const WineRegistryFile reg(text);
        QString v;
        benchmark::DoNotOptimize(reg.value(QStringLiteral("Corvid.Application\\Clsid"), QString(), v));
        benchmark::DoNotOptimize(reg.value(QStringLiteral("CLSID\\{30001}\\InprocServer32"),
                                           QStringLiteral("threadingmodel"), v));
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_RegistryIndexAndLookup)->Unit(benchmark::kMillisecond);

void BM_ProcessScan(benchmark::State &state)
{
    const ProcessHostProbe probe(QStringLiteral("Corvid.exe"));
    for (auto _ : state)
        benchmark::DoNotOptimize(probe.clientRunning());
}
BENCHMARK(BM_ProcessScan)->Unit(benchmark::kMicrosecond);

void BM_SettingsParse(benchmark::State &state)
{
    Settings s;
    s.homeFolder = QStringLiteral("/home/u/.wine/drive_c/Corvid/Users/太郎/");
    s.fileHistory = {QStringLiteral("/a/1.ndb"), QStringLiteral("/a/2.ndb"),
                     QStringLiteral("/a/3.ndb"), QStringLiteral("/a/4.ndb"),
                     QStringLiteral("/a/5.ndb")};
    const QByteArray bytes = serializeSettings(s);
    for (auto _ : state) {
        Settings back;
        benchmark::DoNotOptimize(parseSettings(bytes, back));
    }
}
BENCHMARK(BM_SettingsParse)->Unit(benchmark::kMicrosecond);

void BM_FileKindOfText(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    writeAll(path, "=====\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(fileKindOf(path));
}
BENCHMARK(BM_FileKindOfText)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// CSV import and export of a full-size book (32,766 cards, the most a book's
// 16-bit card counter allows, plus the system card), side by side with
// Python's csv module and with the Rust csv crate reading the same file.
//
//   BM_CsvExport       ask-free CsvFileWrite: build the text, encode, write
//   BM_CsvImport       CsvFileRead with the automatic mapping: read, decode,
//                      parse into cards, register groups
//   BM_CsvImportUtf8   the same file in UTF-8 (the encoding told from the
//                      bytes), records ending in CR LF
//   BM_CsvImportUtf8Lf the same in UTF-8 with records ending in LF, as
//                      other programs write them
//   BM_CsvRecords      decode and split into records and cells only: the
//                      same work as Python's csv.reader
//   BM_PythonCsvRead   /usr/bin/python3: list(csv.reader(open(f, encoding=
//                      'cp932', newline=''))), timed inside Python, so the
//                      interpreter's start is not counted
//   BM_CsvPeerRust     bench/peers/csv_peer: the file's bytes decoded by
//                      encoding_rs (Shift_JIS, the CP932 table) and split
//                      into records by csv::Reader, timed inside the
//                      program (its second pass, the first warming it up);
//                      skipped when the benchmark build had no cargo or
//                      no crates to build it with
//
// Times are CPU times (the peers' own process CPU time, reported as the
// manual time), so that other work on the machine does not distort the
// comparison. Unless told otherwise on the command line, every benchmark is
// repeated five times, the repetitions interleaved in random order, and
// only the aggregates are shown; after the run the ratios peer / Brindle of
// the medians are printed (above 1: Brindle is faster).

#include <benchmark/benchmark.h>

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/prompter.h"
#include "formats/csv.h"
#include "support/generator.h"

namespace {

constexpr int BookCards = 32766;
const char *const Python = "/usr/bin/python3";

class SilentPrompter : public Prompter
{
public:
    Button ask(const Message &m) override { return m.defaultButton ? m.defaultButton : Ok; }
    bool input(const QString &, const QString &, QString &) override { return false; }
    FileAnswer openFile(const FileRequest &) override { return {}; }
    FileAnswer saveFile(const FileRequest &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
};

struct Fixture {
    QTemporaryDir dir;
    AddressBook book;
    QString csvPath;
    qint64 csvBytes = 0;
    QString utf8Path;   // the same text in UTF-8
    QString utf8LfPath; // ... with LF record ends

    Fixture()
    {
        GeneratorOptions g;
        g.cards = BookCards;
        g.badCards = false;
        book = generateBook(g);
        csvPath = dir.filePath("book.csv");
        SilentPrompter pr;
        CsvFileWrite(csvPath, book, pr, [](CsvExportOptions &) { return true; },
                     QStringLiteral("@example.jp"));
        csvBytes = QFileInfo(csvPath).size();

        QFile in(csvPath);
        in.open(QIODevice::ReadOnly);
        QString text = cp932::decode(in.readAll());
        utf8Path = dir.filePath("utf8.csv");
        writeFile(utf8Path, text.toUtf8());
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        utf8LfPath = dir.filePath("utf8lf.csv");
        writeFile(utf8LfPath, text.toUtf8());
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_CsvExport(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString out = f.dir.filePath("out.csv");
    SilentPrompter pr;
    const CsvExportAsker defaults = [](CsvExportOptions &) { return true; };
    for (auto _ : state) {
        if (CsvFileWrite(out, f.book, pr, defaults, QStringLiteral("@example.jp")) != 0)
            state.SkipWithError("write failed");
    }
    state.counters["cards"] = double(f.book.cardCount() - 1);
    state.SetBytesProcessed(state.iterations() * f.csvBytes);
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond);

void BM_CsvImport(benchmark::State &state)
{
    Fixture &f = fixture();
    SilentPrompter pr;
    qsizetype cards = 0;
    AddressBook b;
    for (auto _ : state) {
        // Freeing the previous result is not part of reading (Python's
        // rows are not freed inside its timing either).
        state.PauseTiming();
        b = AddressBook();
        state.ResumeTiming();
        if (CsvFileRead(f.csvPath, b, pr, autoCsvMapper) != 0)
            state.SkipWithError("read failed");
        cards = b.cardCount() - 1;
        benchmark::DoNotOptimize(b.cards.data());
    }
    state.counters["cards"] = double(cards);
    state.SetBytesProcessed(state.iterations() * f.csvBytes);
}
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond);

void importFile(benchmark::State &state, const QString &path)
{
    SilentPrompter pr;
    qsizetype cards = 0;
    AddressBook b;
    for (auto _ : state) {
        state.PauseTiming();
        b = AddressBook();
        state.ResumeTiming();
        if (CsvFileRead(path, b, pr, autoCsvMapper) != 0)
            state.SkipWithError("read failed");
        cards = b.cardCount() - 1;
        benchmark::DoNotOptimize(b.cards.data());
    }
    state.counters["cards"] = double(cards);
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void BM_CsvImportUtf8(benchmark::State &state)
{
    importFile(state, fixture().utf8Path);
}
BENCHMARK(BM_CsvImportUtf8)->Unit(benchmark::kMillisecond);

void BM_CsvImportUtf8Lf(benchmark::State &state)
{
    importFile(state, fixture().utf8LfPath);
}
BENCHMARK(BM_CsvImportUtf8Lf)->Unit(benchmark::kMillisecond);

void BM_CsvRecords(benchmark::State &state)
{
    Fixture &f = fixture();
    qint64 records = 0;
    for (auto _ : state) {
        QFile file(f.csvPath);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("open failed");
        const QString text = cp932::decode(file.readAll());
        QStringList cells;
        qsizetype pos = 0;
        records = 0;
        while (pos < text.size()) {
            csvRecordRead(cells, text, pos);
            ++records;
        }
        benchmark::DoNotOptimize(cells.data());
    }
    state.counters["records"] = double(records);
    state.SetBytesProcessed(state.iterations() * f.csvBytes);
}
BENCHMARK(BM_CsvRecords)->Unit(benchmark::kMillisecond);

const char *const PythonScript = R"(
import csv, sys, time
csv.field_size_limit(sys.maxsize)
t = time.process_time()
with open(sys.argv[1], encoding='cp932', newline='') as f:
    rows = list(csv.reader(f))
print(time.process_time() - t, len(rows))
)";

void BM_PythonCsvRead(benchmark::State &state)
{
    Fixture &f = fixture();
    qint64 rows = 0;
    for (auto _ : state) {
        QProcess p;
        p.start(QString::fromLatin1(Python),
                {QStringLiteral("-c"), QString::fromLatin1(PythonScript), f.csvPath});
        if (!p.waitForFinished(600000) || p.exitCode() != 0) {
            state.SkipWithError("python3 failed");
            break;
        }
        const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split(' ');
        if (out.size() != 2) {
            state.SkipWithError("unexpected python3 output");
            break;
        }
        state.SetIterationTime(out[0].toDouble());
        rows = out[1].toLongLong();
    }
    state.counters["records"] = double(rows);
    state.SetBytesProcessed(state.iterations() * f.csvBytes);
}
BENCHMARK(BM_PythonCsvRead)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CsvPeerRust(benchmark::State &state)
{
#ifdef BRINDLE_CSV_PEER
    Fixture &f = fixture();
    qint64 records = 0, fields = 0;
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(BRINDLE_CSV_PEER), {f.csvPath, QStringLiteral("2")});
        if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit
            || p.exitCode() != 0) {
            state.SkipWithError("csv_peer failed");
            break;
        }
        // One line per pass: CPU milliseconds, records, fields.
        const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
        const QList<QByteArray> last = lines.constLast().split(' ');
        if (lines.size() != 2 || last.size() != 3) {
            state.SkipWithError("unexpected csv_peer output");
            break;
        }
        state.SetIterationTime(last[0].toDouble() / 1000);
        records = last[1].toLongLong();
        fields = last[2].toLongLong();
    }
    state.counters["records"] = double(records);
    state.counters["fields"] = double(fields);
    state.SetBytesProcessed(state.iterations() * f.csvBytes);
#else
    state.SkipWithError("skipped: the Rust csv peer was not built (no cargo, or Debian's "
                        "librust-csv-dev / librust-encoding-rs-dev missing at configure)");
    for (auto _ : state) {
    }
#endif
}
BENCHMARK(BM_CsvPeerRust)->Unit(benchmark::kMillisecond)->UseManualTime();

// Prints as usual and remembers each benchmark's time per iteration: the
// median of its repetitions when it was repeated, else its one run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            if (r.error_occurred)
                continue;
            const QString name = QString::fromStdString(r.run_name.function_name);
            const bool manual = r.benchmark_name().find("manual_time") != std::string::npos;
            const double t = manual ? r.GetAdjustedRealTime() : r.GetAdjustedCPUTime();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[name] = t;
            else if (r.run_type == Run::RT_Iteration)
                singles[name] = t;
        }
    }
    double time(const char *name) const
    {
        const QString key = QString::fromLatin1(name);
        return medians.value(key, singles.value(key, 0));
    }
    QMap<QString, double> medians;
    QMap<QString, double> singles;
};

void printRatio(const char *what, double peer, double brindle)
{
    if (peer > 0 && brindle > 0)
        std::printf("%-48s %.2f\n", what, peer / brindle);
}

bool hasFlag(int argc, char **argv, const char *flag)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // Medians of interleaved repetitions unless the command line says how
    // to repeat.
    std::vector<char *> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    if (!hasFlag(argc, argv, "--benchmark_repetitions")) {
        args.push_back(repetitions.data());
        if (!hasFlag(argc, argv, "--benchmark_report_aggregates_only")
            && !hasFlag(argc, argv, "--benchmark_display_aggregates_only"))
            args.push_back(aggregates.data());
        if (!hasFlag(argc, argv, "--benchmark_enable_random_interleaving"))
            args.push_back(interleaving.data());
    }
    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    // Colours only on a terminal, as the library's own reporter does by
    // default.
    RatioReporter reporter(isatty(STDOUT_FILENO) && !hasFlag(argc, argv, "--benchmark_color=false")
                               ? benchmark::ConsoleReporter::OO_ColorTabular
                               : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double python = reporter.time("BM_PythonCsvRead");
    const double rust = reporter.time("BM_CsvPeerRust");
    const double import = reporter.time("BM_CsvImport");
    const double records = reporter.time("BM_CsvRecords");
    std::printf("\nCSV file: %lld bytes, %d cards; ratios of medians (above 1: Brindle faster)\n",
                static_cast<long long>(fixture().csvBytes), BookCards);
    printRatio("Python csv.reader / Brindle import (cards):", python, import);
    printRatio("Python csv.reader / Brindle records only:", python, records);
    printRatio("Rust csv + encoding_rs / Brindle import (cards):", rust, import);
    printRatio("Rust csv + encoding_rs / Brindle records only:", rust, records);
    if (rust <= 0)
        std::printf("Rust csv peer: not measured (see BM_CsvPeerRust above)\n");
    benchmark::Shutdown();
    return 0;
}

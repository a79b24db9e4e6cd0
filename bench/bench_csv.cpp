// CSV import and export of a full-size book (32,766 cards, the most a book's
// 16-bit card counter allows, plus the system card), side by side with
// Python's csv module reading the same file (encoding='cp932').
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
//
// Times are CPU times (Python's process_time, reported as the manual time),
// so that other work on the machine does not distort the comparison. After
// the run the ratios Python / Brindle are printed.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

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

// Prints as usual and remembers each benchmark's time per iteration.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
                const QString name = QString::fromStdString(r.benchmark_name());
                times[name] = name.contains(QLatin1String("manual_time")) ? r.GetAdjustedRealTime()
                                                                           : r.GetAdjustedCPUTime();
            }
    }
    double time(const char *prefix) const
    {
        for (auto it = times.begin(); it != times.end(); ++it)
            if (it.key().startsWith(QLatin1String(prefix)))
                return it.value();
        return 0;
    }
    QMap<QString, double> times;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double python = reporter.time("BM_PythonCsvRead");
    const double import = reporter.time("BM_CsvImport");
    const double records = reporter.time("BM_CsvRecords");
    std::printf("\nCSV file: %lld bytes, %d cards\n", static_cast<long long>(fixture().csvBytes),
                BookCards);
    if (python > 0 && import > 0)
        std::printf("Python csv.reader / Brindle import (cards):   %.2f\n", python / import);
    if (python > 0 && records > 0)
        std::printf("Python csv.reader / Brindle records only:     %.2f\n", python / records);
    benchmark::Shutdown();
    return 0;
}

// A full-size address book, loaded, checked and saved, each step beside the
// floor it is measured against.
//
// The book: 32,766 generated person cards (the most whose next-card counter
// still fits its 16-bit field), with the few planted bad cards, written once
// to a temporary .ndb file.
//
//   BM_Read               readNdbFile (the previous book freed outside the
//                         timing)
//   BM_FreeBook           destroying a book readNdbFile loaded
//   BM_ReadFloor          QFile::readAll + cp932::decode of every string's
//                         bytes (the slices the file holds, each into its own
//                         QString, all kept until the end of the pass and
//                         freed outside the timing)
//   BM_ReadFileBytes      QFile::readAll alone (the I/O part of the floor)
//   BM_RepairCardNumbers  repairCardNumbers on the loaded book, as after
//                         every load; /1: half the cards share a number
//   BM_ValidateAll        validateAll with the default limits
//   BM_BuildImage         buildNdbImage
//   BM_EncodeFloor        cp932::encodeAppend of every string into one buffer
//   BM_Write              writeNdbFile over a file in the same folder
//   BM_WriteFloor         the encode floor + QFile::write of as many bytes
//                         as the image has, into a truncated file; /1 also
//                         waits for the disk (fdatasync), as writeNdbFile does
//   BM_LoadedBookMemory   resident memory of a fresh process before and
//                         after readNdbFile (the process runs this program
//                         with --memory FILE; see memoryProbe)
//
// Rates are bytes of the .ndb file per second.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/cp932.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"

namespace {

constexpr int BookCards = 32766;

// Where the text of every string payload of an image lies (without its
// terminating 0 byte). The image is one the writer made, so it is trusted.
struct Slice {
    qsizetype offset;
    qsizetype length;
};

std::vector<Slice> stringSlices(const QByteArray &image)
{
    const char *p = image.constData();
    qsizetype pos = 4;
    auto i32 = [&] {
        const qint32 v = qFromLittleEndian<qint32>(p + pos);
        pos += 4;
        return v;
    };
    std::vector<Slice> slices;
    auto string = [&] {
        const qint32 length = i32();
        if (length >= 2)
            slices.push_back({pos, length - 1});
        pos += length;
    };
    const qint32 cards = i32();
    for (qint32 c = 0; c < cards; ++c) {
        pos += 2;
        const qint32 items = i32();
        for (qint32 i = 0; i < items; ++i) {
            const auto type = ItemType(quint8(p[pos]));
            pos += 5;
            switch (type) {
            case ItemType::String:
                string();
                break;
            case ItemType::StringList:
                for (qint32 n = i32(); n > 0; --n)
                    string();
                break;
            case ItemType::Date:
                pos += 8;
                break;
            case ItemType::Byte:
                pos += 1;
                break;
            }
        }
    }
    return slices;
}

// Every string the writer encodes, in the order it encodes them.
template<typename F>
void forEachString(const AddressBook &book, F &&f)
{
    for (const Card &card : book.cards) {
        const int items = qBound(0, card.itemCount, CardItemKindCount);
        for (int kind = 0; kind < items; ++kind) {
            switch (itemTypeOf(kind)) {
            case ItemType::String:
                f(QStringView(*card.stringField(kind)));
                break;
            case ItemType::StringList:
                for (const QString &s : *card.listField(kind))
                    f(QStringView(s));
                break;
            default:
                break;
            }
        }
    }
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    AddressBook book; // as generated
    AddressBook loaded; // as read back from the file
    QByteArray image;
    std::vector<Slice> slices;

    Fixture()
    {
        if (!dir.isValid())
            qFatal("no temporary folder");
        path = dir.filePath(QStringLiteral("Address.ndb"));
        book = generateBook(GeneratorOptions{.seed = 1, .cards = BookCards});
        ScriptedPrompter prompter;
        if (writeNdbFile(path, book, prompter) != 0 || readNdbFile(path, loaded, prompter) != 0)
            qFatal("cannot write and read the benchmark book");
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read the benchmark book");
        image = f.readAll();
        slices = stringSlices(image);
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void setFileRate(benchmark::State &state)
{
    const Fixture &f = fixture();
    state.SetBytesProcessed(state.iterations() * f.image.size());
    state.counters["file_MB"] = double(f.image.size()) / 1e6;
}

// ---- Reading --------------------------------------------------------------

void BM_Read(benchmark::State &state)
{
    const Fixture &f = fixture();
    ScriptedPrompter prompter;
    // The previous book is freed while the clock is stopped: freeing is
    // BM_FreeBook's.
    AddressBook book;
    for (auto _ : state) {
        state.PauseTiming();
        book = AddressBook();
        state.ResumeTiming();
        if (readNdbFile(f.path, book, prompter) != 0 || book.cardCount() != f.loaded.cardCount())
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(book.cards.data());
    }
    setFileRate(state);
}
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);

// Destroying a loaded full-size book, as happens when a book is closed or a
// program ends; each book is read while the clock is stopped.
void BM_FreeBook(benchmark::State &state)
{
    const Fixture &f = fixture();
    ScriptedPrompter prompter;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<AddressBook>();
        if (readNdbFile(f.path, *book, prompter) != 0)
            state.SkipWithError("read failed");
        state.ResumeTiming();
        book.reset();
        benchmark::DoNotOptimize(book.get());
    }
    state.SetItemsProcessed(state.iterations() * (f.loaded.cardCount() - 1));
}
BENCHMARK(BM_FreeBook)->Unit(benchmark::kMillisecond);

void BM_ReadFloor(benchmark::State &state)
{
    const Fixture &f = fixture();
    // Freed while the clock is stopped, as BM_Read's book is.
    std::vector<QString> strings;
    QByteArray bytes;
    for (auto _ : state) {
        state.PauseTiming();
        strings = {};
        bytes = {};
        state.ResumeTiming();
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("open failed");
        bytes = file.readAll();
        strings.reserve(f.slices.size());
        for (const Slice &s : f.slices)
            strings.push_back(cp932::decode(QByteArrayView(bytes.constData() + s.offset, s.length)));
        benchmark::DoNotOptimize(strings.data());
    }
    setFileRate(state);
    state.counters["strings"] = double(f.slices.size());
}
BENCHMARK(BM_ReadFloor)->Unit(benchmark::kMillisecond);

void BM_ReadFileBytes(benchmark::State &state)
{
    const Fixture &f = fixture();
    for (auto _ : state) {
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("open failed");
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
    setFileRate(state);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

// ---- Checking after a load ---------------------------------------------------

// A private copy of the book whose card list no longer shares storage, so
// that the timed code does not pay for the copy when it first writes.
AddressBook detachedCopy(const AddressBook &from)
{
    AddressBook book = from;
    book.cards.detach();
    return book;
}

void BM_RepairCardNumbers(benchmark::State &state)
{
    AddressBook source = detachedCopy(fixture().loaded);
    const bool damaged = state.range(0) != 0;
    if (damaged) {
        for (qsizetype i = 1; i < source.cards.size(); i += 2)
            source.cards[i].number = 7;
        source.cardCounter = 1;
    }
    int fixes = 0;
    // The copy and the destruction of the previous one happen while the
    // clock is stopped.
    AddressBook book;
    for (auto _ : state) {
        state.PauseTiming();
        book = detachedCopy(source);
        state.ResumeTiming();
        fixes = repairCardNumbers(book);
        benchmark::DoNotOptimize(book.cards.data());
    }
    state.SetItemsProcessed(state.iterations() * (source.cardCount() - 1));
    state.counters["fixes"] = fixes;
    state.SetLabel(damaged ? "damaged" : "loaded");
}
BENCHMARK(BM_RepairCardNumbers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ValidateAll(benchmark::State &state)
{
    AddressBook book = detachedCopy(fixture().loaded);
    const DateValue now = oleNow();
    int bad = 0;
    for (auto _ : state)
        bad = validateAll(book, CardLimits{}, now);
    state.SetItemsProcessed(state.iterations() * (book.cardCount() - 1));
    state.counters["bad_cards"] = bad;
}
BENCHMARK(BM_ValidateAll)->Unit(benchmark::kMillisecond);

// ---- Writing --------------------------------------------------------------

void BM_BuildImage(benchmark::State &state)
{
    const Fixture &f = fixture();
    for (auto _ : state) {
        const std::optional<QByteArray> image = buildNdbImage(f.loaded);
        if (!image || image->size() != f.image.size())
            state.SkipWithError("wrong image");
        benchmark::DoNotOptimize(image->constData());
    }
    setFileRate(state);
}
BENCHMARK(BM_BuildImage)->Unit(benchmark::kMillisecond);

// Every string of the book encoded into one buffer of the image's size.
QByteArray encodeEveryString(const Fixture &f)
{
    QByteArray out;
    out.reserve(f.image.size());
    forEachString(f.loaded, [&](QStringView s) { cp932::encodeAppend(s, out); });
    return out;
}

void BM_EncodeFloor(benchmark::State &state)
{
    const Fixture &f = fixture();
    for (auto _ : state) {
        const QByteArray text = encodeEveryString(f);
        benchmark::DoNotOptimize(text.constData());
    }
    setFileRate(state);
}
BENCHMARK(BM_EncodeFloor)->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State &state)
{
    const Fixture &f = fixture();
    const QString path = f.dir.filePath(QStringLiteral("Written.ndb"));
    ScriptedPrompter prompter;
    for (auto _ : state)
        if (writeNdbFile(path, f.loaded, prompter) != 0)
            state.SkipWithError("write failed");
    setFileRate(state);
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);

// /synced adds what the safe save adds to reach the disk: writeNdbFile goes
// through saveFileSafely, which calls fsync before it puts the file in place.
void BM_WriteFloor(benchmark::State &state)
{
    const Fixture &f = fixture();
    const QString path = f.dir.filePath(QStringLiteral("Floor.ndb"));
    const bool synced = state.range(0) != 0;
    for (auto _ : state) {
        QByteArray bytes = encodeEveryString(f);
        bytes.resize(f.image.size()); // the header, counts and dates: no work
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size() || !file.flush()
            || (synced && ::fdatasync(file.handle()) != 0))
            state.SkipWithError("write failed");
    }
    setFileRate(state);
    state.SetLabel(synced ? "synced" : "unsynced");
}
BENCHMARK(BM_WriteFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// ---- Memory ---------------------------------------------------------------

// Reads a "VmRSS:" style line of /proc/self/status, in kB.
qint64 statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The body of `bench_book --memory FILE`: prints the resident size before
// the load, after it, and the peak, in kB.
int memoryProbe(const char *file)
{
    ScriptedPrompter prompter;
    const qint64 before = statusKb("VmRSS");
    AddressBook book;
    if (readNdbFile(QString::fromLocal8Bit(file), book, prompter) != 0)
        return 1;
    const qint64 after = statusKb("VmRSS");
    const qint64 peak = statusKb("VmHWM");
    std::printf("%lld %lld %lld %lld\n", qint64(book.cardCount()), before, after, peak);
    return 0;
}

void BM_LoadedBookMemory(benchmark::State &state)
{
    const Fixture &f = fixture();
    // The shell popen starts would see itself as /proc/self/exe.
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = "'" + self + "' --memory '" + f.path.toStdString() + "'";
    qint64 cards = 0, before = 0, after = 0, peak = 0;
    for (auto _ : state) {
        FILE *p = popen(command.c_str(), "r");
        if (!p || std::fscanf(p, "%lld %lld %lld %lld", &cards, &before, &after, &peak) != 4
            || pclose(p) != 0 || cards != f.loaded.cardCount())
            state.SkipWithError("memory probe failed");
    }
    state.counters["file_MB"] = double(f.image.size()) / 1e6;
    state.counters["held_MB"] = double(after - before) * 1024 / 1e6;
    state.counters["peak_MB"] = double(peak - before) * 1024 / 1e6;
    state.counters["held_per_file_byte"] = double(after - before) * 1024 / double(f.image.size());
}
BENCHMARK(BM_LoadedBookMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
        return memoryProbe(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

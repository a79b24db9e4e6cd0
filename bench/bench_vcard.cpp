// vCard: exporting a full-size book (32,766 cards, the most a book can
// number) as vCard 2.1 and as vCard 3.0, and importing it again, from the
// program's own CP932 vCard 2.1 and from a UTF-8 vCard 3.0 file of the same
// cards; beside it, Evolution's
// vCard parser on the same cards when libebook-contacts is installed.
// Nickname files too.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/cp932.h"
#include "formats/eudora.h"
#include "formats/vcard.h"
#include "support/generator.h"

#ifdef BRINDLE_HAVE_EVCARD
#include "evcard_driver.h"
#endif

namespace {

constexpr int Cards = 32766;

VcardWriteOptions writeOptions()
{
    VcardWriteOptions o;
    o.niftyDomain = QStringLiteral("@nifty.example");
    o.utcOffsetSeconds = 9 * 3600;
    return o;
}

VcardReadOptions readOptions()
{
    VcardReadOptions o;
    o.utcOffsetSeconds = 9 * 3600;
    o.now = 45000.5;
    return o;
}

// A card as a phone writes vCard 3.0: UTF-8, TYPE lists, escaped values.
QString vcard30(const Card &c)
{
    auto esc = [](const QString &v) {
        QString out = vcardEscape(v);
        out.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
        return out;
    };
    QString out = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\n");
    for (const QString &n : c.names)
        out += QStringLiteral("FN:") + esc(n) + QStringLiteral("\r\n");
    if (!c.memo.isEmpty())
        out += QStringLiteral("NOTE:") + esc(c.memo) + QStringLiteral("\r\n");
    if (!c.telephone.isEmpty())
        out += QStringLiteral("TEL;TYPE=HOME,VOICE:") + esc(c.telephone) + QStringLiteral("\r\n");
    if (!c.mobile.isEmpty())
        out += QStringLiteral("TEL;TYPE=CELL,VOICE:") + esc(c.mobile) + QStringLiteral("\r\n");
    if (!c.fax.isEmpty())
        out += QStringLiteral("TEL;TYPE=HOME,FAX:") + esc(c.fax) + QStringLiteral("\r\n");
    if (!c.address.isEmpty() || !c.postalCode.isEmpty())
        out += QStringLiteral("ADR;TYPE=HOME:;;") + esc(c.address) + QStringLiteral(";;;")
            + esc(c.postalCode) + QStringLiteral(";\r\n");
    for (const QString &id : c.ids)
        out += QStringLiteral("item1.EMAIL;type=INTERNET:") + esc(id) + QStringLiteral("\r\n");
    return out + QStringLiteral("REV:20240401T010203Z\r\nEND:VCARD\r\n");
}

struct Data
{
    AddressBook book;
    QString text;      // the book as vCard
    QByteArray bytes;  // the same in CP932, as the file holds it
    QByteArray utf8;   // the same cards as UTF-8 vCard 3.0
    std::vector<std::string> utf8Cards; // one vCard object each, UTF-8
    QByteArray eudora; // the book as a nickname file, CP932

    Data()
    {
        GeneratorOptions g;
        g.cards = Cards;
        g.badCards = false;
        g.logScale = 0.1; // logs are not exported; keep generation short
        book = generateBook(g);
        text = vcardFileText(book, writeOptions());
        bytes = cp932::encode(text);
        QString modern;
        for (qsizetype i = 1; i < book.cardCount(); ++i)
            modern += vcard30(book.cards[i]);
        utf8 = modern.toUtf8();
        const QString end = QStringLiteral("END:VCARD\r\n");
        qsizetype from = 0;
        for (qsizetype at; (at = text.indexOf(end, from)) >= 0; from = at + end.size())
            utf8Cards.push_back(text.sliced(from, at + end.size() - from).toStdString());
        EudoraWriteOptions e;
        e.niftyDomain = QStringLiteral("@nifty.example");
        eudora = cp932::encode(eudoraFileText(book, e));
    }
};

const Data &data()
{
    static const Data d;
    return d;
}

void BM_VcardWrite(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state) {
        const QByteArray out = cp932::encode(vcardFileText(d.book, writeOptions()));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * Cards);
    state.SetBytesProcessed(state.iterations() * d.bytes.size());
}
BENCHMARK(BM_VcardWrite)->Unit(benchmark::kMillisecond);

// The same book as vCard 3.0 in UTF-8.
void BM_VcardWrite30(benchmark::State &state)
{
    const Data &d = data();
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray out = vcard3FileBytes(d.book, writeOptions());
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * Cards);
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_VcardWrite30)->Unit(benchmark::kMillisecond);

// The whole import after the file is read: from the file's CP932 bytes.
void BM_VcardImport(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state) {
        AddressBook b;
        parseVcardBytes(d.bytes, b, readOptions());
        if (b.cardCount() != Cards + 1)
            state.SkipWithError("card count");
        benchmark::DoNotOptimize(b.cards.data());
    }
    state.SetItemsProcessed(state.iterations() * Cards);
    state.SetBytesProcessed(state.iterations() * d.bytes.size());
}
BENCHMARK(BM_VcardImport)->Unit(benchmark::kMillisecond);

// The same cards from a UTF-8 vCard 3.0 file.
void BM_VcardImportUtf8(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state) {
        AddressBook b;
        ImportReport report;
        parseVcardBytes(d.utf8, b, readOptions(), &report);
        if (b.cardCount() != Cards + 1 || report.charactersReplaced != 0)
            state.SkipWithError("card count or replaced characters");
        benchmark::DoNotOptimize(b.cards.data());
    }
    state.SetItemsProcessed(state.iterations() * Cards);
    state.SetBytesProcessed(state.iterations() * d.utf8.size());
}
BENCHMARK(BM_VcardImportUtf8)->Unit(benchmark::kMillisecond);

// Parsing from text already decoded in memory (the entry point of tests
// and of callers that hold text): the work the Evolution benchmark below
// does. The text is read as UTF-8 bytes, so this costs a little more than
// the import from the file's own bytes above.
void BM_VcardParse(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state) {
        AddressBook b;
        parseVcardText(d.text, b, readOptions());
        benchmark::DoNotOptimize(b.cards.data());
    }
    state.SetItemsProcessed(state.iterations() * Cards);
    state.SetBytesProcessed(state.iterations() * d.bytes.size());
}
BENCHMARK(BM_VcardParse)->Unit(benchmark::kMillisecond);

#ifdef BRINDLE_HAVE_EVCARD
// Evolution's parser (e_vcard_new_from_string) on each card of the same
// file, every attribute and value visited.
void BM_EvolutionVcardParse(benchmark::State &state)
{
    const Data &d = data();
    std::size_t values = 0;
    for (auto _ : state) {
        values = evcardParseAll(d.utf8Cards);
        benchmark::DoNotOptimize(values);
    }
    state.counters["values"] = double(values);
    state.SetItemsProcessed(state.iterations() * Cards);
    state.SetBytesProcessed(state.iterations() * d.bytes.size());
}
BENCHMARK(BM_EvolutionVcardParse)->Unit(benchmark::kMillisecond);
#endif

void BM_EudoraWrite(benchmark::State &state)
{
    const Data &d = data();
    EudoraWriteOptions o;
    o.niftyDomain = QStringLiteral("@nifty.example");
    for (auto _ : state) {
        const QByteArray out = cp932::encode(eudoraFileText(d.book, o));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * Cards);
}
BENCHMARK(BM_EudoraWrite)->Unit(benchmark::kMillisecond);

void BM_EudoraImport(benchmark::State &state)
{
    const Data &d = data();
    EudoraReadOptions o;
    o.now = 45000.5;
    for (auto _ : state) {
        AddressBook b;
        parseEudoraText(cp932::decode(d.eudora), b, o);
        benchmark::DoNotOptimize(b.cards.data());
    }
    state.SetItemsProcessed(state.iterations() * Cards);
    state.SetBytesProcessed(state.iterations() * d.eudora.size());
}
BENCHMARK(BM_EudoraImport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

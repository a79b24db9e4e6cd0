// Reading and writing a full-size address book (32,767 cards with typical
// content: a few IDs and names, address, memo, some log lines).
#include <benchmark/benchmark.h>

#include "core/ndbfile.h"
#include "support/scriptedprompter.h"

namespace {

AddressBook largeBook()
{
    AddressBook book;
    book.groupList() = QStringList{QStringLiteral("家族"), QStringLiteral("友人"),
                                   QStringLiteral("仕事")};
    for (int n = 1; n <= 32767; ++n) {
        Card c = Card::newCard();
        c.number = n;
        c.ids = {QStringLiteral("user%1@example.ne.jp").arg(n), QStringLiteral("MXB%1").arg(n)};
        c.names = {QStringLiteral("山田太郎%1").arg(n), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ")};
        c.postalCode = QStringLiteral("100-0001");
        c.address = QStringLiteral("東京都千代田区千代田1-1-%1").arg(n % 100);
        c.telephone = QStringLiteral("03-1234-%1").arg(n % 10000, 4, 10, QLatin1Char('0'));
        c.groups = {QStringLiteral("友人")};
        c.memo = QStringLiteral("打ち合わせの件\r\n来週の予定を確認すること");
        c.profile = {QStringLiteral("趣味\t読書")};
        for (int i = 0; i < 5; ++i)
            c.mailLog << QStringLiteral("2024/05/%1 12:34 受信 Re: 打ち合わせの件").arg(i + 10);
        c.exchangeRecords = {QStringLiteral("2024/05/10 03:04PM 会議")};
        c.birthday = 30000.0;
        c.created = 45000.5;
        c.updated = 45100.25;
        book.cards.append(c);
    }
    return book;
}

const AddressBook &sharedBook()
{
    static const AddressBook book = largeBook();
    return book;
}

void BM_ParseLargeBook(benchmark::State &state)
{
    const QByteArray image = *buildNdbImage(sharedBook());
    ScriptedPrompter prompter;
    for (auto _ : state) {
        AddressBook book;
        if (parseNdbImage(image, book, prompter) != 0)
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(book);
    }
    state.SetBytesProcessed(state.iterations() * image.size());
    state.counters["bytes"] = double(image.size());
}
BENCHMARK(BM_ParseLargeBook)->Unit(benchmark::kMillisecond);

void BM_BuildLargeBook(benchmark::State &state)
{
    const AddressBook &book = sharedBook();
    qint64 size = 0;
    for (auto _ : state) {
        auto image = buildNdbImage(book);
        size = image->size();
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_BuildLargeBook)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

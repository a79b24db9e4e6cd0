// Whole-book card operations on large books: appending one book to another
// (ID lookups and merges), deleting many cards. Validation and card-number
// repair are measured on a full-size book in bench_book.cpp.
#include <benchmark/benchmark.h>

#include "core/cardops.h"
#include "support/scriptedprompter.h"

namespace {

// n cards numbered from first; card k has the IDs "user<k>@example.ne.jp" and
// "MXB<k>", so books built with overlapping ranges share IDs.
AddressBook bookOf(int first, int n)
{
    AddressBook book;
    book.groupList() = {QStringLiteral("友人"), QStringLiteral("仕事")};
    for (int k = first; k < first + n; ++k) {
        Card c = Card::newCard();
        c.number = k;
        c.ids = {QStringLiteral("user%1@example.ne.jp").arg(k), QStringLiteral("MXB%1").arg(k)};
        c.names = {QStringLiteral("山田太郎%1").arg(k), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ")};
        c.address = QStringLiteral("東京都千代田区千代田1-1-%1").arg(k % 100);
        c.groups = {QStringLiteral("友人")};
        c.memo = QStringLiteral("打ち合わせの件\r\n来週の予定を確認すること");
        c.profile = {QStringLiteral("趣味\t読書")};
        for (int i = 0; i < 5; ++i)
            c.mailLog << QStringLiteral("24/05/%1 受信 MXB12345 MXB%2 00000000 件名")
                             .arg(i + 10)
                             .arg(k % 100000, 5, 10, QLatin1Char('0'));
        c.exchangeRecords = {QStringLiteral("24/05/10 03:04pm 会議")};
        c.remarkRecords = {QStringLiteral("24/05/10 発言")};
        c.birthday = 30000.0;
        c.created = 45000.5;
        c.updated = 45100.25;
        book.cards.append(c);
    }
    book.cardCounter = first + n;
    return book;
}

// Appends 10,000 cards to a 10,000-card book; half of them merge.
void BM_AppendBook(benchmark::State &state)
{
    const AddressBook target = bookOf(1, 10000);
    const AddressBook source = bookOf(5001, 10000);
    ScriptedPrompter prompter;
    // The copy of the target and the destruction of the previous result
    // happen while the clock is stopped.
    AddressBook book;
    for (auto _ : state) {
        state.PauseTiming();
        book = target;
        book.cards.detach();
        state.ResumeTiming();
        if (appendBook(book, source, prompter) != 0 || book.cardCount() != 15001)
            state.SkipWithError("append failed");
        benchmark::DoNotOptimize(book);
    }
}
BENCHMARK(BM_AppendBook)->Unit(benchmark::kMillisecond);

void BM_CountCardsSharingIds(benchmark::State &state)
{
    const AddressBook a = bookOf(1, 10000);
    const AddressBook b = bookOf(5001, 10000);
    for (auto _ : state)
        benchmark::DoNotOptimize(countCardsSharingIds(a, b));
}
BENCHMARK(BM_CountCardsSharingIds)->Unit(benchmark::kMillisecond);

void BM_DeleteHalf(benchmark::State &state)
{
    const AddressBook full = bookOf(1, 32000);
    QList<qint32> numbers;
    for (int k = 1; k <= 32000; k += 2)
        numbers.append(k);
    AddressBook book;
    for (auto _ : state) {
        state.PauseTiming();
        book = full;
        book.cards.detach();
        state.ResumeTiming();
        deleteCards(numbers, book);
        benchmark::DoNotOptimize(book);
    }
}
BENCHMARK(BM_DeleteHalf)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

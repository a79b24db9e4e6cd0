// List text: building the text of a large book and parsing it back.

#include <benchmark/benchmark.h>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/listtext.h"

namespace {

AddressBook bigBook(int cards)
{
    AddressBook b = AddressBook::newBook();
    b.groupList() = {"友人", "仕事", "家族"};
    for (int i = 1; i <= cards; ++i) {
        Card c = Card::newCard();
        c.number = i;
        const QString n = QString::number(i);
        c.ids = {"user" + n + "@example.com", "u" + n + "@example.net"};
        c.names = {"山田太郎" + n, "Yamada Taro " + n};
        c.address = "東京都千代田区丸の内一丁目" + n;
        c.telephone = "03-1234-5678";
        c.birthday = oleFromDate(QDate(1970, 1, 1).addDays(i));
        c.groups = {"友人"};
        c.memo = "メモの一行目です。\r\n二行目\r\n三行目";
        for (int k = 0; k < 10; ++k)
            c.mailLog << "2024/01/01 12:00:00 送信 件名 " + QString::number(k);
        c.created = c.updated = 45000.5;
        b.cards.append(c);
    }
    b.cardCounter = cards + 1;
    return b;
}

const QDateTime Now(QDate(2024, 5, 1), QTime(10, 0, 0));

void BM_ListTextWrite(benchmark::State &state)
{
    const AddressBook b = bigBook(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = cp932::encode(listFileText(b, Now));
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ListTextWrite)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ListTextParse(benchmark::State &state)
{
    const QByteArray bytes = cp932::encode(listFileText(bigBook(int(state.range(0))), Now));
    for (auto _ : state) {
        AddressBook b;
        parseListText(cp932::decode(bytes), b);
        benchmark::DoNotOptimize(b.cards.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ListTextParse)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Throughput of the CP932 text layer against glibc iconv called directly,
// on one long text and on many short fields. Every figure counts the bytes
// of the CP932 form, so decode and encode numbers compare directly.

#include "common/cp932.h"

#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <iconv.h>
#include <random>

namespace {

// Address-book-like lines: names in kanji and kana, addresses, mail
// addresses, phone numbers, memo text with half-width katakana.
QString sampleField(std::mt19937 &random)
{
    static const char16_t *const parts[] = {
        u"山田太郎",         u"やまだ たろう",      u"鈴木花子",
        u"東京都千代田区丸の内１－２－３", u"大阪府大阪市北区梅田",
        u"taro.yamada@example.co.jp", u"hanako@mail.example.ne.jp",
        u"03-1234-5678",     u"090-9876-5432",       u"ｶﾌﾞｼｷｶﾞｲｼｬ ﾀﾅｶ",
        u"株式会社ブリンドル　営業部", u"①会議資料の送付について",
        u"Re: Meeting on Monday", u"http://www.example.jp/~user/",
        u"〒100-0005",       u"メモ：年賀状不要",    u"ⅰ～ⅲ の件",
    };
    std::uniform_int_distribution<int> pick(0, int(std::size(parts)) - 1);
    return QString::fromUtf16(parts[pick(random)]);
}

struct Data
{
    QByteArray longText; // about 1 MB of CRLF lines
    QString longString;
    QList<QByteArray> fields; // about 20 bytes each
    QList<QString> fieldStrings;
    qint64 fieldBytes = 0;
    double tableMs = 0; // building the tables on first use

    Data()
    {
        QElapsedTimer timer;
        timer.start();
        cp932::encodedLength(u"\u3042");
        tableMs = timer.nsecsElapsed() / 1e6;
        std::mt19937 random(932);
        QString text;
        while (cp932::encodedLength(text) < 1024 * 1024) {
            text += sampleField(random);
            text += (random() % 4 == 0) ? QStringLiteral("\r\n") : QStringLiteral("\t");
        }
        longString = text;
        longText = cp932::encode(text);
        for (int i = 0; i < 50000; ++i) {
            const QString field = sampleField(random);
            fieldStrings.append(field);
            fields.append(cp932::encode(field));
            fieldBytes += fields.last().size();
        }
    }
};

const Data &data()
{
    static const Data d;
    return d;
}

class Iconv
{
public:
    Iconv(const char *to, const char *from) : cd(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(cd); }

    QString decode(QByteArrayView bytes)
    {
        QString out(bytes.size(), Qt::Uninitialized);
        char *in = const_cast<char *>(bytes.data());
        size_t inLeft = size_t(bytes.size());
        char *o = reinterpret_cast<char *>(out.data());
        size_t outLeft = size_t(out.size()) * 2;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0 && iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1)) {
            // Replace the bad byte and go on.
            *reinterpret_cast<char16_t *>(o) = u'\uFFFD';
            o += 2, outLeft -= 2, ++in, --inLeft;
        }
        out.truncate((o - reinterpret_cast<char *>(out.data())) / 2);
        return out;
    }

    QByteArray encode(QStringView text)
    {
        QByteArray out(text.size() * 2, Qt::Uninitialized);
        char *in = const_cast<char *>(reinterpret_cast<const char *>(text.utf16()));
        size_t inLeft = size_t(text.size()) * 2;
        char *o = out.data();
        size_t outLeft = size_t(out.size());
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0 && iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1)) {
            // Write "?" for the unmappable character (a surrogate pair whole).
            const char16_t u = *reinterpret_cast<const char16_t *>(in);
            const size_t skip = (QChar::isHighSurrogate(u) && inLeft >= 4) ? 4 : 2;
            *o++ = '?', --outLeft, in += skip, inLeft -= skip;
        }
        out.truncate(o - out.data());
        return out;
    }

private:
    iconv_t cd;
};

void DecodeLongText(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::decode(d.longText));
    state.SetBytesProcessed(state.iterations() * d.longText.size());
    state.counters["table_ms"] = d.tableMs;
    state.counters["ascii_share"] =
        double(std::count_if(d.longText.begin(), d.longText.end(), [](char c) { return quint8(c) < 0x80; }))
        / double(d.longText.size());
}
BENCHMARK(DecodeLongText);

void DecodeLongTextIconv(benchmark::State &state)
{
    const Data &d = data();
    Iconv cd("UTF-16LE", "CP932");
    if (cd.decode(d.longText) != d.longString)
        state.SkipWithError("iconv reads the text differently");
    for (auto _ : state)
        benchmark::DoNotOptimize(cd.decode(d.longText));
    state.SetBytesProcessed(state.iterations() * d.longText.size());
}
BENCHMARK(DecodeLongTextIconv);

void EncodeLongText(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::encode(d.longString));
    state.SetBytesProcessed(state.iterations() * d.longText.size());
}
BENCHMARK(EncodeLongText);

// The writers always pass the counter: it must cost nothing while every
// character has a form (compare with EncodeLongText).
void EncodeLongTextCounting(benchmark::State &state)
{
    const Data &d = data();
    qsizetype replaced = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::encode(d.longString, &replaced));
    if (replaced != 0)
        state.SkipWithError("the sample text has characters without a form");
    state.SetBytesProcessed(state.iterations() * d.longText.size());
}
BENCHMARK(EncodeLongTextCounting);

// What finding the cards of replaced characters costs per pass over the
// text (run only after a write that replaced something).
void FirstUnencodableLongText(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::firstUnencodable(d.longString));
    state.SetBytesProcessed(state.iterations() * d.longText.size());
}
BENCHMARK(FirstUnencodableLongText);

void EncodeLongTextIconv(benchmark::State &state)
{
    const Data &d = data();
    Iconv cd("CP932", "UTF-16LE");
    if (cd.encode(d.longString) != d.longText)
        state.SkipWithError("iconv writes the text differently");
    for (auto _ : state)
        benchmark::DoNotOptimize(cd.encode(d.longString));
    state.SetBytesProcessed(state.iterations() * d.longText.size());
}
BENCHMARK(EncodeLongTextIconv);

void EncodedLengthLongText(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(cp932::encodedLength(d.longString));
    state.SetBytesProcessed(state.iterations() * d.longText.size());
}
BENCHMARK(EncodedLengthLongText);

void DecodeShortFields(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state)
        for (const QByteArray &f : d.fields)
            benchmark::DoNotOptimize(cp932::decode(f));
    state.SetBytesProcessed(state.iterations() * d.fieldBytes);
    state.SetItemsProcessed(state.iterations() * d.fields.size());
}
BENCHMARK(DecodeShortFields);

void DecodeShortFieldsIconv(benchmark::State &state)
{
    const Data &d = data();
    Iconv cd("UTF-16LE", "CP932");
    for (auto _ : state)
        for (const QByteArray &f : d.fields)
            benchmark::DoNotOptimize(cd.decode(f));
    state.SetBytesProcessed(state.iterations() * d.fieldBytes);
    state.SetItemsProcessed(state.iterations() * d.fields.size());
}
BENCHMARK(DecodeShortFieldsIconv);

void EncodeShortFields(benchmark::State &state)
{
    const Data &d = data();
    for (auto _ : state)
        for (const QString &f : d.fieldStrings)
            benchmark::DoNotOptimize(cp932::encode(f));
    state.SetBytesProcessed(state.iterations() * d.fieldBytes);
    state.SetItemsProcessed(state.iterations() * d.fields.size());
}
BENCHMARK(EncodeShortFields);

void EncodeShortFieldsIconv(benchmark::State &state)
{
    const Data &d = data();
    Iconv cd("CP932", "UTF-16LE");
    for (auto _ : state)
        for (const QString &f : d.fieldStrings)
            benchmark::DoNotOptimize(cd.encode(f));
    state.SetBytesProcessed(state.iterations() * d.fieldBytes);
    state.SetItemsProcessed(state.iterations() * d.fields.size());
}
BENCHMARK(EncodeShortFieldsIconv);

} // namespace

BENCHMARK_MAIN();

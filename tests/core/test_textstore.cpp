// Strings cut from a shared block must behave as any QString: independent
// values, safe to keep after the store is gone, changed without touching
// their neighbours.
#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <memory>
#include <random>

#include "common/cp932.h"
#include "common/textstore.h"

namespace {

TEST(TextStore, ChangingOneStringLeavesItsNeighboursAlone)
{
    // Each change runs on a string whose block also holds the string after
    // it, with the store still alive and after it is gone.
    using Change = void (*)(QString &);
    const Change changes[] = {
        [](QString &s) { s.append(u"XYZ"); },
        [](QString &s) { s.prepend(u"XYZ"); },
        [](QString &s) { s[0] = u'X'; },
        [](QString &s) { s.data()[1] = u'X'; },
        [](QString &s) { s.resize(s.size() + 40, u'X'); },
        [](QString &s) { s.chop(1), s.append(u'X'); },
        [](QString &s) { s.remove(0, 1), s.append(u"XX"); },
        [](QString &s) { s.replace(QStringLiteral("b"), QStringLiteral("XXXX")); },
        [](QString &s) { s.squeeze(), s.append(u'X'); },
        [](QString &s) { s.reserve(1000), s.append(u'X'); },
        [](QString &s) { s.insert(2, u"X"); },
    };
    for (int storeAlive = 0; storeAlive < 2; ++storeAlive) {
        for (size_t i = 0; i < std::size(changes); ++i) {
            SCOPED_TRACE(testing::Message() << "change " << i << " store alive " << storeAlive);
            auto store = std::make_unique<TextStore>();
            QString first = store->copy(u"abc");
            const QString second = store->copy(u"def");
            const QString copyOfFirst = first;
            if (!storeAlive)
                store.reset();
            changes[i](first);
            EXPECT_EQ(second, u"def");
            EXPECT_EQ(copyOfFirst, u"abc");
            EXPECT_NE(first, u"abc");
            EXPECT_EQ(second.utf16()[second.size()], 0);
        }
    }
}

TEST(TextStore, TheLastStringOfABlockMayGrowInPlace)
{
    QString last;
    {
        TextStore store;
        QString gone = store.copy(u"gone");
        last = store.copy(u"last");
    }
    // The only holder of the block: growing it is its own business.
    last.append(QString(100000, u'x'));
    EXPECT_EQ(last.size(), 100004);
    EXPECT_TRUE(last.startsWith(u"last"));
}

TEST(TextStore, StringsOutliveTheStoreAndTheirBlocks)
{
    QStringList kept;
    {
        TextStore store;
        // Enough strings for many blocks; keep every hundredth.
        for (int i = 0; i < 200000; ++i) {
            const QString s = store.copy(QString::number(i) + QStringLiteral("番地"));
            if (i % 100 == 0)
                kept.append(s);
        }
    }
    ASSERT_EQ(kept.size(), 2000);
    for (int i = 0; i < kept.size(); ++i)
        ASSERT_EQ(kept[i], QString::number(i * 100) + QStringLiteral("番地"));
}

TEST(TextStore, TextsOfEveryLengthAreWhole)
{
    // Around the long-text boundary and the block size; every string is
    // 0-terminated as QString promises to constData() users.
    TextStore store;
    QStringList made, expected;
    for (qsizetype n : {0, 1, 2, 7, 8, 9, 511, 512, 513, 2047, 2048, 2049, 5000, 32000, 40000}) {
        const QString text(n, QChar(char16_t(u'a' + n % 26)));
        expected.append(text);
        made.append(store.copy(text));
    }
    EXPECT_EQ(made, expected);
    for (const QString &s : made)
        EXPECT_EQ(s.constData()[s.size()], QChar(0));
    EXPECT_TRUE(store.copy(u"").isNull());
}

TEST(TextStore, RoomAskedForAndNotTakenIsForgotten)
{
    // A writer that stops half way (an exception, say) leaves room unused;
    // the next text must be its own whatever size the room was.
    for (qsizetype abandoned : {10, 3000}) {
        TextStore store;
        store.room(abandoned);
        char16_t *to = store.room(5);
        std::copy_n(u"abcde", 5, to);
        EXPECT_EQ(store.take(5), u"abcde");
    }
}

TEST(TextStore, DecodesAsTheTextLayerDoes)
{
    std::mt19937 random(7);
    TextStore store;
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(int(random() % 3000), Qt::Uninitialized);
        for (char &c : bytes)
            c = char(round % 2 ? random() % 0x80 : random());
        qsizetype lostStore = 0, lostLayer = 0;
        ASSERT_EQ(store.decodeCp932(bytes, &lostStore), cp932::decode(bytes, &lostLayer));
        ASSERT_EQ(lostStore, lostLayer);
    }
}

} // namespace

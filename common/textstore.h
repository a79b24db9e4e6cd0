#pragma once
// Strings for the millions of short texts a book holds, cut from large
// shared blocks instead of taking one heap block each.
//
// What a store hands out is an ordinary QString: it holds a reference to its
// block, so the block lives exactly as long as any string cut from it (the
// store itself may go first), copies share it for free, and a string that is
// changed gets storage of its own the way every QString does. Nothing about
// a string tells its user where it lives.
//
// A book of 900,000 strings then takes some 1,400 blocks instead of 900,000
// allocations: reading, freeing and the memory held all shrink with that.

#include <QByteArrayView>
#include <QString>
#include <QStringView>

class TextStore
{
public:
    TextStore() = default;
    TextStore(const TextStore &) = delete;
    TextStore &operator=(const TextStore &) = delete;

    // A string with the units of text (a null string for an empty one).
    QString copy(QStringView text);
    // The text of CP932 bytes; replaced as for cp932::decode.
    QString decodeCp932(QByteArrayView bytes, qsizetype *replaced = nullptr);

    // Room for at most units units, to be filled and then handed out with
    // take(n): a reader that writes a text in place. Room not taken before
    // the next room() is forgotten.
    char16_t *room(qsizetype units);
    QString take(qsizetype units);

    // Units of block storage taken so far (for measuring).
    qsizetype unitsTaken() const { return m_taken; }

private:
    // A text longer than this gets a string of its own: the block's slack
    // stays small, and a big memo does not pin a block.
    static constexpr qsizetype LongText = 2048;
    static constexpr qsizetype BlockUnits = 32768 - 16; // 64 KiB with the header

    QString::DataPointer m_block; // the store's own reference
    char16_t *m_next = nullptr;
    qsizetype m_left = 0;
    qsizetype m_taken = 0;
    QString m_long; // the string a long text is written into
};

#include "core/ndbfile.h"

#include "common/safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>
#include <new>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

#include "common/boundedread.h"
#include "common/cp932.h"
#include "common/oledate.h"
#include "common/textstore.h"

namespace {

// Smallest possible size of a card record (number, itemCount, no items), of
// an item (type, kind, one flag byte) and of a list entry (an L of 0).
constexpr qsizetype MinCardSize = 6;
constexpr qsizetype MinItemSize = 6;
constexpr qsizetype MinEntrySize = 4;
// Counts from the file are only checked against the bytes left, and a card
// or list entry in memory is larger than its smallest record; so space is
// reserved for at most this many before the records themselves are seen.
constexpr qsizetype MaxCardReserve = 65536;
constexpr qsizetype MaxEntryReserve = 4096;
// Card numbers are 16-bit, so a book holds at most this many cards, the
// system card included; a larger count can only come from a damaged file.
constexpr qint32 MaxCardCount = 65536;

QString versionMessage()
{
    return QStringLiteral("バージョンが違うか、Addressファイルではありません");
}

QString unknownTypeMessage(quint8 type)
{
    return QStringLiteral("未サポートのデータタイプです(") + QString::number(type, 16).toUpper()
        + QLatin1Char(')');
}

QString unknownKindMessage(qint32 kind)
{
    return QStringLiteral("未サポートの項目種別です(")
        + QString::number(quint32(kind), 16).toUpper() + QLatin1Char(')');
}

QString damagedMessage(qsizetype pos)
{
    return QStringLiteral("ファイルが壊れています(位置: %1)").arg(pos);
}

bool isKnownType(quint8 type)
{
    switch (ItemType(type)) {
    case ItemType::String:
    case ItemType::StringList:
    case ItemType::Date:
    case ItemType::Byte:
        return true;
    }
    return false;
}

// Reads an image front to back. Every read is preceded by a bounds check of
// the caller; counts and lengths from the file are checked against the bytes
// left before anything is sized by them.
class NdbParser
{
public:
    explicit NdbParser(QByteArrayView image)
        : m_data(image.data()), m_size(image.size())
    {
    }

    // The image is the reader's own copy of a file, read by nothing after
    // the parse: the pages the parse has passed are given back to the
    // system as it goes, so that the file's bytes and its cards are never
    // all held at once (a full book's file is half the size of its cards).
    void releaseWhatIsRead() { m_releaseRead = true; }

    // False on failure; message() then holds what to show ("" when cancelled).
    bool parse(AddressBook &book, const Progress &progress)
    {
        if (m_size < 8 || quint8(m_data[0]) != 0x35 || quint8(m_data[1]) != 0x12)
            return fail(versionMessage());
        book.signature = u16();
        book.cardCounter = qint16(u16());
        const qsizetype countPos = m_pos;
        const qint32 cardCount = i32();
        if (cardCount <= 0 || cardCount > MaxCardCount || cardCount > left() / MinCardSize)
            return fail(damagedMessage(countPos));
        if (!spend(qint64(cardCount) * qint64(sizeof(Card))))
            return false;

        book.cards.clear();
        book.cards.reserve(qMin<qsizetype>(cardCount, MaxCardReserve));
        for (qint32 i = 0; i < cardCount; ++i) {
            if (!keepGoing(progress, i, cardCount))
                return fail(QString());
            Card &card = book.cards.emplaceBack(Card::zeroed());
            if (!readCard(card))
                return false;
            if (m_releaseRead)
                releaseRead();
        }
        return true;
    }

    const QString &message() const { return m_message; }
    // After a parse: the bytes after the last card.
    qsizetype bytesLeft() const { return left(); }

private:
    qsizetype left() const { return m_size - m_pos; }

    // Drops the whole pages between the last release and the read position.
    // The memory stays the image's: a page touched again would read as
    // zeros, but the parser never goes back. Released in steps of 2 MiB on
    // 2 MiB boundaries, so that a buffer on huge pages is not split, except
    // in the last stretch: the book is nearly whole there, and what is left
    // of the image is the peak's margin.
    void releaseRead()
    {
        static const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
        const quintptr step = left() > 2 * ReleaseStep ? quintptr(ReleaseStep) : page;
        const quintptr from = (quintptr(m_data + m_released) + step - 1) / step * step;
        const quintptr to = quintptr(m_data + m_pos) / step * step;
        if (to > from) {
            madvise(reinterpret_cast<void *>(from), to - from, MADV_DONTNEED);
            m_released = qsizetype(to - quintptr(m_data));
        }
    }

    // What a decoded text of length bytes takes on the heap: the string's
    // header and at most one UTF-16 unit per byte, as the allocator rounds it.
    static qint64 textCost(qsizetype length)
    {
        return (16 + 2 * (qint64(length) + 1) + 8 + 15) / 16 * 16;
    }
    // Counts memory the cards will take against the budget; false (with a
    // message) once a file would take more than its image can justify.
    bool spend(qint64 bytes)
    {
        m_budget -= bytes;
        return m_budget >= 0 || fail(outOfMemoryMessage());
    }

    bool fail(const QString &message)
    {
        m_message = message;
        return false;
    }
    bool damaged(qsizetype pos) { return fail(damagedMessage(pos)); }

    quint8 u8() { return quint8(m_data[m_pos++]); }
    quint16 u16()
    {
        const auto v = qFromLittleEndian<quint16>(m_data + m_pos);
        m_pos += 2;
        return v;
    }
    qint32 i32()
    {
        const auto v = qFromLittleEndian<qint32>(m_data + m_pos);
        m_pos += 4;
        return v;
    }
    double f64()
    {
        const auto bits = qFromLittleEndian<quint64>(m_data + m_pos);
        m_pos += 8;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

    // One string payload: L, then L bytes of which the last is the
    // terminating 0. Sets text to the L-1 bytes before it (empty when L < 2).
    bool readStringBytes(QByteArrayView &text)
    {
        if (left() < 4)
            return damaged(m_pos);
        const qsizetype lengthPos = m_pos;
        const qint32 length = i32();
        if (length < 0 || length > left())
            return damaged(lengthPos);
        text = length >= 2 ? QByteArrayView(m_data + m_pos, length - 1) : QByteArrayView();
        m_pos += length;
        return true;
    }

    bool readString(QString &value)
    {
        QByteArrayView text;
        if (!readStringBytes(text))
            return false;
        if (!text.isEmpty() && !spend(textCost(text.size())))
            return false;
        value = m_text.decodeCp932(text);
        return true;
    }

    // A list payload: N, then N strings. Empty entries are dropped.
    bool readList(QStringList &list)
    {
        if (left() < 4)
            return damaged(m_pos);
        const qsizetype countPos = m_pos;
        const qint32 count = i32();
        if (count < 0 || count > left() / MinEntrySize)
            return damaged(countPos);
        list.clear();
        list.reserve(qMin<qsizetype>(count, MaxEntryReserve));
        for (qint32 i = 0; i < count; ++i) {
            QByteArrayView text;
            if (!readStringBytes(text))
                return false;
            if (text.isEmpty())
                continue;
            if (!spend(qint64(sizeof(QString)) + textCost(text.size())))
                return false;
            list.append(m_text.decodeCp932(text));
        }
        if (list.size() < count)
            list.squeeze();
        return true;
    }

    bool readItem(Card &card)
    {
        const qsizetype itemPos = m_pos;
        if (left() < 5)
            return damaged(itemPos);
        const quint8 type = u8();
        const qint32 kind = i32();
        if (!isKnownType(type))
            return fail(unknownTypeMessage(type));
        if (kind < 0 || kind >= CardItemKindCount)
            return fail(unknownKindMessage(kind));
        if (itemTypeOf(kind) != ItemType(type))
            return damaged(itemPos);

        switch (ItemType(type)) {
        case ItemType::String:
            return readString(*card.stringField(kind));
        case ItemType::StringList:
            return readList(*card.listField(kind));
        case ItemType::Date: {
            if (left() < 8)
                return damaged(m_pos);
            const double v = f64();
            *card.dateField(kind) = isShowableDate(v) ? v : NoDate;
            return true;
        }
        case ItemType::Byte:
            if (left() < 1)
                return damaged(m_pos);
            *card.flagField(kind) = u8();
            return true;
        }
        return damaged(itemPos);
    }

    bool readCard(Card &card)
    {
        if (left() < MinCardSize)
            return damaged(m_pos);
        card.number = qint32(u16());
        const qsizetype countPos = m_pos;
        card.itemCount = i32();
        if (card.itemCount < 0 || card.itemCount > left() / MinItemSize)
            return damaged(countPos);
        for (qint32 i = 0; i < card.itemCount; ++i)
            if (!readItem(card))
                return false;
        return true;
    }

    static constexpr qsizetype ReleaseStep = 2 * MiB;

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_releaseRead = false;
    qsizetype m_released = 0;
    // Reading needs at most four times the file's size and 64 MiB: the
    // image itself, and at most three times its size and 48 MiB for the
    // cards (the rest is left for what the estimate does not see). Only a
    // file of millions of tiny texts comes near it.
    qint64 m_budget = 3 * qint64(m_size) + 48 * MiB;
    QString m_message;
    // The cards' texts, cut from shared blocks.
    TextStore m_text;
};

// Number of items a card is written with: kinds 0 .. n-1, never beyond the
// last kind, so that whatever the book holds the file stays readable.
int writtenItemCount(const Card &card)
{
    return qBound(0, card.itemCount, CardItemKindCount);
}

// The size of a card's record when each string takes stringSize(s) bytes
// with its length and its terminating zero.
template <typename StringSize>
qint64 cardSizeWith(const Card &card, StringSize stringSize)
{
    qint64 size = MinCardSize;
    const int items = writtenItemCount(card);
    for (int kind = 0; kind < items; ++kind) {
        size += 5;
        switch (itemTypeOf(kind)) {
        case ItemType::String:
            size += stringSize(*card.stringField(kind));
            break;
        case ItemType::StringList:
            size += 4;
            for (const QString &s : *card.listField(kind))
                size += stringSize(s);
            break;
        case ItemType::Date:
            size += 8;
            break;
        case ItemType::Byte:
            size += 1;
            break;
        }
    }
    return size;
}

qint64 cardSize(const Card &card)
{
    return cardSizeWith(card, [](QStringView s) { return 4 + cp932::encodedLength(s) + 1; });
}

// At least the card's size, from the strings' lengths alone: no character
// takes more than two bytes.
qint64 cardSizeBound(const Card &card)
{
    return cardSizeWith(card, [](QStringView s) { return 4 + 2 * s.size() + 1; });
}

// Writes into a buffer at least as large as the image (see cardSizeBound).
class NdbWriter
{
public:
    explicit NdbWriter(QByteArray &image)
        : m_p(image.data()), m_end(image.data() + image.size())
    {
    }

    // Characters written as "?" so far.
    qsizetype replaced() const { return m_replaced; }

    void u8(quint8 v)
    {
        room(1);
        *m_p++ = char(v);
    }
    void u16(quint16 v)
    {
        room(2);
        qToLittleEndian(v, m_p);
        m_p += 2;
    }
    void i32(qint32 v)
    {
        room(4);
        qToLittleEndian(v, m_p);
        m_p += 4;
    }
    void f64(double v)
    {
        room(8);
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        qToLittleEndian(bits, m_p);
        m_p += 8;
    }
    void string(QStringView s)
    {
        // Encoded in place; its length, known only then, goes before it.
        room(4 + 2 * s.size() + 1);
        char *const length = m_p;
        char *const end = cp932::encodeTo(s, m_p + 4, &m_replaced);
        qToLittleEndian(qint32(end - (m_p + 4) + 1), length);
        m_p = end;
        *m_p++ = 0;
    }

    qsizetype written(const QByteArray &image) const { return m_p - image.constData(); }

private:
    void room(qsizetype n)
    {
        // The room is computed beforehand from the same book; running past
        // it would be a programming error, never a property of the data.
        if (Q_UNLIKELY(n > m_end - m_p))
            qFatal("address book image larger than its computed bound");
    }

    char *m_p;
    char *m_end;
    qsizetype m_replaced = 0;
};

void writeCard(NdbWriter &out, const Card &card)
{
    const int items = writtenItemCount(card);
    out.u16(quint16(card.number));
    out.i32(items);
    for (int kind = 0; kind < items; ++kind) {
        const ItemType type = itemTypeOf(kind);
        out.u8(quint8(type));
        out.i32(kind);
        switch (type) {
        case ItemType::String:
            out.string(*card.stringField(kind));
            break;
        case ItemType::StringList: {
            const QStringList &list = *card.listField(kind);
            out.i32(qint32(list.size()));
            for (const QString &s : list)
                out.string(s);
            break;
        }
        case ItemType::Date:
            out.f64(*card.dateField(kind));
            break;
        case ItemType::Byte:
            out.u8(*card.flagField(kind));
            break;
        }
    }
}

} // namespace

qint64 ndbFileSize(const AddressBook &book)
{
    qint64 size = 8;
    for (const Card &card : book.cards)
        size += cardSize(card);
    return size;
}

std::optional<QByteArray> buildNdbImage(const AddressBook &book, const Progress &progress,
                                        CharacterLoss *replaced)
{
    qint64 bound = 8;
    for (const Card &card : book.cards)
        bound += cardSizeBound(card);
    QByteArray image(bound, Qt::Uninitialized);
    NdbWriter out(image);
    const qint64 cardCount = book.cards.size();
    out.u16(book.signature);
    out.u16(quint16(book.cardCounter));
    out.i32(qint32(cardCount));
    for (qint64 i = 0; i < cardCount; ++i) {
        if (!keepGoing(progress, i, cardCount))
            return std::nullopt;
        const qsizetype before = out.replaced();
        writeCard(out, book.cards[i]);
        if (Q_UNLIKELY(out.replaced() != before) && replaced) {
            const qsizetype lost = out.replaced() - before;
            if (i == 0)
                replaced->addGroupList(lost);
            else
                replaced->add(book.cards[i], lost);
        }
    }
    image.truncate(out.written(image));
    return image;
}

namespace {

int parseImage(QByteArrayView image, bool ownImage, AddressBook &book, Prompter &prompter,
               const Progress &progress)
{
    try {
        AddressBook parsed;
        NdbParser parser(image);
        if (ownImage)
            parser.releaseWhatIsRead();
        if (!parser.parse(parsed, progress)) {
            if (!parser.message().isEmpty())
                prompter.notice(parser.message());
            return -1;
        }
        parsed.trailingBytes = parser.bytesLeft();
        book = std::move(parsed);
    } catch (const std::bad_alloc &) {
        prompter.notice(outOfMemoryMessage());
        return -1;
    } catch (const std::length_error &) {
        prompter.notice(outOfMemoryMessage());
        return -1;
    }
    return 0;
}

} // namespace

int parseNdbImage(QByteArrayView image, AddressBook &book, Prompter &prompter,
                  const Progress &progress)
{
    return parseImage(image, false, book, prompter, progress);
}

QString trailingBytesMessage(qint64 bytes)
{
    return QStringLiteral("ファイルの最後のカードの後に %1 バイトのデータがあります。"
                          "このデータは読み込まれず、保存しても残りません。")
        .arg(bytes);
}

int readNdbFile(const QString &path, AddressBook &book, Prompter &prompter,
                const Progress &progress)
{
    QByteArray image;
    if (const ReadFault fault = readRegularFile(path, MaxBookFileSize, image);
        fault != ReadFault::None) {
        prompter.notice(importReadFaultMessage(fault, MaxBookFileSize));
        return -1;
    }
    // The image is dropped page by page as it is read (see NdbParser).
    const QByteArrayView bytes(std::as_const(image).data(), image.size());
    const int result = parseImage(bytes, true, book, prompter, progress);
    image.clear();
    return result;
}

int writeNdbFile(const QString &path, const AddressBook &book, Prompter &prompter,
                 const Progress &progress, bool trashOld)
{
    CharacterLoss replaced;
    const std::optional<QByteArray> image = buildNdbImage(book, progress, &replaced);
    if (!image)
        return -1;

    const QString shown = QDir::toNativeSeparators(path);
    SafeSaveOptions options;
    options.trashOld = trashOld;
    SaveFailure failure = SaveFailure::None;
    if (saveFileSafely(path, *image, options, &failure) == 0) {
        replaced.report(prompter);
        return 0;
    }
    if (const QString refused = saveRefusedMessage(failure, shown); !refused.isEmpty())
        prompter.notice(refused);
    else if (failure != SaveFailure::Cancelled)
        prompter.notice(shown + QStringLiteral(" の書き込みに失敗しました。"));
    return -1;
}

#pragma once
// The in-memory image of a Corvid address book: a short header and the cards
// in file order. Index 0 is always the system card, whose names are the
// book's group list; every search, count and bulk operation starts at 1.

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "common/datevalue.h"

// Flag byte values of the two auto-record flags.
inline constexpr quint8 FlagOn = 10;
inline constexpr quint8 FlagOff = 0;
inline constexpr quint8 FlagUnset = 255; // replaced when the card is added

// The numbers under which the file stores a card's fields.
enum CardItemKind : int {
    KindIds = 0,
    KindNames = 1,
    KindPostalCode = 2,
    KindAddress = 3,
    KindTelephone = 4,
    KindFax = 5,
    KindBirthday = 6,
    KindGroups = 7,
    KindMemo = 8,
    KindProfile = 9,
    KindExchangeRecords = 10,
    KindRemarkRecords = 11,
    KindExchangeAutoRecord = 12,
    KindRemarkAutoRecord = 13,
    KindMobile = 14,
    KindPager = 15,
    KindCreated = 16,
    KindUpdated = 17,
    KindMailLog = 18,
};
inline constexpr int CardItemKindCount = 19;

// The data type each kind is stored with.
enum class ItemType : quint8 { String = 1, StringList = 2, Date = 3, Byte = 5 };
ItemType itemTypeOf(int kind);

struct Card
{
    qint32 number = -1;
    qint32 itemCount = CardItemKindCount;
    QStringList ids;
    QStringList names;
    QString postalCode;
    QString address;
    QString telephone;
    QString fax;
    DateValue birthday = NoDate;
    QStringList groups;
    QString memo;             // lines separated by CR LF
    QStringList profile;      // "title\tvalue"
    quint8 exchangeAutoRecord = FlagOn;
    quint8 remarkAutoRecord = FlagOff;
    QString mobile;
    QString pager;
    DateValue created = NoDate;
    DateValue updated = NoDate;
    QStringList mailLog;
    QStringList exchangeRecords;
    QStringList remarkRecords;
    qint32 status = 0; // last validation result; never stored

    // A new card: number -1, 19 items, empty fields, NoDate dates, flags 10/0.
    static Card newCard() { return Card(); }
    // The system card: number 0, two items (IDs, group names).
    static Card newSystemCard();
    // What the reader starts from: every field zero (dates 0.0, flags 0),
    // so kinds a short record lacks keep zero values.
    static Card zeroed();

    // The string field stored under a string kind (2-5, 8, 14, 15).
    QString *stringField(int kind);
    const QString *stringField(int kind) const;
    // The list field stored under a list kind (0, 1, 7, 9, 10, 11, 18).
    QStringList *listField(int kind);
    const QStringList *listField(int kind) const;
    // The date field stored under a date kind (6, 16, 17).
    DateValue *dateField(int kind);
    const DateValue *dateField(int kind) const;
    // The flag byte stored under kind 12 or 13.
    quint8 *flagField(int kind);
    const quint8 *flagField(int kind) const;

    bool operator==(const Card &) const = default;
};
// Its members are Qt's implicitly shared strings and plain values: a list of
// cards grows by moving bytes, not card by card.
Q_DECLARE_TYPEINFO(Card, Q_RELOCATABLE_TYPE);

// The host's capacity limits; a card reaching one is flagged, not truncated.
struct CardLimits
{
    int ids = 100;
    int names = 100;
    int profile = 100;
    int mailLog = 1000;
    int exchangeRecords = 1000;
    int remarkRecords = 1000;
    int text = 10000;

    bool operator==(const CardLimits &) const = default;
};

struct AddressBook
{
    static constexpr quint16 Signature = 0x1235;

    quint16 signature = Signature;
    // The number the next added card receives. Stored in 16 bits in the
    // file; all arithmetic on it is done in 32 bits.
    qint32 cardCounter = 1;
    QList<Card> cards{Card::newSystemCard()};
    // The bytes that followed the last card in the address book file this
    // book was read from: part of no card, so never written. 0 for a book
    // from anywhere else.
    qint64 trailingBytes = 0;

    // A new, empty book: counter 1 and only the system card.
    static AddressBook newBook() { return AddressBook(); }

    qsizetype cardCount() const { return cards.size(); }
    Card &systemCard() { return cards[0]; }
    const Card &systemCard() const { return cards[0]; }
    // The group list: the names of the system card.
    QStringList &groupList() { return cards[0].names; }
    const QStringList &groupList() const { return cards[0].names; }

    bool operator==(const AddressBook &) const = default;
};

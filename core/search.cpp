#include "core/search.h"

#include <QSet>

#include "common/oledate.h"

QString anyValueWord()
{
    return QStringLiteral("《任意の値》");
}

namespace {

bool anyContains(const QStringList &values, const QString &word)
{
    for (const QString &v : values)
        if (v.contains(word))
            return true;
    return false;
}

bool matches(const Card &c, int field, const QString &word)
{
    switch (field) {
    case SearchIds: return anyContains(c.ids, word);
    case SearchNames: return anyContains(c.names, word);
    case SearchGroups: return anyContains(c.groups, word);
    case SearchPhones:
        return c.telephone.contains(word) || c.fax.contains(word) || c.mobile.contains(word)
            || c.pager.contains(word);
    case SearchAddress: return c.postalCode.contains(word) || c.address.contains(word);
    case SearchBirthYear:
    case SearchBirthMonth:
    case SearchBirthDay: {
        if (c.birthday == NoDate)
            return false;
        const QDate d = oleToDate(c.birthday);
        if (!d.isValid())
            return false;
        const int v = field == SearchBirthYear ? d.year()
                      : field == SearchBirthMonth ? d.month() : d.day();
        return QString::number(v).contains(word);
    }
    case SearchMemo: return c.memo.contains(word);
    default: return true;
    }
}

} // namespace

QList<qint32> searchCards(const AddressBook &book, int field, const QString &word)
{
    QList<qint32> out;
    out.reserve(book.cardCount());
    const bool everyCard = field <= SearchAll || field > SearchMemo
                           || (field >= SearchIds && (word.isEmpty() || word == anyValueWord()));
    for (qsizetype i = 1; i < book.cardCount(); ++i) {
        const Card &c = book.cards[i];
        if (everyCard || (field == SearchBadCards ? c.status != 0 : matches(c, field, word)))
            out.append(c.number);
    }
    return out;
}

void displayListAdd(QList<qint32> &list, qint32 number)
{
    if (!list.contains(number))
        list.append(number);
}

void displayListRemove(QList<qint32> &list, qint32 number)
{
    list.removeAll(number);
}

void displayListRemove(QList<qint32> &list, const QSet<qint32> &numbers)
{
    list.removeIf([&](qint32 n) { return numbers.contains(n); });
}

void displayListDropVanished(QList<qint32> &list, const AddressBook &book)
{
    QSet<qint32> present;
    present.reserve(book.cardCount());
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        present.insert(book.cards[i].number);
    list.removeIf([&](qint32 n) { return !present.contains(n); });
}

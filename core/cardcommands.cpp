#include "core/cardcommands.h"

#include "core/cardops.h"
#include "core/validation.h"

QString selectionQuestion(qsizetype lines, qsizetype cards, const QString &rest)
{
    return QStringLiteral("選択された ") + QString::number(lines) + QStringLiteral(" 項目（")
         + QString::number(cards) + rest;
}

QString deleteQuestion(qsizetype lines, qsizetype cards)
{
    return selectionQuestion(lines, cards, QStringLiteral(" 枚のカード）を削除して宜しいですか？"));
}

QString combineQuestion(qsizetype lines, qsizetype cards)
{
    return selectionQuestion(lines, cards, QStringLiteral(" 枚のカード）を統合しますか？"));
}

qint32 combineTarget(const AddressBook &book, const QList<qint32> &numbers)
{
    qint32 target = -1;
    DateValue latest = 0;
    for (qint32 n : numbers) { // ascending: the lowest number wins a tie
        const int index = findCardByNumber(book, n);
        if (index < 1)
            continue;
        const DateValue updated = book.cards[index].updated;
        if (target < 0 || updated > latest) {
            target = n;
            latest = updated;
        }
    }
    return target;
}

qint32 combineCards(AddressBook &book, const QList<qint32> &numbers, const CardLimits &limits)
{
    QList<qint32> others;
    for (qint32 n : numbers)
        if (findCardByNumber(book, n) >= 1 && !others.contains(n))
            others.append(n);
    if (others.size() < 2)
        return -1;
    const qint32 target = combineTarget(book, others);
    others.removeOne(target);
    mergeCardsIntoOne(target, others, book);
    deleteCards(others, book);
    Card &merged = book.cards[findCardByNumber(book, target)];
    merged.status = validateCard(merged, book.groupList(), limits);
    return target;
}

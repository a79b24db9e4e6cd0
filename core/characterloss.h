#pragma once
// Characters a writer put down as "?" because CP932 has no form for them,
// gathered card by card so that the user learns how many and where.
//
// The writers count while they encode (cp932::encode's counter), which
// costs nothing while every character has a form; only when something was
// replaced do they find the cards, and then tell the user through
// Prompter::lossNotice once the file is written.

#include <QList>
#include <QString>
#include <functional>

#include "core/model.h"

class Prompter;

class CharacterLoss
{
public:
    // How many cards the message names before it only counts the rest.
    static constexpr int NamedCards = 10;

    // count characters of card (one of cards 1 ..) were replaced; a count
    // of 0 adds nothing.
    void add(const Card &card, qsizetype count);
    // count characters of the system card (the group list) were replaced.
    void addGroupList(qsizetype count);
    // Characters replaced outside the cards' text.
    void addElsewhere(qsizetype count);

    qsizetype total() const { return m_total; }
    // Number of cards (the system card not counted) added with a count above 0.
    qsizetype cardCount() const { return m_cardCount; }
    bool isEmpty() const { return m_total == 0; }

    // "保存できない文字を「?」に置き換えました: 3 文字 (カード番号 3 山田, 17 ほか 2 枚)":
    // the total, then "グループ一覧" when the group list lost characters,
    // then up to NamedCards cards by number and first name.
    QString message() const;

    // prompter.lossNotice(message()) when anything was replaced.
    void report(Prompter &prompter) const;

    // After a text of the book was encoded with `replaced` characters
    // written as "?": asks replacedIn(index) for every card index (0, the
    // system card, included) how many of them its text holds; whatever
    // remains of `replaced` counts as elsewhere. Only called when replaced
    // is above 0, so the fast path never scans the text.
    static CharacterLoss byCard(const AddressBook &book, qsizetype replaced,
                                const std::function<qsizetype(qsizetype index)> &replacedIn);

private:
    struct Named
    {
        qint32 number;
        QString firstName;
    };
    QList<Named> m_named;
    qsizetype m_cardCount = 0;
    qsizetype m_total = 0;
    bool m_groupList = false;
};

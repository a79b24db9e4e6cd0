#include "core/characterloss.h"

#include "common/prompter.h"
#include "common/textwidth.h"

namespace {
// Columns of a first name in the message.
constexpr int NameWidth = 20;
} // namespace

void CharacterLoss::add(const Card &card, qsizetype count)
{
    if (count <= 0)
        return;
    m_total += count;
    ++m_cardCount;
    if (m_named.size() < NamedCards)
        m_named.append({card.number, cutWidth(card.names.value(0), NameWidth)});
}

void CharacterLoss::addGroupList(qsizetype count)
{
    if (count <= 0)
        return;
    m_total += count;
    m_groupList = true;
}

void CharacterLoss::addElsewhere(qsizetype count)
{
    if (count > 0)
        m_total += count;
}

QString CharacterLoss::message() const
{
    QString text = QStringLiteral("保存できない文字を「?」に置き換えました: ")
        + QString::number(m_total) + QStringLiteral(" 文字");
    QStringList parts;
    if (m_groupList)
        parts << QStringLiteral("グループ一覧");
    for (qsizetype i = 0; i < m_named.size(); ++i) {
        const Named &n = m_named[i];
        QString part = i == 0 ? QStringLiteral("カード番号 ") : QString();
        part += QString::number(n.number);
        if (!n.firstName.isEmpty())
            part += u' ' + n.firstName;
        parts << part;
    }
    if (parts.isEmpty())
        return text;
    text += QStringLiteral(" (") + parts.join(QStringLiteral(", "));
    if (m_cardCount > m_named.size())
        text += QStringLiteral(" ほか ") + QString::number(m_cardCount - m_named.size())
            + QStringLiteral(" 枚");
    return text + u')';
}

void CharacterLoss::report(Prompter &prompter) const
{
    if (!isEmpty())
        prompter.lossNotice(message());
}

CharacterLoss CharacterLoss::byCard(const AddressBook &book, qsizetype replaced,
                                    const std::function<qsizetype(qsizetype index)> &replacedIn)
{
    CharacterLoss loss;
    if (book.cardCount() > 0)
        loss.addGroupList(replacedIn(0));
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        loss.add(book.cards[i], replacedIn(i));
    loss.addElsewhere(replaced - loss.total());
    return loss;
}

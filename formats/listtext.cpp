#include "formats/listtext.h"
#include "common/textwidth.h"

#include "common/cp932.h"
#include "common/oledate.h"
#include "core/cardops.h"
#include "common/readbudget.h"
#include "formats/fileprocs.h"
#include "formats/importreport.h"

namespace {

constexpr QStringView Colon = u"：";
constexpr QStringView CrLf = u"\r\n";
constexpr QStringView On = u"する";
constexpr QStringView Off = u"しない";

// Labels, in the order a card's lines are written.
constexpr QStringView LabelIds = u"ID";
constexpr QStringView LabelNames = u"名前";
constexpr QStringView LabelPostalCode = u"郵便番号";
constexpr QStringView LabelAddress = u"住所";
constexpr QStringView LabelTelephone = u"電話番号";
constexpr QStringView LabelFax = u"FAX番号";
constexpr QStringView LabelMobile = u"携帯電話";
constexpr QStringView LabelPager = u"ポケベル";
constexpr QStringView LabelBirthday = u"誕生日";
constexpr QStringView LabelGroups = u"グループ";
constexpr QStringView LabelMemo = u"メモ";
constexpr QStringView LabelProfile = u"プロフィール";
constexpr QStringView LabelMailLog = u"送受信簿";
constexpr QStringView LabelExchangeAuto = u"交流記録の自動記録";
constexpr QStringView LabelExchange = u"交流記録";
constexpr QStringView LabelRemarkAuto = u"発言記録の自動記録";
constexpr QStringView LabelRemark = u"発言記録";
constexpr QStringView LabelCreated = u"作成日時";
constexpr QStringView LabelUpdated = u"更新日時";

constexpr QStringView LabelCounter = u"カウンタ";
constexpr QStringView LabelCount = u"登録数";

void line(QString &out, QStringView label, QStringView value)
{
    out += label;
    out += Colon;
    out += value;
    out += CrLf;
}

void numberedLine(QString &out, QStringView label, qsizetype index, QStringView value)
{
    out += label;
    out += QString::number(index);
    out += Colon;
    out += value;
    out += CrLf;
}

void numbered(QString &out, QStringView label, const QStringList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        numberedLine(out, label, i + 1, values[i]);
}

void single(QString &out, QStringView label, const QString &value)
{
    if (!value.isEmpty())
        line(out, label, value);
}

void date(QString &out, QStringView label, DateValue value, bool withTime)
{
    if (value == NoDate)
        return;
    const QString text = withTime ? DateTimeText(value) : DateText(value);
    if (!text.isEmpty())
        line(out, label, text);
}

// "[000012]" followed by 60 dashes; the number has at least six digits.
void cardHeader(QString &out, qint32 number)
{
    out += u'[';
    if (number < 0)
        out += u'-';
    out += QStringLiteral("%1").arg(qAbs(qint64(number)), 6, 10, QLatin1Char('0'));
    out += u']';
    out += QString(60, u'-');
    out += CrLf;
}

void cardText(QString &out, const Card &c)
{
    cardHeader(out, c.number);
    numbered(out, LabelIds, c.ids);
    numbered(out, LabelNames, c.names);
    single(out, LabelPostalCode, c.postalCode);
    single(out, LabelAddress, c.address);
    single(out, LabelTelephone, c.telephone);
    single(out, LabelFax, c.fax);
    single(out, LabelMobile, c.mobile);
    single(out, LabelPager, c.pager);
    date(out, LabelBirthday, c.birthday, false);
    numbered(out, LabelGroups, c.groups);
    if (!c.memo.isEmpty()) {
        // One line per memo line; a final empty piece (the memo ended with
        // CR LF) is not written.
        const QStringView memo(c.memo);
        qsizetype pos = 0, index = 0;
        while (pos < memo.size()) {
            qsizetype end = memo.indexOf(CrLf, pos);
            if (end < 0)
                end = memo.size();
            numberedLine(out, LabelMemo, ++index, memo.mid(pos, end - pos));
            pos = end + CrLf.size();
        }
    }
    numbered(out, LabelProfile, c.profile);
    numbered(out, LabelMailLog, c.mailLog);
    line(out, LabelExchangeAuto, c.exchangeAutoRecord != 0 ? On : Off);
    numbered(out, LabelExchange, c.exchangeRecords);
    line(out, LabelRemarkAuto, c.remarkAutoRecord != 0 ? On : Off);
    numbered(out, LabelRemark, c.remarkRecords);
    date(out, LabelCreated, c.created, true);
    date(out, LabelUpdated, c.updated, true);
}


// The key of a "key：value" line: spaces around it removed, then every
// trailing digit (ID12 -> ID).
QStringView lineKey(QStringView beforeColon)
{
    QStringView key = trimSpaces(beforeColon);
    while (!key.isEmpty() && key.back() >= u'0' && key.back() <= u'9')
        key.chop(1);
    return key;
}

bool isCardHeader(QStringView line)
{
    return line.startsWith(u'[') && line.indexOf(u"]----", 2) >= 0;
}

// Applies one line to the card; false when the line could not be read
// (a key the format does not have, a date that is none).
bool applyToCard(Card &c, QStringView key, QStringView value)
{
    if (key == LabelIds)
        c.ids.append(value.toString());
    else if (key == LabelNames)
        c.names.append(value.toString());
    else if (key == LabelGroups)
        c.groups.append(value.toString());
    else if (key == LabelProfile)
        c.profile.append(value.toString());
    else if (key == LabelMailLog)
        c.mailLog.append(value.toString());
    else if (key == LabelExchange)
        c.exchangeRecords.append(value.toString());
    else if (key == LabelRemark)
        c.remarkRecords.append(value.toString());
    else if (key == LabelPostalCode)
        c.postalCode = value.toString();
    else if (key == LabelAddress)
        c.address = value.toString();
    else if (key == LabelTelephone)
        c.telephone = value.toString();
    else if (key == LabelFax)
        c.fax = value.toString();
    else if (key == LabelMobile)
        c.mobile = value.toString();
    else if (key == LabelPager)
        c.pager = value.toString();
    else if (key == LabelBirthday || key == LabelCreated || key == LabelUpdated) {
        DateValue v;
        if (!parseDateText(value, v))
            return trimSpaces(value).isEmpty(); // no date: only an empty one loses nothing
        if (key == LabelBirthday)
            c.birthday = oleFromDate(oleToDate(v)); // a birthday has no time of day
        else
            (key == LabelCreated ? c.created : c.updated) = v;
    } else if (key == LabelMemo) {
        c.memo += value;
        c.memo += CrLf;
    } else if (key == LabelExchangeAuto)
        c.exchangeAutoRecord = value == On ? FlagOn : FlagOff;
    else if (key == LabelRemarkAuto)
        c.remarkAutoRecord = value == On ? FlagOn : FlagOff;
    else
        return false;
    return true;
}

bool isBlank(QStringView line)
{
    for (QChar c : line)
        if (c != u' ' && c != u'\t' && c != u'\u3000')
            return false;
    return true;
}

} // namespace

QString listFileText(const AddressBook &book, const QDateTime &now, const Progress &progress,
                     bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    const qsizetype cards = book.cardCount() - 1;
    TextAccumulator acc;

    QString text;
    text += QString(60, u'=');
    text += now.toString(u"yyyy/MM/dd HH:mm:ss");
    text += CrLf;
    line(text, LabelCounter, QString::number(book.cardCounter));
    line(text, LabelCount, QString::number(cards));
    numbered(text, LabelGroups, book.groupList());
    bool flushed = acc.append(text);

    for (qsizetype i = 1; i <= cards; ++i) {
        if (flushed && !keepGoing(progress, i - 1, cards)) {
            if (cancelled)
                *cancelled = true;
            return QString();
        }
        text.resize(0);
        cardText(text, book.cards[i]);
        flushed = acc.append(text);
    }
    if (flushed && !keepGoing(progress, cards, cards)) {
        if (cancelled)
            *cancelled = true;
        return QString();
    }
    return acc.take();
}

int ListFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                  const Progress &progress, bool trashOld)
{
    bool cancelled = false;
    const QString text = listFileText(book, QDateTime::currentDateTime(),
                                      progressPart(progress, 0, TextBuildPercent), &cancelled);
    if (cancelled)
        return -1;
    qsizetype replaced = 0;
    if (writeTextFileSafely(path, text, prompter,
                            progressPart(progress, TextBuildPercent, 100), trashOld, &replaced) != 0)
        return -1;
    reportReplacedCharacters(book, replaced, [&](qsizetype index) {
        QString part;
        if (index == 0)
            numbered(part, LabelGroups, book.groupList());
        else
            cardText(part, book.cards[index]);
        return cp932::unencodableCount(part);
    }, prompter);
    return 0;
}

bool parseListText(QStringView text, AddressBook &book, const Progress &progress, int *leftOut,
                   ImportReport *report)
{
    book = AddressBook::newBook();
    int dropped = 0;
    qsizetype skipped = 0;
    if (leftOut)
        *leftOut = 0;
    // The card the lines apply to: none before the first card header, and
    // none after a header whose card did not fit under the counter's limit.
    qsizetype current = -1;
    bool begun = false;
    bool stopped = false;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype end = text.indexOf(CrLf, pos);
        if (end < 0) {
            // Text after the last CR LF is not a line: it is lost.
            if (!isBlank(text.sliced(pos)))
                ++skipped;
            break;
        }
        const QStringView ln = text.mid(pos, end - pos);
        const qsizetype start = pos;
        pos = end + CrLf.size();

        const qsizetype colon = ln.indexOf(Colon);
        if (colon < 0) {
            if (!isCardHeader(ln)) {
                // The title line and blank lines say nothing; other text
                // (the rest of a value that held a line break) is lost.
                if ((begun ? current > 0 : !ln.startsWith(u'=')) && !isBlank(ln))
                    ++skipped;
                continue;
            }
            if (!keepGoing(progress, start, text.size())) {
                if (current > 0) { // the card in progress is dropped
                    book.cards.removeLast();
                    --book.cardCounter;
                }
                stopped = true;
                break;
            }
            begun = true;
            if (book.cardCounter >= MaxCardCounter) {
                ++dropped;
                current = -1;
                continue;
            }
            ReadBudget::chargeBytes(sizeof(Card));
            Card c = Card::newCard();
            c.number = book.cardCounter++;
            book.cards.append(std::move(c));
            current = book.cards.size() - 1;
            continue;
        }

        const QStringView key = lineKey(ln.first(colon));
        const QStringView value = ln.mid(colon + 1);
        ReadBudget::chargeValue(value.size());
        if (!begun) {
            if (key == LabelGroups)
                book.groupList().append(value.toString());
            else if (key != LabelCounter && key != LabelCount)
                ++skipped;
            continue;
        }
        if (current > 0 && !applyToCard(book.cards[current], key, value))
            ++skipped;
    }
    if (leftOut)
        *leftOut = dropped;
    if (report) {
        report->cardsMade = book.cardCount() - 1;
        report->cardsLeftOut = dropped;
        report->recordsSkipped = skipped;
    }
    return !stopped;
}

int ListFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                 const Progress &progress)
{
    book = AddressBook::newBook();
    QString text;
    ImportDecoding decoding; // CP932, counting what is not
    if (readTextFileForImport(path, text, prompter, false, &decoding) != 0)
        return -1;
    ImportReport report;
    if (!parseListText(text, book, progress, nullptr, &report))
        return -1;
    report.charactersReplaced = decoding.replaced;
    registerUsedGroups(book);
    report.tell(prompter);
    return 0;
}

#include "formats/eudora.h"
#include "common/textwidth.h"

#include <QList>
#include <QSet>
#include <QStringTokenizer>
#include <algorithm>

#include "common/cp932.h"
#include "common/oledate.h"
#include "common/readbudget.h"
#include "common/textcompare.h"
#include "core/cardops.h"
#include "formats/fileprocs.h"
#include "formats/importreport.h"

const QString EudoraOtherItemsHeader = QStringLiteral("---- その他の項目 ----");

namespace {

const QString CrLf = QStringLiteral("\r\n");


struct Record
{
    QStringView nickname;
    QStringView value;
    bool note = false;
    QString key; // textKey(nickname), for sorting
};

// Splits a line into a record; false for a line that is not one.
bool readRecord(QStringView line, Record &r)
{
    QStringView rest;
    if (line.size() >= 6 && line.first(6).compare(u"alias ", Qt::CaseInsensitive) == 0) {
        r.note = false;
        rest = line.sliced(6);
    } else if (line.size() >= 5 && line.first(5).compare(u"note ", Qt::CaseInsensitive) == 0) {
        r.note = true;
        rest = line.sliced(5);
    } else {
        return false;
    }
    qsizetype b = 0;
    while (b < rest.size() && rest[b] == u' ')
        ++b;
    rest = rest.sliced(b);
    if (rest.isEmpty())
        return false;

    if (rest[0] == u'"') {
        const qsizetype q = rest.indexOf(u"\" ", 1);
        if (q >= 0) {
            r.nickname = rest.sliced(1, q - 1);
            r.value = rest.sliced(q + 2);
            return true;
        }
        // A nickname without addresses: the closing quote ends the line.
        if (rest.size() >= 2 && rest.back() == u'"') {
            r.nickname = rest.sliced(1, rest.size() - 2);
            r.value = QStringView();
            return true;
        }
        return false;
    }
    const qsizetype sp = rest.indexOf(u' ', 1);
    if (sp >= 0) {
        r.nickname = rest.first(sp);
        r.value = rest.sliced(sp + 1);
    } else {
        r.nickname = rest; // a nickname without addresses
        r.value = QStringView();
    }
    return true;
}

// The addresses of an alias value: "a@b.c", "Name <a@b.c>", "a@b.c (Name)",
// separated by ",".
void readAddressList(QStringView value, QStringList &ids)
{
    if (value.isEmpty())
        return;
    if (value.endsWith(u','))
        value.chop(1);
    for (const QStringView raw : QStringTokenizer(value, u',')) {
        const QStringView piece = trimSpaces(raw);
        QStringView address = piece;
        QStringView other;
        const qsizetype lt = piece.indexOf(u'<');
        const qsizetype paren = piece.indexOf(u'(', 1);
        if (piece.endsWith(u'>') && lt >= 0) {
            address = piece.sliced(lt + 1, piece.size() - lt - 2);
            other = piece.first(lt);
        } else if (piece.endsWith(u')') && paren >= 1) {
            address = piece.first(paren);
            other = piece.sliced(paren + 1, piece.size() - paren - 2);
        }
        if (!address.contains(u'@') && other.contains(u'@'))
            address = other;
        address = trimSpaces(address);
        if (!address.isEmpty()) {
            ReadBudget::chargeValue(address.size());
            ids.append(address.toString());
        }
    }
}

// Reads one tag "<key:value>" at the start of text; false when text does
// not start with one.
bool readTag(QStringView &text, QStringView key, QStringView &value)
{
    if (!text.startsWith(key, Qt::CaseInsensitive))
        return false;
    const qsizetype close = text.indexOf(u'>', key.size());
    if (close < 0)
        return false;
    value = text.sliced(key.size(), close - key.size());
    text = text.sliced(close + 1);
    return true;
}

void readNote(QStringView text, Card &card)
{
    QSet<QString> names(card.names.cbegin(), card.names.cend());
    for (;;) {
        QStringView v;
        if (readTag(text, u"<name:", v)) {
            const QString name = v.toString();
            if (!name.isEmpty() && !names.contains(name)) {
                ReadBudget::chargeValues(2, 2 * name.size()); // in the card and the set
                names.insert(name);
                card.names.append(name);
            }
        } else if (readTag(text, u"<address:", v)) {
            card.address = v.toString();
            card.address.replace(EudoraLineSeparator, u' ');
        } else if (readTag(text, u"<phone:", v)) {
            card.telephone = v.toString();
        } else if (readTag(text, u"<fax:", v)) {
            card.fax = v.toString();
        } else {
            break;
        }
    }
    ReadBudget::chargeValue(2 * text.size()); // line separators may double
    card.memo = text.toString();
    card.memo.replace(EudoraLineSeparator, CrLf);
}

// Lines end in CR LF, LF or CR; the text after the last line end is a line
// as well.
QList<QStringView> splitLines(QStringView text)
{
    // Counted first, so that the list is made once at its size.
    const qsizetype n = text.size();
    qsizetype ends = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == n || text[i + 1] != u'\n')))
            ++ends;
    ReadBudget::chargeBytes(qint64(ends + 1) * qint64(sizeof(QStringView) + sizeof(Record)));
    QList<QStringView> out;
    out.reserve(ends + 1);
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        out.append(text.sliced(start));
    return out;
}

} // namespace

int parseEudoraText(QStringView text, AddressBook &book, const EudoraReadOptions &options,
                    const Progress &progress, ImportReport *report)
{
    book = AddressBook::newBook();
    const DateValue now = options.now == NoDate ? oleNow() : options.now;
    ImportReport own;
    ImportReport &told = report ? *report : own;

    QList<Record> records;
    const QList<QStringView> lines = splitLines(text);
    records.reserve(lines.size());
    for (const QStringView line : lines) {
        Record r;
        if (readRecord(line, r)) {
            r.key = textKey(r.nickname);
            ReadBudget::chargeBytes(qint64(2 * sizeof(void *)) + ReadBudget::ValueOverhead
                                    + 2 * r.key.size());
            records.append(std::move(r));
        } else if (!trimSpaces(line).isEmpty()) {
            ++told.recordsSkipped; // text that is no alias or note line
        }
    }

    // By nickname, ignoring letter case (text comparison); nicknames that
    // are exactly equal stand together, in file order.
    std::stable_sort(records.begin(), records.end(), [](const Record &a, const Record &b) {
        if (a.key != b.key)
            return a.key < b.key;
        return a.nickname < b.nickname;
    });

    // Within each run of one nickname the k-th alias and the k-th note (in
    // file order) make one card, whichever of the two lines came first. A
    // nickname normally has one of each; when several cards share it, this
    // keeps every note with the alias it was written with.
    struct Entry
    {
        const Record *alias = nullptr;
        const Record *note = nullptr;
    };
    QList<Entry> entries;
    entries.reserve(records.size());
    QList<const Record *> aliases, notes;
    for (qsizetype run = 0; run < records.size();) {
        qsizetype end = run;
        aliases.clear();
        notes.clear();
        for (; end < records.size() && records[end].nickname == records[run].nickname; ++end)
            (records[end].note ? notes : aliases).append(&records[end]);
        for (qsizetype k = 0; k < std::max(aliases.size(), notes.size()); ++k)
            entries.append(Entry{aliases.value(k), notes.value(k)});
        run = end;
    }

    int dropped = 0;
    const qsizetype n = entries.size();
    auto finish = [&] {
        told.cardsMade = book.cardCount() - 1;
        told.cardsLeftOut = dropped;
        return dropped;
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (!keepGoing(progress, i, n))
            return finish();
        if (book.cardCounter >= MaxCardCounter) {
            ++dropped;
            continue;
        }
        const Entry &e = entries[i];
        ReadBudget::chargeBytes(sizeof(Card));
        Card c = Card::newCard();
        c.number = book.cardCounter;
        c.created = now;
        c.updated = now;
        const QStringView nickname = e.alias ? e.alias->nickname : e.note->nickname;
        if (!nickname.isEmpty())
            c.names.append(nickname.toString());
        if (e.alias)
            readAddressList(e.alias->value, c.ids);
        // A note without an alias makes a card without addresses.
        if (e.note)
            readNote(e.note->value, c);
        book.cards.append(std::move(c));
        ++book.cardCounter;
    }
    return finish();
}

// ---- Writing ----------------------------------------------------------------

namespace {

// A value inside a line: line breaks would split the record.
QString oneLine(QStringView value)
{
    QString s = value.toString();
    s.replace(CrLf, QStringLiteral(" "));
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
}

// The memo in a note: every line break becomes the code-3 separator.
QString noteLines(QStringView memo)
{
    QString s = memo.toString();
    s.replace(CrLf, QString(EudoraLineSeparator));
    s.replace(u'\r', EudoraLineSeparator);
    s.replace(u'\n', EudoraLineSeparator);
    return s;
}

QString addressOf(const QString &id, const EudoraWriteOptions &options)
{
    return oneLine(serviceMailAddress(id, options.niftyDomain));
}

QString quotedList(const QStringList &items, qsizetype from)
{
    QString out;
    for (qsizetype i = from; i < items.size(); ++i) {
        if (i > from)
            out += u',';
        out += u'"';
        out += oneLine(items[i]);
        out += u'"';
    }
    return out;
}

} // namespace

QString eudoraNickname(QStringView name)
{
    QStringView n = name;
    while (n.size() >= 2 && n.front() == u'"' && n.back() == u'"')
        n = n.sliced(1, n.size() - 2);
    QString out = oneLine(n);
    out.replace(u'"', u'\'');
    out.prepend(u'"');
    out.append(u'"');
    return out;
}

QString eudoraCardText(const Card &card, const EudoraWriteOptions &options)
{
    if (card.names.isEmpty())
        return QString();
    const QString nickname = eudoraNickname(card.names.first());
    const bool firstOnly = options.mode == EudoraFirstIdOnly;

    QString out;
    out += u"alias ";
    out += nickname;
    out += u' ';
    for (qsizetype i = 0; i < card.ids.size(); ++i) {
        if (firstOnly && i > 0)
            break;
        if (i > 0)
            out += u',';
        out += addressOf(card.ids[i], options);
    }
    out += CrLf;

    out += u"note ";
    out += nickname;
    out += u' ';
    out += u"<name:";
    out += oneLine(card.names.size() >= 2 ? card.names[1] : card.names[0]);
    out += u'>';
    if (!card.postalCode.isEmpty() || !card.address.isEmpty()) {
        out += u"<address:";
        out += oneLine(card.postalCode);
        if (!card.postalCode.isEmpty() && !card.address.isEmpty())
            out += u' ';
        out += oneLine(card.address);
        out += u'>';
    }
    if (!card.telephone.isEmpty()) {
        out += u"<phone:";
        out += oneLine(card.telephone);
        out += u'>';
    }
    if (!card.fax.isEmpty()) {
        out += u"<fax:";
        out += oneLine(card.fax);
        out += u'>';
    }
    if (!card.memo.isEmpty())
        out += noteLines(card.memo);

    if (options.lostMemoFlag) {
        QStringList items;
        if (firstOnly && card.ids.size() >= 2) {
            QString ids = QStringLiteral("ID：");
            for (qsizetype i = 1; i < card.ids.size(); ++i) {
                if (i > 1)
                    ids += u',';
                ids += addressOf(card.ids[i], options);
            }
            items.append(ids);
        }
        if (card.names.size() >= 3)
            items.append(QStringLiteral("名前：") + quotedList(card.names, 2));
        if (!card.mobile.isEmpty())
            items.append(QStringLiteral("携帯：") + oneLine(card.mobile));
        if (!card.pager.isEmpty())
            items.append(QStringLiteral("ポケベル：") + oneLine(card.pager));
        const QString birthday = DateText(card.birthday);
        if (!birthday.isEmpty())
            items.append(QStringLiteral("誕生日：") + birthday);
        if (!card.groups.isEmpty())
            items.append(QStringLiteral("グループ：") + quotedList(card.groups, 0));
        if (!items.isEmpty()) {
            if (!card.memo.isEmpty())
                out += EudoraLineSeparator;
            out += EudoraOtherItemsHeader;
            out += EudoraLineSeparator;
            out += items.join(EudoraLineSeparator);
        }
    }
    out += CrLf;
    return out;
}

QString eudoraFileText(const AddressBook &book, const EudoraWriteOptions &options,
                       const Progress &progress, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    const qsizetype cards = book.cardCount() - 1;
    TextAccumulator acc;
    for (qsizetype i = 1; i <= cards; ++i) {
        if (acc.append(eudoraCardText(book.cards[i], options)) && !keepGoing(progress, i, cards)) {
            if (cancelled)
                *cancelled = true;
            return QString();
        }
    }
    return acc.take();
}

const EudoraPutTexts &eudoraPutTexts()
{
    static const EudoraPutTexts texts{
        QStringLiteral("Eudora書き出しの設定"),
        QStringLiteral("複数のIDを持つカードの処理"),
        {QStringLiteral("先頭IDのみをアドレスとする"), QStringLiteral("すべてのIDをアドレスとする（Eudoraではグループ扱い）")},
        QStringLiteral("OK"),
        QStringLiteral("ｷｬﾝｾﾙ"),
        EudoraAllIds,
    };
    return texts;
}

int eudoraModeFromSelection(int selectedOption)
{
    return selectedOption == 0 ? EudoraFirstIdOnly : EudoraAllIds;
}

int EudoraFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                   const EudoraReadOptions &options, const Progress &progress)
{
    book = AddressBook::newBook();
    QString text;
    ImportDecoding decoding; // CP932, counting what is not
    if (readTextFileForImport(path, text, prompter, false, &decoding) != 0)
        return -1;
    ImportReport report;
    parseEudoraText(text, book, options, progress, &report);
    report.charactersReplaced = decoding.replaced;
    registerUsedGroups(book);
    report.tell(prompter);
    return 0;
}

int EudoraFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                    const EudoraWriteOptions &options, const Progress &progress, bool trashOld)
{
    bool cancelled = false;
    const QString text = eudoraFileText(book, options,
                                        progressPart(progress, 0, TextBuildPercent), &cancelled);
    if (cancelled)
        return -1;
    qsizetype replaced = 0;
    if (writeTextFileSafely(path, text, prompter,
                            progressPart(progress, TextBuildPercent, 100), trashOld, &replaced) != 0)
        return -1;
    reportReplacedCharacters(book, replaced, [&](qsizetype index) {
        return index == 0 ? 0 : cp932::unencodableCount(eudoraCardText(book.cards[index], options));
    }, prompter);
    return 0;
}

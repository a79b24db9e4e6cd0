// brindle-cli list FILE [--search FIELD[=TEXT]] [--sort ORDER] [--reverse]
// [--format text|tsv|json]: the address list as the window shows it for the
// same search and sort order: the window's search, line building and
// sorting, one row per line.
//
// brindle-cli show FILE CARD [--format text|json]: every field of one card.
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <algorithm>

#include "bookfiles.h"
#include "cardfields.h"
#include "commands.h"
#include "common/prompter.h"
#include "core/validation.h"
#include "core/addresslist.h"
#include "core/search.h"
#include "tooloptions.h"

namespace {

// The window's search fields by name, index = search field.
const char *const SearchFieldNames[] = {
    "all", "bad", "id", "name", "group", "tel", "address",
    "birth-year", "birth-month", "birth-day", "memo",
};
// The window's sort orders by name, index = sort order.
const char *const SortOrderNames[] = {"name", "id", "domain", "created", "updated", "status"};

template <qsizetype N>
int indexNamed(const char *const (&names)[N], const QString &name)
{
    for (qsizetype i = 0; i < N; ++i)
        if (name == QLatin1String(names[i]))
            return int(i);
    return -1;
}

template <qsizetype N>
QString joined(const char *const (&names)[N])
{
    QStringList list;
    for (const char *n : names)
        list << QLatin1String(n);
    return list.join(QStringLiteral(", "));
}

// A TSV field: TAB, line breaks and the backslash written as \t, \n, \r, \\.
QString tsvField(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\r', QStringLiteral("\\r"));
    return text;
}

QString jsonText(const QJsonDocument &document)
{
    return QString::fromUtf8(document.toJson(QJsonDocument::Indented));
}

} // namespace

QStringList searchFieldNames()
{
    QStringList out;
    for (const char *n : SearchFieldNames)
        out << QLatin1String(n);
    return out;
}

QStringList sortOrderNames()
{
    QStringList out;
    for (const char *n : SortOrderNames)
        out << QLatin1String(n);
    return out;
}

int runList(const QStringList &argList, Prompter &prompter)
{
    const QString command = QStringLiteral("list");
    CommandArguments args;
    QString problem = parseCommandArguments(
        argList,
        {QStringLiteral("--search"), QStringLiteral("--sort"), QStringLiteral("--format"),
         QStringLiteral("--from")},
        {QStringLiteral("--reverse")}, args);
    if (problem.isEmpty() && args.positional.size() != 1)
        problem = QStringLiteral("expected FILE (1 file name)");
    if (!problem.isEmpty())
        return usageError(command, problem);

    // --search FIELD=TEXT; "all" and "bad" take no text.
    int field = SearchAll;
    QString word;
    if (args.values.contains(QStringLiteral("--search"))) {
        const QString search = args.values.value(QStringLiteral("--search"));
        const qsizetype eq = search.indexOf(u'=');
        field = indexNamed(SearchFieldNames, eq < 0 ? search : search.left(eq));
        if (field < 0)
            return usageError(command, QStringLiteral("unknown search field: %1 (fields: %2)")
                                           .arg(eq < 0 ? search : search.left(eq),
                                                joined(SearchFieldNames)));
        if (eq >= 0)
            word = search.mid(eq + 1);
        if (field <= SearchBadCards && eq >= 0)
            return usageError(command, QStringLiteral("--search %1 takes no text")
                                           .arg(QLatin1String(SearchFieldNames[field])));
    }
    int order = SortByName;
    if (args.values.contains(QStringLiteral("--sort"))) {
        order = indexNamed(SortOrderNames, args.values.value(QStringLiteral("--sort")));
        if (order < 0)
            return usageError(command, QStringLiteral("unknown sort order: %1 (orders: %2)")
                                           .arg(args.values.value(QStringLiteral("--sort")),
                                                joined(SortOrderNames)));
    }
    PrintFormat format = PrintFormat::Text;
    if (args.values.contains(QStringLiteral("--format"))
        && !printFormatNamed(args.values.value(QStringLiteral("--format")), format))
        return usageError(command, QStringLiteral("--format takes text, tsv or json"));
    const QString input = args.positional.first();
    if (const QString kindProblem = takeInputKind(args, input); !kindProblem.isEmpty())
        return usageError(command, kindProblem);

    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(input, book, prompter) != 0)
        return ExitFailure;
    QList<ListLine> lines;
    if (buildListLines(book, searchCards(book, field, word), order, lines) != BuildResult::Done)
        return ExitFailure;
    if (args.switches.contains(QStringLiteral("--reverse")))
        std::reverse(lines.begin(), lines.end());

    QHash<qint32, qsizetype> indexOf;
    for (qsizetype i = book.cardCount() - 1; i >= 1; --i)
        indexOf.insert(book.cards[i].number, i); // the first card of a number, as the list
    QString out;
    QJsonArray rows;
    for (const ListLine &line : std::as_const(lines)) {
        const Card &card = book.cards[indexOf.value(line.cardNumber)];
        switch (format) {
        case PrintFormat::Text:
            out += line.text + u'\n';
            break;
        case PrintFormat::Tsv: {
            const QStringList fields = {
                QString::number(card.number), line.name, line.id, card.telephone, card.mobile,
                isoDate(card.birthday), card.groups.join(u','), QString::number(card.status),
                card.status == 0 ? QString() : statusMessage(card.status)};
            QStringList escaped;
            for (const QString &f : fields)
                escaped << tsvField(f);
            out += escaped.join(u'\t') + u'\n';
            break;
        }
        case PrintFormat::Json:
            rows.append(listRowJson(card, line.name, line.id));
            break;
        }
    }
    if (format == PrintFormat::Json)
        out = jsonText(QJsonDocument(rows));
    printText(out);
    return ExitOk;
}

int runShow(const QStringList &argList, Prompter &prompter)
{
    const QString command = QStringLiteral("show");
    CommandArguments args;
    QString problem = parseCommandArguments(
        argList, {QStringLiteral("--format"), QStringLiteral("--from")}, {}, args);
    if (problem.isEmpty() && args.positional.size() != 2)
        problem = QStringLiteral("expected FILE CARD");
    if (!problem.isEmpty())
        return usageError(command, problem);
    PrintFormat format = PrintFormat::Text;
    if (args.values.contains(QStringLiteral("--format"))
        && (!printFormatNamed(args.values.value(QStringLiteral("--format")), format)
            || format == PrintFormat::Tsv))
        return usageError(command, QStringLiteral("--format takes text or json"));
    const QString input = args.positional.at(0);
    const QString wanted = args.positional.at(1);
    if (const QString kindProblem = takeInputKind(args, input); !kindProblem.isEmpty())
        return usageError(command, kindProblem);
    // A card number, unless it holds something else than digits; "id:"
    // makes the rest an ID whatever it holds.
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const bool byId = wanted.startsWith(QLatin1String("id:")) || !digits.match(wanted).hasMatch();
    const QString id = wanted.startsWith(QLatin1String("id:")) ? wanted.mid(3) : wanted;
    bool numberOk = false;
    const qint32 number = byId ? -1 : wanted.toInt(&numberOk);
    if (!byId && !numberOk)
        return usageError(command, QStringLiteral("no such card number: ") + wanted);

    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(input, book, prompter) != 0)
        return ExitFailure;
    QList<qsizetype> found;
    for (qsizetype i = 1; i < book.cardCount(); ++i) {
        const Card &c = book.cards[i];
        if (byId ? c.ids.contains(id) : c.number == number)
            found.append(i);
    }
    if (found.isEmpty()) {
        prompter.notice(byId ? QStringLiteral("ID「%1」のカードはありません").arg(id)
                             : QStringLiteral("カード番号 %1 のカードはありません").arg(number));
        return ExitFailure;
    }
    if (found.size() > 1) {
        QStringList others;
        for (qsizetype k = 1; k < found.size(); ++k)
            others << QString::number(book.cards[found[k]].number);
        prompter.notice(QStringLiteral("同じIDのカードがほかにもあります（カード番号 %1）")
                            .arg(others.join(QStringLiteral(", "))),
                        Prompter::Icon::Warning);
    }
    const Card &card = book.cards[found.first()];
    printText(format == PrintFormat::Json ? jsonText(QJsonDocument(cardJson(card)))
                                          : cardText(card));
    return ExitOk;
}

// brindle-gen: writes a generated address book, for samples and benchmarks.
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "common/consoleprompter.h"
#include "core/ndbfile.h"
#include "support/generator.h"

namespace {

constexpr int UsageError = 2;
// Card numbers and the counter are 16-bit signed in the file: with cards
// numbered 1..n the counter n + 1 must stay at or below 32767.
constexpr int MaxCards = 32766;

void printHelp(FILE *out)
{
    std::fprintf(out,
                 "usage: brindle-gen [OPTIONS] OUTPUT\n"
                 "\n"
                 "Writes a generated address book with realistic Japanese cards to OUTPUT.\n"
                 "The same options always give the same file.\n"
                 "\n"
                 "options:\n"
                 "  --seed N         random seed (default 1)\n"
                 "  --cards N        person cards, 0 to %d (default 100)\n"
                 "  --groups N       names in the group list (default 12)\n"
                 "  --log-scale X    scales the number of log lines and records (default 1)\n"
                 "  --no-bad         leave out the cards that break the card rules\n"
                 "  -h, --help       show this help\n",
                 MaxCards);
}

int usageError(const QString &problem)
{
    std::fprintf(stderr, "brindle-gen: %s\n\n", problem.toLocal8Bit().constData());
    printHelp(stderr);
    return UsageError;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    GeneratorOptions options;
    QString output;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"-h" || a == u"--help") {
            printHelp(stdout);
            return 0;
        }
        if (a == u"--no-bad") {
            options.badCards = false;
            continue;
        }
        if (a == u"--seed" || a == u"--cards" || a == u"--groups" || a == u"--log-scale") {
            if (i + 1 >= args.size())
                return usageError(a + QStringLiteral(" needs a value"));
            const QString value = args[++i];
            bool ok = false;
            if (a == u"--seed") {
                options.seed = value.toUInt(&ok);
            } else if (a == u"--cards") {
                options.cards = value.toInt(&ok);
                ok = ok && options.cards >= 0 && options.cards <= MaxCards;
            } else if (a == u"--groups") {
                options.groups = value.toInt(&ok);
                ok = ok && options.groups >= 0 && options.groups <= 1000;
            } else {
                options.logScale = value.toDouble(&ok);
                ok = ok && options.logScale >= 0 && options.logScale <= 100;
            }
            if (!ok)
                return usageError(QStringLiteral("bad value for ") + a + QStringLiteral(": ")
                                  + value);
            continue;
        }
        if (a.startsWith(u'-') && a.size() > 1)
            return usageError(QStringLiteral("unknown option ") + a);
        if (!output.isEmpty())
            return usageError(QStringLiteral("more than one OUTPUT"));
        output = a;
    }
    if (output.isEmpty())
        return usageError(QStringLiteral("no OUTPUT given"));

    const AddressBook book = generateBook(options);
    ConsolePrompter prompter;
    if (writeNdbFile(output, book, prompter) != 0)
        return 1;
    std::printf("%s: %d cards, %lld bytes\n", output.toLocal8Bit().constData(),
                int(book.cardCount() - 1), static_cast<long long>(QFileInfo(output).size()));
    return 0;
}

// brindle-cli's help, the README, the manual page and the shell completion
// name the same commands and options: each option of a command's usage line
// is explained in its help, in its README and manual sections, and offered
// by the bash and zsh completion for that command, and they offer nothing
// else.
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "support/clirun.h"
#include "support/testutil.h"

namespace {

QString sourceFile(const char *path)
{
    return QString::fromUtf8(readAll(QStringLiteral(BRINDLE_SOURCE_DIR "/") + QLatin1String(path)));
}

// The options named in text ("--kind", "-o"), without their values.
QSet<QString> optionsIn(const QString &text)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[a-z][a-z0-9-]*)"));
    QSet<QString> found;
    for (const QRegularExpressionMatch &m : option.globalMatch(text))
        found.insert(m.captured(1));
    return found;
}

// The part of text from the line that is heading up to the next line
// starting with one of the ends.
QString section(const QString &text, const QString &heading, const QStringList &ends)
{
    const qsizetype start = text.indexOf(u'\n' + heading + u'\n');
    if (start < 0)
        return QString();
    qsizetype end = text.size();
    for (const QString &e : ends) {
        const qsizetype at = text.indexOf(u'\n' + e, start + heading.size() + 2);
        if (at >= 0)
            end = std::min(end, at);
    }
    return text.mid(start, end - start);
}

// What the bash completion offers for the words typed so far (the last
// one is being completed).
QStringList bashOffers(const QStringList &words)
{
    QProcess bash;
    QString quoted;
    for (const QString &w : words)
        quoted += QStringLiteral(" '") + w + u'\'';
    bash.start(QStringLiteral("bash"),
               {QStringLiteral("-c"),
                QStringLiteral("source \"$0\"; COMP_WORDS=(brindle-cli%1); COMP_CWORD=%2; _brindle_cli; "
                               "printf '%s\\n' \"${COMPREPLY[@]}\"")
                    .arg(quoted)
                    .arg(words.size()),
                QStringLiteral(BRINDLE_SOURCE_DIR "/completion/brindle-cli.bash")});
    if (!bash.waitForFinished(10000))
        return {};
    QStringList offers = QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (QString &o : offers)
        if (o.endsWith(u'='))
            o.chop(1); // "--csv-items=" is --csv-items
    return offers;
}

// The block of the zsh completion for a command.
QString zshBlock(const QString &zsh, const QString &command)
{
    static const QRegularExpression block(QStringLiteral("\\n      ([a-z|]+)\\)\\n(.*?);;"),
                                          QRegularExpression::DotMatchesEverythingOption);
    for (const QRegularExpressionMatch &m : block.globalMatch(zsh))
        if (m.captured(1).split(u'|').contains(command))
            return m.captured(2);
    return QString();
}

QStringList listedCommands(const QString &help)
{
    const QString list = section(help, QStringLiteral("commands:"), {QStringLiteral("\n")});
    QStringList commands;
    static const QRegularExpression line(QStringLiteral("\\n  ([a-z]+) "));
    for (const QRegularExpressionMatch &m : line.globalMatch(list))
        commands << m.captured(1);
    return commands;
}

TEST(CliDocs, HelpReadmeManualAndCompletionNameTheSameOptions)
{
    const QString help = runCli({QStringLiteral("--help")}).outText();
    const QString readme = sourceFile("README.md");
    QString manual = sourceFile("man/brindle-cli.1");
    manual.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QString zsh = sourceFile("completion/_brindle-cli");
    // The options every command's block takes through variables.
    static const QRegularExpression commonList(QStringLiteral("\\ncommon=\\((.*?)\\n\\)"),
                                               QRegularExpression::DotMatchesEverythingOption);
    const QString zshCommon = commonList.match(zsh).captured(1);
    ASSERT_FALSE(zshCommon.isEmpty());
    const QStringList commands = listedCommands(help);
    ASSERT_GE(commands.size(), 11);

    // The program's own options.
    const QSet<QString> global{u"--help"_qs, u"--version"_qs, u"--quiet"_qs, u"--verbose"_qs};
    for (const QString &o : global) {
        EXPECT_TRUE(optionsIn(help).contains(o)) << o.toStdString();
        EXPECT_TRUE(optionsIn(readme).contains(o)) << o.toStdString();
        EXPECT_TRUE(optionsIn(manual).contains(o)) << o.toStdString();
        EXPECT_TRUE(bashOffers({u"-"_qs}).contains(o)) << o.toStdString();
        EXPECT_TRUE(zsh.contains(QStringLiteral("--") + o.mid(2) + u'[')) << o.toStdString();
    }
    QStringList offered = bashOffers({QString()});
    offered.removeAll(u"help"_qs);
    EXPECT_EQ(offered, commands);

    for (const QString &c : commands) {
        SCOPED_TRACE(c.toStdString());
        const QString commandHelp = runCli({c, QStringLiteral("--help")}).outText();
        const qsizetype usageEnd = commandHelp.indexOf(QStringLiteral("\n\n"));
        const QSet<QString> options = optionsIn(commandHelp.left(usageEnd));
        const QString details = commandHelp.mid(usageEnd);
        const QString readmeSection = section(readme, QStringLiteral("### ") + c, {u"#"_qs});
        const QString manualSection = section(manual, QStringLiteral(".SS ") + c, {u".SS"_qs, u".SH"_qs});
        QString zshSection = zshBlock(zsh, c);
        zshSection.replace(QStringLiteral("$common"), zshCommon);
        zshSection.replace(QStringLiteral("\"$from\""), QStringLiteral("--from"));
        ASSERT_FALSE(readmeSection.isEmpty());
        ASSERT_FALSE(manualSection.isEmpty());
        ASSERT_FALSE(zshSection.isEmpty());
        for (const QString &o : options) {
            EXPECT_TRUE(optionsIn(details).contains(o)) << "help does not explain " << o.toStdString();
            EXPECT_TRUE(optionsIn(readmeSection).contains(o)) << "README lacks " << o.toStdString();
            EXPECT_TRUE(optionsIn(manualSection).contains(o)) << "manual lacks " << o.toStdString();
        }
        // The completion offers exactly the command's options (and the
        // program's own, which every command takes).
        QSet<QString> bash;
        for (const QString &o : bashOffers({c, u"-"_qs}))
            bash.insert(o);
        EXPECT_EQ(bash - global, options - global);
        EXPECT_EQ(optionsIn(zshSection) - global, options - global);
        EXPECT_TRUE(optionsIn(zshSection).contains(u"--help"_qs));
    }
}

TEST(CliDocs, BashCompletesTheValuesOfOptions)
{
    struct Case { QStringList words; QStringList offers; };
    const Case cases[] = {
        {{u"convert"_qs, u"a.ndb"_qs, u"-"_qs, u"--kind"_qs, QString()}, {u"ndb"_qs, u"list"_qs, u"csv"_qs, u"vcard"_qs, u"eudora"_qs}},
        {{u"list"_qs, u"-"_qs, u"--from"_qs, u"v"_qs}, {u"vcard"_qs}},
        {{u"list"_qs, u"a.ndb"_qs, u"--sort"_qs, u"d"_qs}, {u"domain"_qs}},
        {{u"list"_qs, u"a.ndb"_qs, u"--search"_qs, u"birth-m"_qs}, {u"birth-month"_qs}},
        {{u"show"_qs, u"a.ndb"_qs, u"--format"_qs, QString()}, {u"text"_qs, u"json"_qs}},
        {{u"repair"_qs, u"a.ndb"_qs, u"--level"_qs, QString()}, {u"1"_qs, u"2"_qs, u"3"_qs}},
        {{u"slim"_qs, u"a.ndb"_qs, u"--level"_qs, QString()}, {u"0"_qs, u"1"_qs, u"2"_qs}},
        {{u"idconv"_qs, u"a.ndb"_qs, u"--remark"_qs, QString()}, {u"on"_qs, u"off"_qs}},
        {{u"slim"_qs, u"a.ndb"_qs, u"--exchange"_qs, QString()}, {}},
        {{u"help"_qs, u"co"_qs}, {u"convert"_qs, u"compare"_qs}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(bashOffers(c.words), c.offers) << c.words.join(u' ').toStdString();
}

} // namespace

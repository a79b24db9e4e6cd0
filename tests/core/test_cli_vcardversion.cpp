// brindle-cli convert --vcard-version: the whole book as vCard 2.1 in
// Shift-JIS (the default) or vCard 3.0 in UTF-8.
#include <QTemporaryDir>

#include "common/cp932.h"
#include "common/utf8.h"
#include "core/ndbfile.h"
#include "support/clirun.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

TEST(CliVcardVersion, WholeBookInEitherVersion)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString book = dir.filePath("Address.ndb");
    ScriptedPrompter quiet;
    ASSERT_EQ(writeNdbFile(book, generateBook({.seed = 3, .cards = 40, .badCards = false}), quiet),
              0);

    // args after INPUT OUTPUT -> the version line
    const struct {
        QStringList options;
        QByteArray version;
    } cases[] = {
        {{}, "VERSION:2.1"},
        {{"--vcard-version", "2.1"}, "VERSION:2.1"},
        {{"--vcard-version", "3.0"}, "VERSION:3.0"},
        {{"--vcard-version=3.0"}, "VERSION:3.0"},
    };
    for (const auto &c : cases) {
        const QString out = dir.filePath("out.vcf");
        const CliRun r = runCli(QStringList{"convert", book, out, "--no-trash"} + c.options);
        ASSERT_EQ(r.exitCode, 0) << c.options.join(' ').toStdString() << r.err.toStdString();
        const QByteArray bytes = readAll(out);
        EXPECT_EQ(bytes.count("BEGIN:VCARD\r\n" + c.version + "\r\n"), 40)
            << c.options.join(' ').toStdString();
        EXPECT_EQ(bytes.count("BEGIN:VCARD"), 40);
    }
}

TEST(CliVcardVersion, Utf8KeepsWhatShiftJisCannotHold)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath("in.vcf");
    const QByteArray name = QStringLiteral("Zoë 😀").toUtf8();
    ASSERT_TRUE(writeAll(in, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name
                                 + "\r\nEMAIL:z@x.jp\r\nEND:VCARD\r\n"));

    const QString v30 = dir.filePath("v30.vcf");
    CliRun r = runCli({"convert", in, v30, "--vcard-version", "3.0"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QByteArray bytes = readAll(v30);
    EXPECT_TRUE(utf8::isValid(bytes));
    EXPECT_TRUE(bytes.contains("\r\nN:Zo\xC3\xAB;\xF0\x9F\x98\x80;;;\r\nFN:" + name + "\r\n"));

    // vCard 2.1 in Shift-JIS writes "?" for them and says so: status 4.
    r = runCli({"convert", in, dir.filePath("v21.vcf")});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
}

TEST(CliVcardVersion, OtherVersionsAreAUsageError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath("in.vcf");
    ASSERT_TRUE(writeAll(in, "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\nEND:VCARD\r\n"));
    const QString out = dir.filePath("out.vcf");
    ASSERT_TRUE(writeAll(out, "old"));
    for (const QStringList &args : {QStringList{"convert", in, out, "--vcard-version", "4.0"},
                                    QStringList{"convert", in, out, "--vcard-version=3"},
                                    QStringList{"convert", in, out, "--vcard-version"}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, CliUsageError) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_TRUE(runCli({"convert", in, out, "--vcard-version", "4.0"})
                    .errText()
                    .contains(u"--vcard-version takes 2.1 or 3.0, not 4.0"));
    EXPECT_EQ(readAll(out), "old");

    const CliRun help = runCli({"convert", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.outText().contains(u"--vcard-version 2.1|3.0"));
}

#include <gtest/gtest.h>

#include "formats/importreport.h"
#include "support/scriptedprompter.h"

namespace {

enum class Told { Nothing, Notice, Loss };

struct Case
{
    const char *name;
    ImportReport report;
    Told told;
    QStringList mentions;
};

} // namespace

// What each kind of event makes of the one message, and whether it counts
// as a loss.
TEST(ImportReport, OneMessageLossOnlyForWhatTheUserAskedFor)
{
    ImportReport leftOut;
    leftOut.cardsMade = 32766;
    leftOut.cardsLeftOut = 4;
    ImportReport skipped;
    skipped.cardsMade = 3;
    skipped.recordsSkipped = 2;
    skipped.charactersReplaced = 1234;
    ImportReport photo;
    photo.cardsMade = 1;
    photo.binaryValuesLeftOut = {u"PHOTO (画像 12,345 Byte)"_qs};
    ImportReport columns;
    columns.cardsMade = 5;
    for (int i = 0; i < 12; ++i)
        columns.unmappedColumns.append(QString(i == 0 ? 200 : 3, QChar(u'A' + i)));

    const Case cases[] = {
        {"clean", ImportReport{7}, Told::Nothing, {}},
        {"cards left out", leftOut, Told::Loss, {u"32770 枚のうち 32766 枚"_qs, u"残りの 4 枚"_qs}},
        {"skipped and replaced", skipped, Told::Loss, {u"2 件"_qs, u"1,234 文字"_qs}},
        {"binary value", photo, Told::Notice, {u"PHOTO (画像 12,345 Byte)"_qs}},
        {"unmapped columns", columns, Told::Notice,
         {QString(40, u'A') + u"…"_qs, u"JJJ"_qs, u"ほか 2 件"_qs}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompter prompter;
        c.report.tell(prompter);
        EXPECT_EQ(prompter.lossReported(), c.told == Told::Loss);
        if (c.told == Told::Nothing) {
            EXPECT_TRUE(prompter.asked.isEmpty());
            EXPECT_TRUE(c.report.message().isEmpty());
            continue;
        }
        ASSERT_EQ(prompter.asked.size(), 1);
        const QString text = prompter.asked.front().message.text;
        for (const QString &m : c.mentions)
            EXPECT_TRUE(text.contains(m)) << text.toStdString() << " lacks " << m.toStdString();
        EXPECT_FALSE(text.contains(QString(41, u'A')));
        EXPECT_FALSE(text.contains(u"KKK"_qs)); // the eleventh column is not named
    }
}

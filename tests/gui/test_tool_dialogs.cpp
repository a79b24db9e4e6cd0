// The slimming, bulk settings and restoration dialogs.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "core/fileinfo.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"
#include "tools/fomRestore.h"
#include "tools/idconv.h"
#include "pages.h"

namespace {

Card cardWith(qint32 number, const QStringList &ids)
{
    Card c = Card::newCard();
    c.number = number;
    c.ids = ids;
    c.names = {QStringLiteral("名前%1").arg(number)};
    c.created = 40000.0;
    c.updated = 41000.0 + number;
    return c;
}

AddressBook bookOf(const QList<Card> &cards)
{
    AddressBook book;
    for (const Card &c : cards)
        book.cards.append(c);
    book.cardCounter = qint32(book.cards.size());
    validateAll(book, CardLimits{});
    return book;
}

QColor baseOf(const QLineEdit *box)
{
    return box->palette().color(QPalette::Base);
}

struct ShownReport
{
    QString text;
    QString fileName;
    QString title;
    qsizetype messagesBefore = -1;
};

} // namespace

TEST(LightAddressDialog, LevelsAndEnablingRules)
{
    AddressBook book = bookOf({cardWith(1, {u"aa@x.jp"_qs})});
    ScriptedPrompter prompter;
    fomLightAddress d(book, CardLimits{}, prompter);
    EXPECT_EQ(d.windowTitle(), u"アドレス帳の減量"_qs);
    EXPECT_EQ(page(d).lblSize()->text(), u"現在のアドレス帳サイズは "_qs + withThousands(ndbFileSize(book))
                                     + u" Byte あります。"_qs);

    // No level yet: design values, nothing to change until one is chosen.
    EXPECT_EQ(d.level(), -1);
    for (int i = 0; i < SlimLevelCount; ++i)
        EXPECT_FALSE(page(d).optLevel(i)->isChecked());
    for (QLineEdit *box : {page(d).txtNam(), page(d).txtID(), page(d).txtProf(), page(d).txtMail(), page(d).txtExcg(), page(d).txtSay()}) {
        EXPECT_EQ(box->text(), u"100"_qs);
        EXPECT_EQ(box->maxLength(), 3);
        EXPECT_FALSE(box->isEnabled());
    }
    EXPECT_FALSE(page(d).chkID()->isChecked() || page(d).chkID()->isEnabled() || page(d).chkGroup()->isEnabled());

    click(page(d).optLevel(0));
    EXPECT_EQ(d.level(), 0);
    EXPECT_EQ(page(d).lblInfo()->text(), u"履歴情報などの古いものだけ除去します"_qs);
    EXPECT_TRUE(page(d).chkProf()->isChecked() && page(d).chkProfNone()->isChecked() && page(d).chkSay()->isChecked());
    EXPECT_EQ(page(d).txtProf()->text(), u"10"_qs);
    EXPECT_FALSE(page(d).chkID()->isChecked() || page(d).chkAdd()->isChecked());
    EXPECT_FALSE(page(d).chkProf()->isEnabled() || page(d).txtProf()->isEnabled() || page(d).chkProfNone()->isEnabled());

    click(page(d).optLevel(2));
    EXPECT_EQ(page(d).lblInfo()->text(), u"１つのIDと名前だけを残し、その他の情報を全て除去します"_qs);
    EXPECT_TRUE(page(d).chkID()->isChecked() && page(d).chkGroup()->isChecked() && page(d).chkBell()->isChecked());
    EXPECT_EQ(page(d).txtID()->text(), u"1"_qs);
    EXPECT_EQ(page(d).txtMail()->text(), u"0"_qs);

    // Custom: the preset stays, and becomes changeable.
    const QColor base = QApplication::palette().color(QPalette::Base);
    const QColor face = QApplication::palette().color(QPalette::Button);
    click(page(d).optLevel(3));
    EXPECT_EQ(page(d).lblInfo()->text(), u"設定に従った整理を行います"_qs);
    EXPECT_TRUE(page(d).chkID()->isChecked() && page(d).chkID()->isEnabled() && page(d).txtID()->isEnabled());
    EXPECT_EQ(baseOf(page(d).txtID()), base);
    EXPECT_TRUE(page(d).chkGroup()->isEnabled() && page(d).chkProfNone()->isEnabled());
    click(page(d).chkID());
    EXPECT_FALSE(page(d).txtID()->isEnabled());
    EXPECT_EQ(baseOf(page(d).txtID()), face);
    click(page(d).chkProf());
    EXPECT_FALSE(page(d).txtProf()->isEnabled() || page(d).chkProfNone()->isEnabled());
    EXPECT_EQ(baseOf(page(d).txtProf()), face);
    click(page(d).chkProf());
    EXPECT_TRUE(page(d).txtProf()->isEnabled() && page(d).chkProfNone()->isEnabled());
    EXPECT_EQ(baseOf(page(d).txtProf()), base);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST(LightAddressDialog, ChecksBeforeRunning)
{
    AddressBook book = bookOf({cardWith(1, {u"aa@x.jp"_qs, u"bb@x.jp"_qs})});
    const AddressBook original = book;
    ScriptedPrompter prompter;
    fomLightAddress d(book, CardLimits{}, prompter);

    // Nothing chosen, with or without a level.
    EXPECT_EQ(d.Execute(), -1);
    click(page(d).optLevel(3));
    click(page(d).chkProf());
    click(page(d).chkProf()); // checked and unchecked again: nothing chosen
    EXPECT_EQ(d.Execute(), -1);
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.asked[1].message.text, u"作業が指示されていません。"_qs);
    EXPECT_EQ(prompter.asked[1].message.icon, Prompter::Icon::Warning);

    click(page(d).chkID());
    typeText(page(d).txtID(), u"0"_qs);
    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"IDは最低でも1つ必要です。1以上に設定してください。"_qs);
    typeText(page(d).txtID(), u"1"_qs);
    click(page(d).chkNam());
    typeText(page(d).txtNam(), u"0"_qs);
    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"名前は最低でも1つ必要です。1以上に設定してください。"_qs);

    // A box without a number, even an unchecked one, stops without a word.
    typeText(page(d).txtNam(), u"1"_qs);
    click(page(d).chkMail());
    typeText(page(d).txtMail(), QString()); // emptied while it could be typed in
    click(page(d).chkMail());
    const qsizetype shown = prompter.asked.size();
    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.asked.size(), shown);
    EXPECT_EQ(book, original);
    EXPECT_NE(d.result(), QDialog::Accepted);
}

TEST(LightAddressDialog, RunReturnsZeroEvenWithNothingToRemove)
{
    AddressBook book = bookOf({cardWith(1, {u"aa@x.jp"_qs, u"bb@x.jp"_qs})});
    ScriptedPrompter prompter;
    // Through Run: pick the level and press the button once the dialog is up.
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<fomLightAddress *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        click(page(d).optLevel(0));
        click(page(d).cmdExec());
    });
    EXPECT_EQ(fomLightAddress::Run(book, CardLimits{}, prompter), 0);
    EXPECT_EQ(prompter.texts(), QStringList{u"整理個所はありませんでした。"_qs});

    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<fomLightAddress *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        click(page(d).optLevel(2));
        click(page(d).cmdExec());
    });
    EXPECT_EQ(fomLightAddress::Run(book, CardLimits{}, prompter), 0);
    EXPECT_EQ(book.cards[1].ids, QStringList{u"aa@x.jp"_qs});
    EXPECT_TRUE(prompter.lastText().startsWith(u"1 枚のｶｰﾄﾞから 1 個所（"_qs));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(fomLightAddress::Run(book, CardLimits{}, prompter), -1);
}

TEST(IdConvDialog, OptionsMessagesAndDuplicateReport)
{
    AddressBook book = bookOf({cardWith(1, {u"ABC12345"_qs}),
                               cardWith(2, {u"abc12345@nifty.com"_qs, u"taro@nifty.ne.jp"_qs})});
    ScriptedPrompter prompter;
    QList<ShownReport> reports;
    const ReportViewer viewer = [&](const QString &text, const QString &fileName,
                                    const QString &title) {
        reports.append({text, fileName, title, prompter.asked.size()});
    };
    fomIDConv d(book, CardLimits{}, serviceMailDomains(), prompter, viewer);
    EXPECT_EQ(d.windowTitle(), u"カードの一括設定"_qs);
    EXPECT_TRUE(page(d).optExcg(0)->isChecked() && page(d).optSay(1)->isChecked());
    for (QRadioButton *o : {page(d).optExcg(0), page(d).optExcg(1), page(d).optSay(0), page(d).optSay(1)})
        EXPECT_FALSE(o->isEnabled());
    click(page(d).chkFunc(1));
    EXPECT_TRUE(page(d).optExcg(0)->isEnabled() && page(d).optExcg(1)->isEnabled());
    EXPECT_FALSE(page(d).optSay(0)->isEnabled());
    click(page(d).chkFunc(1));
    EXPECT_FALSE(page(d).optExcg(1)->isEnabled());

    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"機能が選択されていません。"_qs);
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::Warning);
    prompter.clear();

    for (int i = 0; i < 3; ++i)
        click(page(d).chkFunc(i));
    click(page(d).optExcg(1));
    click(page(d).optSay(0));
    EXPECT_EQ(d.Execute(), 0);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.texts(),
              (QStringList{u"1 枚のｶｰﾄﾞに含まれる、2 個のIDを変換しました。"_qs,
                           u"2 枚のｶｰﾄﾞの交流記録の設定を変更しました。"_qs,
                           u"2 枚のｶｰﾄﾞの発言記録の設定を変更しました。"_qs}));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].messagesBefore, 1); // after the conversion's message
    EXPECT_EQ(reports[0].title, u"ID変換による重複リスト"_qs);
    EXPECT_EQ(reports[0].fileName, u"重複IDリスト"_qs);
    EXPECT_TRUE(reports[0].text.contains(u"\r\nABC12345\r\n"_qs));
    EXPECT_EQ(book.cards[2].ids, (QStringList{u"ABC12345"_qs, u"taro"_qs}));
    EXPECT_EQ(book.cards[1].exchangeAutoRecord, FlagOff);
    EXPECT_EQ(book.cards[2].remarkAutoRecord, FlagOn);

    // Flags only, nothing to change: still a completed run.
    prompter.clear();
    fomIDConv again(book, CardLimits{}, serviceMailDomains(), prompter, viewer);
    click(page(again).chkFunc(1));
    click(page(again).optExcg(1));
    EXPECT_EQ(again.Execute(), 0);
    EXPECT_EQ(prompter.texts(), QStringList{u"交流記録を変更するｶｰﾄﾞはありませんでした。"_qs});
}

TEST(RestoreDialog, CountsOptionsAndBothFunctionsInOrder)
{
    Card broken = cardWith(1, {u"same@x.jp"_qs});
    broken.names.clear();
    Card abnormal = cardWith(2, {u"SAME@x.jp"_qs});
    abnormal.exchangeAutoRecord = 3;
    Card suspicious = cardWith(3, {u"cc@x.jp"_qs});
    suspicious.birthday = -18261.0;
    AddressBook book = bookOf({broken, abnormal, suspicious, cardWith(4, {u"dd@x.jp"_qs})});
    ScriptedPrompter prompter;
    QList<ShownReport> reports;
    const ReportViewer viewer = [&](const QString &text, const QString &fileName,
                                    const QString &title) {
        reports.append({text, fileName, title, prompter.asked.size()});
    };
    bool busy = false;
    bool interrupt = true;
    fomRestore d(book, CardLimits{}, prompter, viewer, {&busy, &interrupt});
    EXPECT_EQ(d.windowTitle(), u"ｶｰﾄﾞの修復"_qs);
    EXPECT_EQ(page(d).lblTotal()->text(), u"4 枚"_qs);
    EXPECT_EQ(page(d).lblBC(0)->text(), u"1 枚"_qs);
    EXPECT_EQ(page(d).lblBC(1)->text(), u"1 枚"_qs);
    EXPECT_EQ(page(d).lblBC(2)->text(), u"1 枚"_qs);
    EXPECT_FALSE(page(d).chkRestore()->isChecked() || page(d).chkIDRepeat()->isChecked());
    EXPECT_TRUE(page(d).optRestoreLevel(0)->isChecked() && page(d).optIDRepeat(0)->isChecked());
    for (QRadioButton *o : {page(d).optRestoreLevel(0), page(d).optRestoreLevel(2), page(d).optIDRepeat(1)})
        EXPECT_FALSE(o->isEnabled());
    click(page(d).chkIDRepeat());
    EXPECT_TRUE(page(d).optIDRepeat(1)->isEnabled());
    EXPECT_FALSE(page(d).optRestoreLevel(1)->isEnabled());
    click(page(d).chkIDRepeat());

    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"機能が選択されていません。"_qs);
    prompter.clear();

    click(page(d).chkRestore());
    click(page(d).optRestoreLevel(1)); // broken and abnormal
    click(page(d).chkIDRepeat());
    bool busyDuringRun = false;
    d.setStepHook([&](qint64, qint64) {
        busyDuringRun = busy && d.running() && !page(d).chkIDRepeat()->isEnabled();
    });
    EXPECT_EQ(d.Execute(), 0);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(busyDuringRun);
    EXPECT_FALSE(busy || interrupt || d.running());
    EXPECT_EQ(prompter.texts(), QStringList{u"2 枚のｶｰﾄﾞ（2 個所）を修復しました。"_qs});
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].messagesBefore, 1);
    EXPECT_EQ(reports[0].title, u"重複IDの統合処理レポート"_qs);
    EXPECT_EQ(reports[0].fileName, u"ID統合"_qs);
    EXPECT_TRUE(reports[0].text.endsWith(u"1 個のIDが重複していました。"_qs));
    ASSERT_EQ(book.cardCount(), 4); // the two cards sharing an ID are one
    EXPECT_EQ(book.cards[1].number, 2);            // the card updated later absorbed the other
    EXPECT_EQ(book.cards[2].birthday, -18261.0); // suspicious: not at this level
}

TEST(RestoreDialog, InterruptAndBusyRefusal)
{
    QList<Card> cards;
    for (int i = 1; i <= 40; ++i) {
        Card c = cardWith(i, {QStringLiteral("id%1@x.jp").arg(i)});
        c.remarkAutoRecord = 5;
        cards << c;
    }
    AddressBook book = bookOf(cards);
    ScriptedPrompter prompter;
    int reports = 0;
    fomRestore d(book, CardLimits{}, prompter,
                 [&](const QString &, const QString &, const QString &) { ++reports; });
    click(page(d).chkRestore());
    click(page(d).optRestoreLevel(2));
    click(page(d).chkIDRepeat());

    // The run button during a run is refused; the close box asks, and No
    // lets the run go on.
    prompter.answer(Prompter::No);
    int steps = 0;
    d.setStepHook([&](qint64, qint64) {
        ++steps;
        if (steps == 3)
            click(page(d).cmdExec());
        if (steps == 5)
            d.close();
    });
    EXPECT_EQ(d.Execute(), 0);
    ASSERT_EQ(prompter.asked.size(), 4);
    EXPECT_EQ(prompter.asked[0].message.text, u"処理中です。"_qs);
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::Warning);
    const Prompter::Message &question = prompter.asked[1].message;
    EXPECT_EQ(question.text, u"処理中ですが、中断しますか？"_qs);
    EXPECT_EQ(question.buttons, Prompter::Buttons(Prompter::Yes) | Prompter::No);
    EXPECT_EQ(question.defaultButton, Prompter::No);
    EXPECT_EQ(prompter.asked[2].message.text, u"40 枚のｶｰﾄﾞ（40 個所）を修復しました。"_qs);
    EXPECT_EQ(prompter.asked[3].message.text, u"IDの重複はありませんでした。"_qs);

    // Yes stops the fixing; the duplicate search does not start.
    for (qsizetype i = 1; i < book.cardCount(); ++i) {
        book.cards[i].remarkAutoRecord = 5;
        book.cards[i].status = StatusBadRemarkFlag;
    }
    prompter.clear();
    prompter.answer(Prompter::Yes);
    fomRestore again(book, CardLimits{}, prompter,
                     [&](const QString &, const QString &, const QString &) { ++reports; });
    click(page(again).chkRestore());
    click(page(again).optRestoreLevel(2));
    click(page(again).chkIDRepeat());
    again.setStepHook([&](qint64 done, qint64) {
        if (done == 5)
            again.close();
    });
    EXPECT_EQ(again.Execute(), 0);
    // The stop comes before the sixth card.
    EXPECT_EQ(prompter.texts(), (QStringList{u"処理中ですが、中断しますか？"_qs,
                                             u"5 枚のｶｰﾄﾞ（5 個所）を修復しました。"_qs}));
    EXPECT_EQ(book.cards[5].remarkAutoRecord, FlagOff);
    EXPECT_EQ(book.cards[6].remarkAutoRecord, 5);
    EXPECT_EQ(reports, 0);

    // Closing when idle cancels.
    fomRestore idle(book, CardLimits{}, prompter, {});
    idle.show();
    click(page(idle).cmdCancel());
    EXPECT_EQ(idle.result(), QDialog::Rejected);
}

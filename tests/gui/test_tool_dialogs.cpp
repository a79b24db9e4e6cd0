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
#include "pages.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"
#include "support/flagbusystate.h"
#include "tools/fomRestore.h"
#include "tools/idconv.h"

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
    const auto p = page(d);
    EXPECT_EQ(d.windowTitle(), u"アドレス帳の減量"_qs);
    EXPECT_EQ(p.lblSize()->text(), u"現在のアドレス帳サイズは "_qs + withThousands(ndbFileSize(book))
                                     + u" Byte あります。"_qs);

    // No level yet: design values, nothing to change until one is chosen.
    EXPECT_EQ(d.level(), -1);
    for (int i = 0; i < SlimLevelCount; ++i)
        EXPECT_FALSE(p.optLevel(i)->isChecked());
    for (QLineEdit *box :
         {p.txtNam(), p.txtID(), p.txtProf(), p.txtMail(), p.txtExcg(), p.txtSay()}) {
        EXPECT_EQ(box->text(), u"100"_qs);
        EXPECT_EQ(box->maxLength(), 3);
        EXPECT_FALSE(box->isEnabled());
    }
    EXPECT_FALSE(p.chkID()->isChecked() || p.chkID()->isEnabled() || p.chkGroup()->isEnabled());

    click(p.optLevel(0));
    EXPECT_EQ(d.level(), 0);
    EXPECT_EQ(p.lblInfo()->text(), u"履歴情報などの古いものだけ除去します"_qs);
    EXPECT_TRUE(p.chkProf()->isChecked() && p.chkProfNone()->isChecked()
                && p.chkSay()->isChecked());
    EXPECT_EQ(p.txtProf()->text(), u"10"_qs);
    EXPECT_FALSE(p.chkID()->isChecked() || p.chkAdd()->isChecked());
    EXPECT_FALSE(p.chkProf()->isEnabled() || p.txtProf()->isEnabled()
                 || p.chkProfNone()->isEnabled());

    click(p.optLevel(2));
    EXPECT_EQ(p.lblInfo()->text(), u"１つのIDと名前だけを残し、その他の情報を全て除去します"_qs);
    EXPECT_TRUE(p.chkID()->isChecked() && p.chkGroup()->isChecked() && p.chkBell()->isChecked());
    EXPECT_EQ(p.txtID()->text(), u"1"_qs);
    EXPECT_EQ(p.txtMail()->text(), u"0"_qs);

    // Custom: the preset stays, and becomes changeable.
    const QColor base = QApplication::palette().color(QPalette::Base);
    const QColor face = QApplication::palette().color(QPalette::Button);
    click(p.optLevel(3));
    EXPECT_EQ(p.lblInfo()->text(), u"設定に従った整理を行います"_qs);
    EXPECT_TRUE(p.chkID()->isChecked() && p.chkID()->isEnabled() && p.txtID()->isEnabled());
    EXPECT_EQ(baseOf(p.txtID()), base);
    EXPECT_TRUE(p.chkGroup()->isEnabled() && p.chkProfNone()->isEnabled());
    click(p.chkID());
    EXPECT_FALSE(p.txtID()->isEnabled());
    EXPECT_EQ(baseOf(p.txtID()), face);
    click(p.chkProf());
    EXPECT_FALSE(p.txtProf()->isEnabled() || p.chkProfNone()->isEnabled());
    EXPECT_EQ(baseOf(p.txtProf()), face);
    click(p.chkProf());
    EXPECT_TRUE(p.txtProf()->isEnabled() && p.chkProfNone()->isEnabled());
    EXPECT_EQ(baseOf(p.txtProf()), base);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST(LightAddressDialog, ChecksBeforeRunning)
{
    AddressBook book = bookOf({cardWith(1, {u"aa@x.jp"_qs, u"bb@x.jp"_qs})});
    const AddressBook original = book;
    ScriptedPrompter prompter;
    fomLightAddress d(book, CardLimits{}, prompter);
    const auto p = page(d);

    // Nothing chosen, with or without a level.
    EXPECT_EQ(d.Execute(), -1);
    click(p.optLevel(3));
    click(p.chkProf());
    click(p.chkProf()); // checked and unchecked again: nothing chosen
    EXPECT_EQ(d.Execute(), -1);
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.asked[1].message.text, u"作業が指示されていません。"_qs);
    EXPECT_EQ(prompter.asked[1].message.icon, Prompter::Icon::Warning);

    click(p.chkID());
    typeText(p.txtID(), u"0"_qs);
    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"IDは最低でも1つ必要です。1以上に設定してください。"_qs);
    typeText(p.txtID(), u"1"_qs);
    click(p.chkNam());
    typeText(p.txtNam(), u"0"_qs);
    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"名前は最低でも1つ必要です。1以上に設定してください。"_qs);

    // A box without a number, even an unchecked one, stops without a word.
    typeText(p.txtNam(), u"1"_qs);
    click(p.chkMail());
    typeText(p.txtMail(), QString()); // emptied while it could be typed in
    click(p.chkMail());
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
    const auto p = page(d);
    EXPECT_EQ(d.windowTitle(), u"カードの一括設定"_qs);
    EXPECT_TRUE(p.optExcg(0)->isChecked() && p.optSay(1)->isChecked());
    for (QRadioButton *o : {p.optExcg(0), p.optExcg(1), p.optSay(0), p.optSay(1)})
        EXPECT_FALSE(o->isEnabled());
    click(p.chkFunc(1));
    EXPECT_TRUE(p.optExcg(0)->isEnabled() && p.optExcg(1)->isEnabled());
    EXPECT_FALSE(p.optSay(0)->isEnabled());
    click(p.chkFunc(1));
    EXPECT_FALSE(p.optExcg(1)->isEnabled());

    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"機能が選択されていません。"_qs);
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::Warning);
    prompter.clear();

    for (int i = 0; i < 3; ++i)
        click(p.chkFunc(i));
    click(p.optExcg(1));
    click(p.optSay(0));
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
    FlagBusyState state;
    const bool &busy = state.busy;
    const bool &interrupt = state.interrupt;
    state.interrupt = true;
    fomRestore d(book, CardLimits{}, prompter, viewer, &state);
    const auto p = page(d);
    EXPECT_EQ(d.windowTitle(), u"ｶｰﾄﾞの修復"_qs);
    EXPECT_EQ(p.lblTotal()->text(), u"4 枚"_qs);
    EXPECT_EQ(p.lblBC(0)->text(), u"1 枚"_qs);
    EXPECT_EQ(p.lblBC(1)->text(), u"1 枚"_qs);
    EXPECT_EQ(p.lblBC(2)->text(), u"1 枚"_qs);
    EXPECT_FALSE(p.chkRestore()->isChecked() || p.chkIDRepeat()->isChecked());
    EXPECT_TRUE(p.optRestoreLevel(0)->isChecked() && p.optIDRepeat(0)->isChecked());
    for (QRadioButton *o : {p.optRestoreLevel(0), p.optRestoreLevel(2), p.optIDRepeat(1)})
        EXPECT_FALSE(o->isEnabled());
    click(p.chkIDRepeat());
    EXPECT_TRUE(p.optIDRepeat(1)->isEnabled());
    EXPECT_FALSE(p.optRestoreLevel(1)->isEnabled());
    click(p.chkIDRepeat());

    EXPECT_EQ(d.Execute(), -1);
    EXPECT_EQ(prompter.lastText(), u"機能が選択されていません。"_qs);
    prompter.clear();

    click(p.chkRestore());
    click(p.optRestoreLevel(1)); // broken and abnormal
    click(p.chkIDRepeat());
    bool busyDuringRun = false;
    d.setStepHook([&](qint64, qint64) {
        busyDuringRun = busy && d.running() && !p.chkIDRepeat()->isEnabled();
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
    const auto p = page(d);
    click(p.chkRestore());
    click(p.optRestoreLevel(2));
    click(p.chkIDRepeat());

    // The run button during a run is refused; the close box asks, and No
    // lets the run go on.
    prompter.answer(Prompter::No);
    int steps = 0;
    d.setStepHook([&](qint64, qint64) {
        ++steps;
        if (steps == 3)
            click(p.cmdExec());
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

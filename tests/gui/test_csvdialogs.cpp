#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "formats/fomCsvGet.h"
#include "formats/fomCsvPut.h"
#include "pages.h"
#include "support/testutil.h"

namespace {

// Clicks the named button of the active modal dialog once it is shown.
void clickLater(const char *button)
{
    QTimer::singleShot(0, [button] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        click(findControl<QPushButton>(w, QString::fromLatin1(button)));
    });
}

} // namespace

TEST(CsvGetDialog, OpensWithAutomaticMappingAndPreview)
{
    const QStringList header{"ID", "名前", "x", "市区町村"};
    const QList<QStringList> preview{{"a@b", "N", "skip"}, {"c", "M", "", "addr"}};
    fomCsvGet w(header, preview);
    const auto p = page(w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("CSV項目の選択"));
    EXPECT_EQ(p.Label1()->text(), QStringLiteral("CSVﾌｧｲﾙの見出し"));
    EXPECT_EQ(p.Label2()->text(), QStringLiteral("アドレス帳の項目"));
    EXPECT_EQ(p.Label3()->text(), QStringLiteral("左のリストを選択してから、右のリストの対応する項目を選択して下さい。"));
    EXPECT_EQ(p.cmdCancel()->text(), QStringLiteral("ｷｬﾝｾﾙ"));

    ASSERT_EQ(p.lstCorvid()->count(), CsvItemChoiceCount);
    EXPECT_EQ(p.lstCorvid()->item(0)->text(), QStringLiteral("ID (メールアドレス)"));
    EXPECT_EQ(p.lstCorvid()->item(19)->text(), QStringLiteral("( なし )"));

    EXPECT_EQ(w.mapping(), (CsvMapping{0, 1, 19, 3}));
    ASSERT_EQ(p.lstCsv()->count(), 4);
    EXPECT_EQ(p.lstCsv()->item(0)->text(),
              QStringLiteral("ID") + QString(20, u' ') + QStringLiteral(" → ID (メールアドレス)"));
    EXPECT_EQ(p.lstCsv()->item(2)->text(), csvHeaderLine(u"x", CsvItemNone));

    // Preview: one column per CSV column, titled with the item it goes to;
    // short records leave cells empty.
    ASSERT_EQ(p.tblPreview()->columnCount(), 4);
    ASSERT_EQ(p.tblPreview()->rowCount(), 2);
    EXPECT_EQ(p.tblPreview()->item(0, 0)->text(), QStringLiteral("a@b"));
    EXPECT_EQ(p.tblPreview()->item(0, 3)->text(), QString());
    EXPECT_EQ(p.tblPreview()->item(1, 3)->text(), QStringLiteral("addr"));
    EXPECT_TRUE(p.tblPreview()->horizontalHeaderItem(1)->text().endsWith(QStringLiteral("名前")));
    EXPECT_EQ(p.tblPreview()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(CsvGetDialog, SelectingColumnsAndAssigningAnItem)
{
    fomCsvGet w(QStringList{"ID", "名前", "x", "Mail"}, {{"1", "2", "3", "4"}});
    const auto p = page(w);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // One column: its item is selected on the right.
    clickRow(p.lstCsv(), 1);
    ASSERT_EQ(p.lstCorvid()->selectedItems().size(), 1);
    EXPECT_EQ(p.lstCorvid()->row(p.lstCorvid()->selectedItems().first()), CsvItemNames);

    // Two columns with the same item: still selected.
    clickRow(p.lstCsv(), 0);
    clickRow(p.lstCsv(), 3, Qt::ControlModifier);
    ASSERT_EQ(p.lstCorvid()->selectedItems().size(), 1);
    EXPECT_EQ(p.lstCorvid()->row(p.lstCorvid()->selectedItems().first()), CsvItemIds);
    EXPECT_EQ(w.mapping(), (CsvMapping{0, 1, 19, 0})); // showing changed nothing

    // Two columns with different items: nothing selected on the right.
    clickRow(p.lstCsv(), 1);
    clickRow(p.lstCsv(), 2, Qt::ControlModifier);
    EXPECT_TRUE(p.lstCorvid()->selectedItems().isEmpty());
    EXPECT_EQ(w.mapping(), (CsvMapping{0, 1, 19, 0}));

    // Choosing an item maps both columns and rewrites their lines and titles.
    clickRow(p.lstCorvid(), CsvItemMemo);
    EXPECT_EQ(w.mapping(), (CsvMapping{0, 10, 10, 0}));
    EXPECT_EQ(p.lstCsv()->item(1)->text(), csvHeaderLine(u"名前", CsvItemMemo));
    EXPECT_EQ(p.lstCsv()->item(2)->text(), csvHeaderLine(u"x", CsvItemMemo));
    EXPECT_TRUE(p.tblPreview()->horizontalHeaderItem(2)->text().endsWith(QStringLiteral("メモ")));
    // Keyboard moves on the right list assign as well.
    p.lstCorvid()->setFocus();
    QTest::keyClick(p.lstCorvid(), Qt::Key_Down);
    EXPECT_EQ(w.mapping(), (CsvMapping{0, 11, 11, 0}));

    // With nothing selected on the left, choosing an item changes nothing.
    selectRows(p.lstCsv(), {});
    clickRow(p.lstCorvid(), CsvItemNone);
    EXPECT_EQ(w.mapping(), (CsvMapping{0, 11, 11, 0}));
}

TEST(CsvGetDialog, ViewReturnsMappingOnlyAfterOk)
{
    const QStringList header{"Tel", "?"};
    CsvMapping mapping{7, 7};
    clickLater("cmdCancel");
    EXPECT_EQ(fomCsvGet::View(header, {}, mapping), -1);
    EXPECT_EQ(mapping, (CsvMapping{7, 7}));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(fomCsvGet::View(header, {}, mapping), -1);

    clickLater("cmdExit");
    EXPECT_EQ(fomCsvGet::View(header, {}, mapping), 0);
    EXPECT_EQ(mapping, (CsvMapping{4, 19}));

    // Through the mapper interface the read sees the same answers.
    clickLater("cmdCancel");
    CsvMapping unused;
    CsvSample sample;
    sample.header = header;
    EXPECT_FALSE(csvGetDialogMapper(nullptr)(sample, unused));
}

TEST(CsvGetDialog, ChoosingAnEncodingReadsTheHeaderAgain)
{
    // A file whose header reads as Japanese only in UTF-8.
    int rereads = 0;
    std::function<CsvSample(TextEncoding)> reread = [&](TextEncoding e) {
        ++rereads;
        const bool utf8 = e == TextEncoding::Utf8;
        CsvSample s;
        s.encoding = e;
        s.header = QStringList{utf8 ? u"名前"_qs : u"蜷榊燕"_qs, u"Mail"_qs};
        s.preview = {{utf8 ? u"山田"_qs : u"螻ｱ逕ｰ"_qs, u"a@b"_qs}};
        s.reread = reread;
        return s;
    };
    const CsvSample detected = reread(TextEncoding::Cp932);
    rereads = 0;

    fomCsvGet w(detected);
    const auto p = page(w);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QComboBox *encoding = p.cboEncoding();
    QListWidget *columns = p.lstCsv();
    QTableWidget *preview = p.tblPreview();
    ASSERT_TRUE(encoding && columns && preview);
    EXPECT_TRUE(encoding->isEnabled());
    ASSERT_EQ(encoding->count(), 3);
    EXPECT_EQ(encoding->currentText(), u"Shift_JIS (CP932)"_qs);
    EXPECT_EQ(p.lblEncoding()->text(), u"文字コード"_qs);
    EXPECT_EQ(w.mapping(), (CsvMapping{CsvItemNone, CsvItemIds}));

    encoding->setFocus();
    QTest::keyClick(encoding, Qt::Key_Down);
    EXPECT_EQ(encoding->currentText(), u"UTF-8"_qs);
    EXPECT_EQ(rereads, 1);
    EXPECT_EQ(w.sample().encoding, TextEncoding::Utf8);
    EXPECT_EQ(w.mapping(), (CsvMapping{CsvItemNames, CsvItemIds}));
    EXPECT_EQ(columns->item(0)->text(), csvHeaderLine(u"名前", CsvItemNames));
    EXPECT_EQ(preview->item(0, 0)->text(), u"山田"_qs);
    EXPECT_TRUE(preview->horizontalHeaderItem(0)->text().startsWith(u"名前"_qs));

    // The items only read are offered after "( なし )".
    QListWidget *items = p.lstCorvid();
    ASSERT_EQ(items->count(), 25);
    EXPECT_EQ(items->item(CsvItemFamilyName)->text(), u"姓"_qs);
    EXPECT_EQ(items->item(CsvItemBirthDayOfMonth)->text(), u"誕生日(日)"_qs);

    // OK hands back the mapping and the sample of the encoding chosen.
    CsvSample sample = detected;
    CsvMapping mapping;
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<fomCsvGet *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        QComboBox *e = page(d).cboEncoding();
        e->setFocus();
        QTest::keyClick(e, Qt::Key_End); // UTF-16
        click(page(d).cmdExit());
    });
    EXPECT_EQ(fomCsvGet::View(sample, mapping), 0);
    EXPECT_EQ(sample.encoding, TextEncoding::Utf16);
    EXPECT_EQ(mapping, (CsvMapping{CsvItemNone, CsvItemIds}));

    // Text without a file behind it: the encoding is shown, not offered.
    fomCsvGet plain(QStringList{u"ID"_qs}, {});
    EXPECT_FALSE(page(plain).cboEncoding()->isEnabled());
}

TEST(CsvPutDialog, DefaultsMarksAndSample)
{
    fomCsvPut w(QStringLiteral("@nifty.example"));
    const auto p = page(w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("CSV書き出しの設定"));
    EXPECT_EQ(p.Frame1()->title(), QStringLiteral("書き出し項目"));
    EXPECT_EQ(p.Frame2()->title(), QStringLiteral("その他設定"));
    EXPECT_EQ(p.chkFukusuu()->text(), QStringLiteral("複数ﾃﾞｰﾀは列に分割する"));
    EXPECT_EQ(p.chkNiftyDomain()->text(), QStringLiteral("NiftyのIDにﾄﾞﾒｲﾝを追加する"));
    EXPECT_EQ(p.cmdExit()->text(), QStringLiteral("OK"));
    EXPECT_EQ(p.cmdCancel()->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(p.lblIdToAddress()->text(), QStringLiteral("(ABC01234 → ABC01234@nifty.example)"));

    const char *names[] = {"chkID",    "chkNam",   "chkPost",   "chkAdd",    "chkTel",
                           "chkFax",   "chkHandy", "chkBell",   "chkBirth",  "chkGroup",
                           "chkMemo",  "chkProf",  "chkSRBook", "chkExcFlg", "chkExcg",
                           "chkSayFlg", "chkSay",  "chkCDate",  "chkUDate"};
    const QStringList captions{"ID", "名前", "郵便番号", "住所", "電話番号", "FAX番号", "携帯電話",
                               "ポケベル", "誕生日", "グループ", "メモ", "プロフィール", "送受信簿",
                               "交流記録の自動記録", "交流記録", "発言記録の自動記録", "発言記録", "作成日時", "更新日時"};
    for (int i = 0; i < CsvCardItemCount; ++i) {
        QCheckBox *c = w.findChild<QCheckBox *>(QString::fromLatin1(names[i]));
        ASSERT_NE(c, nullptr) << names[i];
        EXPECT_EQ(c->text(), captions[i]);
        EXPECT_TRUE(c->isChecked());
    }
    EXPECT_EQ(w.options(), CsvExportOptions());

    // Eight "*" marks beside the multi-valued items, and the legend.
    QStringList marks;
    for (QLabel *l : w.findChildren<QLabel *>(QStringLiteral("lblMark")))
        marks << l->text();
    EXPECT_EQ(marks.count(QStringLiteral("*")), 8);
    EXPECT_TRUE(marks.contains(QStringLiteral("* は複数データです")));
}

TEST(CsvPutDialog, ViewTakesCheckBoxesOnOk)
{
    CsvExportOptions options;
    QTimer::singleShot(0, [] {
        auto *w = qobject_cast<fomCsvPut *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        setChecked(page(w).chkItem(CsvItemMemo), false);
        setChecked(page(w).chkFukusuu(), true);
        click(page(w).cmdCancel());
    });
    EXPECT_FALSE(fomCsvPut::View(options, QStringLiteral("@x")));
    EXPECT_EQ(options, CsvExportOptions());

    QTimer::singleShot(0, [] {
        auto *w = qobject_cast<fomCsvPut *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        // A dialog opened again starts from the defaults.
        EXPECT_TRUE(page(w).chkItem(CsvItemMemo)->isChecked());
        EXPECT_FALSE(page(w).chkFukusuu()->isChecked());
        setChecked(page(w).chkItem(CsvItemMemo), false);
        setChecked(page(w).chkFukusuu(), true);
        setChecked(page(w).chkNiftyDomain(), true);
        click(page(w).cmdExit());
    });
    EXPECT_TRUE(csvPutDialogAsker(nullptr, QStringLiteral("@x"))(options));
    CsvExportOptions expected;
    expected.items[CsvItemMemo] = false;
    expected.splitColumns = true;
    expected.addDomain = true;
    EXPECT_EQ(options, expected);
}

// The page-object helpers the dialog tests act through.

#include <gtest/gtest-spi.h>

#include "pages.h"
#include "support/testutil.h"

TEST(Pages, MissingControlFailsWithItsName)
{
    fomEudoraPut dlg;
    QPushButton *missing = nullptr;
    EXPECT_NONFATAL_FAILURE(missing = page(dlg).control<QPushButton>(u"cmdNowhere"_qs),
                            "no QPushButton named \"cmdNowhere\" in fomEudoraPut");
    ASSERT_NE(missing, nullptr); // a stand-in, so the test can go on
    EXPECT_NONFATAL_FAILURE(page(dlg).control<QLineEdit>(u"cmdExit"_qs),
                            "no QLineEdit named \"cmdExit\"");
    EXPECT_EQ(page(dlg).cmdExit()->objectName(), u"cmdExit"_qs);
}

TEST(Pages, TypingReplacesTheTextWithAnyCharacters)
{
    QLineEdit box(u"old"_qs);
    typeText(&box, u"山田 \U00020BB7"_qs);
    EXPECT_EQ(box.text(), u"山田 \U00020BB7"_qs);
    typeText(&box, QString());
    EXPECT_TRUE(box.text().isEmpty());
}

TEST(Pages, ClicksSelectRowsAndToggleWideCheckBoxes)
{
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.addItems({u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs});
    selectRows(&list, {2, 0, 3});
    QStringList selected;
    for (const QListWidgetItem *item : list.selectedItems())
        selected << item->text();
    selected.sort();
    EXPECT_EQ(selected, (QStringList{u"a"_qs, u"c"_qs, u"d"_qs}));
    EXPECT_EQ(list.currentRow(), 2);
    selectRows(&list, {});
    EXPECT_TRUE(list.selectedItems().isEmpty());

    QCheckBox check(u"x"_qs);
    check.resize(400, 30); // far wider than its box and caption
    click(&check);
    EXPECT_TRUE(check.isChecked());
    setChecked(&check, false);
    EXPECT_FALSE(check.isChecked());
}

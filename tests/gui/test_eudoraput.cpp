#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "formats/fomEudoraPut.h"
#include "pages.h"
#include "support/testutil.h"

TEST(EudoraPutDialog, PreselectsAllIdsAndGivesTheChosenMode)
{
    fomEudoraPut dlg;
    EXPECT_EQ(dlg.windowTitle(), eudoraPutTexts().caption);
    EXPECT_EQ(page(dlg).Frame1()->title(), eudoraPutTexts().frame);
    EXPECT_TRUE(page(dlg).optMultiID(1)->isChecked());
    EXPECT_EQ(dlg.mode(), EudoraAllIds);
    setChecked(page(dlg).optMultiID(0), true);
    EXPECT_EQ(dlg.mode(), EudoraFirstIdOnly);
}

TEST(EudoraPutDialog, AskReturnsMinusOneOnCancel)
{
    QTimer::singleShot(0, [] {
        auto *dlg = qobject_cast<fomEudoraPut *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        click(page(dlg).cmdCancel());
    });
    EXPECT_EQ(fomEudoraPut::Ask(nullptr), -1);
    QTimer::singleShot(0, [] {
        auto *dlg = qobject_cast<fomEudoraPut *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        setChecked(page(dlg).optMultiID(0), true);
        click(page(dlg).cmdExit());
    });
    EXPECT_EQ(fomEudoraPut::Ask(nullptr), EudoraFirstIdOnly);
}

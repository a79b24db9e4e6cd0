#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "formats/fomEudoraPut.h"
#include "support/testutil.h"

TEST(EudoraPutDialog, PreselectsAllIdsAndGivesTheChosenMode)
{
    fomEudoraPut dlg;
    EXPECT_EQ(dlg.windowTitle(), eudoraPutTexts().caption);
    EXPECT_EQ(dlg.Frame1->title(), eudoraPutTexts().frame);
    EXPECT_TRUE(dlg.optMultiID[1]->isChecked());
    EXPECT_EQ(dlg.mode(), EudoraAllIds);
    dlg.optMultiID[0]->setChecked(true);
    EXPECT_EQ(dlg.mode(), EudoraFirstIdOnly);
}

TEST(EudoraPutDialog, AskReturnsMinusOneOnCancel)
{
    QTimer::singleShot(0, [] {
        auto *dlg = qobject_cast<fomEudoraPut *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->cmdCancel->click();
    });
    EXPECT_EQ(fomEudoraPut::Ask(nullptr), -1);
    QTimer::singleShot(0, [] {
        auto *dlg = qobject_cast<fomEudoraPut *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->optMultiID[0]->setChecked(true);
        dlg->cmdExit->click();
    });
    EXPECT_EQ(fomEudoraPut::Ask(nullptr), EudoraFirstIdOnly);
}

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "mainwindow/fomBrindle.h"
#include "mainwindow/menutable.h"
#include "support/testutil.h"

TEST(MainWindowLayout, EveryMenuEntryAndToolButtonIsFoundByName)
{
    fomBrindle w;
    for (int i = 0; i < MainMenuEntryCount; ++i) {
        const QString name = QString::fromLatin1(MainMenuEntries[i].name);
        if (name.endsWith(u'*'))
            continue;
        QAction *a = w.findChild<QAction *>(name);
        if (!a && w.findChild<QMenu *>(name))
            a = w.findChild<QMenu *>(name)->menuAction();
        ASSERT_NE(a, nullptr) << name.toStdString();
        if (QString::fromUtf8(MainMenuEntries[i].caption) != u"-"_qs) {
            EXPECT_EQ(a->text(), QString::fromUtf8(MainMenuEntries[i].caption));
        }
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(w.findChild<QAction *>(QStringLiteral("mnuFileHistory%1").arg(i)), nullptr);
    // Toolbar buttons in tab order with their tooltips.
    QList<QToolButton *> buttons = w.picToolBar->findChildren<QToolButton *>();
    ASSERT_EQ(buttons.size(), ToolButtonEntryCount);
    for (int i = 0; i < ToolButtonEntryCount; ++i) {
        EXPECT_EQ(buttons[i]->objectName(), QString::fromLatin1(ToolButtonEntries[i].name));
        EXPECT_EQ(buttons[i]->toolTip(), QString::fromUtf8(ToolButtonEntries[i].toolTip));
    }
    EXPECT_EQ(w.menuBar()->actions().size(), 6);
}

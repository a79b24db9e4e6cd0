// The help commands open the help document in the viewer; a viewer that
// cannot be started is told, with the file to open by hand.
#include <QDir>
#include <QTest>
#include <QToolButton>

#include "mainwindowfixture.h"
#include "shell/help.h"
#include "support/fakeurlopener.h"
#include "support/testutil.h"

TEST_F(MainWindowTest, HelpOpensInTheViewerOrTellsWhereTheFileIs)
{
    const QString doc = dir.filePath(QString::fromUtf16(HelpDocumentName));
    ASSERT_TRUE(writeAll(doc, "<html></html>"));
    const QString shown = QDir::toNativeSeparators(doc);
    const struct {
        const char *control;
        QString helpFile;
        bool viewerStarts;
        const char *anchor; // nullptr: the viewer is not called
        QString message;    // "" none; otherwise how the message ends
    } cases[] = {
        {"cmdHelpTopic", doc, true, "context1", {}},
        {"mnuHelpTopic", doc, true, "contents", {}},
        {"cmdHelpTopic", doc, false, "context1", shown},
        {"mnuHelpTopic", doc, false, "contents", shown},
        {"mnuHelpTopic", {}, true, nullptr, u"関連付けられたﾍﾙﾌﾟが存在しません。"_qs},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.control) + (c.viewerStarts ? " starts" : " fails"));
        FakeUrlOpener opener(c.viewerStarts);
        window->setUrlOpener(&opener);
        shell->helpFile = c.helpFile;
        prompter.clear();
        const QString name = QString::fromLatin1(c.control);
        if (auto *button = window->findChild<QToolButton *>(name))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            window->findChild<QAction *>(name)->trigger();

        ASSERT_EQ(opener.opened.size(), c.anchor ? 1 : 0);
        if (c.anchor) {
            EXPECT_EQ(opener.opened[0].toLocalFile(), doc);
            EXPECT_EQ(opener.opened[0].fragment(), QString::fromLatin1(c.anchor));
        }
        ASSERT_EQ(prompter.asked.size(), c.message.isEmpty() ? 0 : 1);
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(prompter.lastText().endsWith(c.message))
                << prompter.lastText().toStdString();
        }
    }
    window->setUrlOpener(nullptr);
}

// The help commands of the main window: the document opens in the viewer
// at a topic or at its contents, and a viewer that cannot be started is
// told, with the file to open by hand.
#include <QDir>
#include <QTest>
#include <QToolButton>

#include "mainwindowfixture.h"
#include "shell/help.h"
#include "support/fakeurlopener.h"
#include "support/testutil.h"

namespace {

struct HelpCase
{
    const char *control;
    bool viewerStarts;
    const char *fragment;
};

} // namespace

TEST_F(MainWindowTest, HelpOpensInTheViewerOrTellsWhereTheFileIs)
{
    const QString doc = dir.filePath(QString::fromUtf16(HelpDocumentName));
    ASSERT_TRUE(writeAll(doc, "<html></html>"));
    shell->helpFile = doc;
    const HelpCase cases[] = {
        {"cmdHelpTopic", true, "context1"},
        {"mnuHelpTopic", true, "contents"},
        {"cmdHelpTopic", false, "context1"},
        {"mnuHelpTopic", false, "contents"},
    };
    for (const HelpCase &c : cases) {
        SCOPED_TRACE(std::string(c.control) + (c.viewerStarts ? " starts" : " fails"));
        FakeUrlOpener opener(c.viewerStarts);
        window->setUrlOpener(&opener);
        prompter.clear();
        const QString name = QString::fromLatin1(c.control);
        if (auto *button = window->findChild<QToolButton *>(name))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            window->findChild<QAction *>(name)->trigger();

        ASSERT_EQ(opener.opened.size(), 1);
        EXPECT_EQ(opener.opened[0].toLocalFile(), QFileInfo(doc).absoluteFilePath());
        EXPECT_EQ(opener.opened[0].fragment(), QString::fromLatin1(c.fragment));
        if (c.viewerStarts) {
            EXPECT_TRUE(prompter.asked.isEmpty());
            continue;
        }
        ASSERT_EQ(prompter.asked.size(), 1);
        const Prompter::Message &m = prompter.asked[0].message;
        EXPECT_TRUE(m.text.endsWith(QDir::toNativeSeparators(QFileInfo(doc).absoluteFilePath())))
            << m.text.toStdString();
        EXPECT_EQ(m.buttons, Prompter::Buttons(Prompter::Ok));
        EXPECT_EQ(m.icon, Prompter::Icon::Warning);
    }
    window->setUrlOpener(nullptr);
}

TEST_F(MainWindowTest, HelpWithoutAFileNeverCallsTheViewer)
{
    FakeUrlOpener opener;
    window->setUrlOpener(&opener);
    shell->helpFile.clear();
    window->findChild<QAction *>(u"mnuHelpTopic"_qs)->trigger();
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("ﾍﾙﾌﾟを表示できません。 このﾌﾟﾛｸﾞﾗﾑに関連付けられたﾍﾙﾌﾟが存在しません。"));
    window->setUrlOpener(nullptr);
}

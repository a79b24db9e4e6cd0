// What the main window hands to the windows of the lower layers: the report
// window's save and the comparison dialog's file choice.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/paths.h"
#include "mainwindowfixture.h"
#include "modaldriver.h"
#include "support/testutil.h"

namespace {

using ToolWiring = MainWindowTest;

// Opens the file information report and presses its save button.
QString saveFileInformation(QAction *info)
{
    QString text;
    whenModal<QDialog>([&text](QDialog *report) {
        text = report->findChild<QWidget *>(u"txtReport"_qs)->property("plainText").toString();
        QTest::mouseClick(report->findChild<QPushButton *>(u"cmdFileOut"_qs), Qt::LeftButton);
        report->reject();
    });
    info->trigger();
    return text;
}

TEST_F(ToolWiring, TheReportWindowSavesThroughTheTextFileDialog)
{
    prompter.answerFile(generated(u"info.ndb"_qs, 3));
    act("mnuFileOpen")->trigger();
    prompter.clear();

    const QString target = dir.filePath(u"report"_qs);
    prompter.answerFile(target);
    const QString shown = saveFileInformation(act("mnuFileInfo"));
    ASSERT_EQ(prompter.fileRequests.size(), 1);
    EXPECT_EQ(prompter.fileRequests[0].fileName, u"ファイル情報"_qs);
    // The text dialog's own filter adds ".txt"; the file holds the report
    // with its CR LF line ends, in CP932.
    const QString written = readTextFile(target + u".txt"_qs);
    EXPECT_TRUE(written.contains(u"\r\n"_qs));
    EXPECT_EQ(QString(written).replace(u"\r\n"_qs, u"\n"_qs), shown);
    EXPECT_TRUE(prompter.asked.isEmpty());

    // Cancelling the dialog writes nothing and says nothing.
    prompter.clear();
    prompter.answerFile(QString());
    saveFileInformation(act("mnuFileInfo"));
    EXPECT_EQ(prompter.fileRequests.size(), 1);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(ToolWiring, TheComparisonChoosesBooksWithTheAddressBookDialog)
{
    window->document().shell().settings.compareNewPath = u"/home/u/address.nd1"_qs;
    prompter.answerFile(u"/x/Address.nd2"_qs);
    QString chosen;
    whenModal<QDialog>([&chosen](QDialog *d) {
        QTest::mouseClick(d->findChild<QPushButton *>(u"cmdSelAdd2"_qs), Qt::LeftButton);
        chosen = d->findChild<QLineEdit *>(u"txtAdd2"_qs)->text();
        d->reject();
    });
    act("mnuCollectComp")->trigger();
    ASSERT_EQ(prompter.fileRequests.size(), 1);
    EXPECT_EQ(prompter.fileRequests[0].title, u"入力ﾌｧｲﾙの選択"_qs);
    EXPECT_EQ(prompter.fileRequests[0].folder, u"/home/u/"_qs);
    EXPECT_TRUE(prompter.fileRequests[0].filters.value(0).patterns.contains(u"*.nd?"_qs));
    EXPECT_EQ(chosen, u"/x/Address.nd2"_qs);
}

} // namespace

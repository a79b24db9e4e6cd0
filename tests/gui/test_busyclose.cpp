// Closing the main window while it is busy: every close request that comes
// in while a long operation runs asks whether to stop it, whenever it is
// let in, and the window stays open.
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QWindow>

#include "mainwindowfixture.h"
#include "shell/dispatch.h"
#include "support/testutil.h"

namespace {

const QString BusyQuestion = QStringLiteral("処理中です。中断しますか？");

// A close request from the window system: it reaches the window's handle.
void postWindowClose(QWidget *window)
{
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);
}

} // namespace

class BusyCloseTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window->show();
        formats = builtInFileFormats();
        window->session().formats = &formats;
        path = generated(u"big.ndb"_qs, 30);
    }
    // Reads address books through step, which runs inside the read with the
    // file's context (its progress is the window's check between cards).
    void readThrough(std::function<int(const QString &, AddressBook &, const FileIo &)> step)
    {
        formats.byKind[FileKindAddressBook].read = std::move(step);
    }
    int questions() const { return int(prompter.texts().count(BusyQuestion)); }

    FileFormats formats;
    QString path;
};

TEST_F(BusyCloseTest, ACloseAfterTheLastCheckIsStillAskedAndTheWindowStaysOpen)
{
    // The request arrives when the book is in place and the list is built,
    // just before busy mode ends: no check of the work follows.
    bool posted = false;
    QObject::connect(window.get(), &fomBrindle::bookChanged, window.get(), [&] {
        if (!posted && window->session().busy) {
            posted = true;
            postWindowClose(window.get());
        }
    });
    window->Open(path, FileKindAddressBook);
    QCoreApplication::processEvents();
    ASSERT_TRUE(posted);
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->session().busy);
    EXPECT_EQ(window->session().currentFileName, path);
}

TEST_F(BusyCloseTest, YesDuringTheReadStopsItAndLeavesTheBookAsItWas)
{
    const FileReader real = builtInFileFormats().byKind[FileKindAddressBook].read;
    bool readGoesOn = true;
    readThrough([&](const QString &p, AddressBook &book, const FileIo &io) {
        // A long step without checks, during which the user closes; the
        // window's events then run in a nested loop.
        postWindowClose(window.get());
        QCoreApplication::processEvents();
        readGoesOn = keepGoing(io.progress, 0, 1);
        return readGoesOn ? real(p, book, io) : -1;
    });
    prompter.answer(Prompter::Yes);
    window->Open(path, FileKindAddressBook);
    QCoreApplication::processEvents();
    EXPECT_FALSE(readGoesOn);
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->session().currentFileName.isEmpty());
    EXPECT_EQ(window->session().book.cardCount(), 1);
    EXPECT_FALSE(window->session().busy);
    EXPECT_FALSE(window->session().interruptRequested);
}

TEST_F(BusyCloseTest, ACloseWhileAnotherWindowIsModalIsAskedAtTheNextCheck)
{
    const FileReader real = builtInFileFormats().byKind[FileKindAddressBook].read;
    int askedWhileModal = -1;
    readThrough([&](const QString &p, AddressBook &book, const FileIo &io) {
        // A dialog of the read is up (a question about the file) when the
        // close request comes in.
        QDialog other(window.get());
        other.setObjectName(u"otherDialog"_qs);
        QTimer::singleShot(0, &other, [&] {
            QCoreApplication::postEvent(window.get(), new QCloseEvent);
            QCoreApplication::processEvents();
            askedWhileModal = questions();
            other.accept();
        });
        other.exec();
        if (!keepGoing(io.progress, 0, 1))
            return -1;
        return real(p, book, io);
    });
    prompter.answer(Prompter::Yes);
    window->Open(path, FileKindAddressBook);
    QCoreApplication::processEvents();
    EXPECT_EQ(askedWhileModal, 0);
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(window->session().currentFileName.isEmpty()); // the read stopped
    EXPECT_TRUE(window->isVisible());
}

TEST_F(BusyCloseTest, ACloseWhenIdleClosesWithoutTheBusyQuestion)
{
    window->Open(path, FileKindAddressBook);
    postWindowClose(window.get());
    QCoreApplication::processEvents();
    EXPECT_EQ(questions(), 0);
    EXPECT_FALSE(window->isVisible());
}

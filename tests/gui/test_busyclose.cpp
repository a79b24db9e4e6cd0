// Closing the main window while it is busy: a close request asks whether
// to stop the work whenever it is let in before busy mode ends, and the
// window stays open.
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QWindow>

#include "mainwindowfixture.h"
#include "shell/dispatch.h"

class BusyClose : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window->show();
        formats = builtInFileFormats();
        window->document().setFormats(&formats);
        path = generated(u"big.ndb"_qs, 30);
    }
    // Address books are read through step, which gets the real reader.
    void readThrough(std::function<int(const FileReader &, const QString &, AddressBook &,
                                       const FileIo &)> step)
    {
        formats.byKind[FileKindAddressBook].read = [step](const QString &p, AddressBook &b,
                                                          const FileIo &io) {
            return step(builtInFileFormats().byKind[FileKindAddressBook].read, p, b, io);
        };
    }
    // A close request from the window system.
    void postClose() { QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent); }
    void open()
    {
        window->Open(path, FileKindAddressBook);
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->document().isBusy() || window->document().interruptRequested());
    }
    int questions() const { return int(prompter.texts().count(u"処理中です。中断しますか？"_qs)); }

    FileFormats formats;
    QString path;
};

TEST_F(BusyClose, ARequestAfterTheLastCheckIsAskedBeforeBusyModeEnds)
{
    // The request comes when the list is built: no check of the work follows.
    QObject::connect(window->listModel(), &QAbstractItemModel::modelReset, window.get(), [this] {
        if (window->document().isBusy() && questions() == 0)
            postClose();
    });
    open();
    EXPECT_EQ(questions(), 1);
    EXPECT_EQ(window->document().fileName(), path);
}

TEST_F(BusyClose, YesInANestedEventLoopStopsTheReadAtTheNextCheck)
{
    bool readGoesOn = true;
    readThrough([&](const FileReader &real, const QString &p, AddressBook &b, const FileIo &io) {
        postClose();
        QCoreApplication::processEvents();
        readGoesOn = keepGoing(io.progress, 0, 1);
        return readGoesOn ? real(p, b, io) : -1;
    });
    prompter.answer(Prompter::Yes);
    open();
    EXPECT_FALSE(readGoesOn);
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(window->document().fileName().isEmpty());
}

TEST_F(BusyClose, ARequestWhileADialogIsUpIsAskedAtTheNextCheck)
{
    int askedWithDialogUp = -1;
    readThrough([&](const FileReader &real, const QString &p, AddressBook &b, const FileIo &io) {
        QDialog other(window.get());
        QTimer::singleShot(0, &other, [&] {
            QCoreApplication::postEvent(window.get(), new QCloseEvent);
            QCoreApplication::processEvents();
            askedWithDialogUp = questions();
            other.accept();
        });
        other.exec();
        return keepGoing(io.progress, 0, 1) ? real(p, b, io) : -1;
    });
    prompter.answer(Prompter::Yes);
    open();
    EXPECT_EQ(askedWithDialogUp, 0);
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(window->document().fileName().isEmpty()); // the read stopped
}

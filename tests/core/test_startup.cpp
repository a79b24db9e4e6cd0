#include <QTemporaryDir>

#include "shell/startup.h"
#include "support/fakehost.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

TEST(WindowPlacement, UnsavedCentresSavedRestoresAndLostComesBack)
{
    const QList<QRect> screens{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1024)};
    const QSize designed(800, 600);
    Settings s;
    for (int width : {-1, 0}) {
        s.width = width;
        const WindowPlacement p = placeMainWindow(s, screens, designed, 96);
        EXPECT_EQ(p.geometry, QRect(560, 220, 800, 600));
        EXPECT_EQ(p.state, 0);
    }

    // 1440 twips per inch: at 96 dpi 15 twips a pixel, at 144 dpi 10.
    s.left = 1500;
    s.top = 3000;
    s.width = 12000;
    s.height = 9000;
    s.state = 2;
    WindowPlacement p = placeMainWindow(s, screens, designed, 96);
    EXPECT_EQ(p.geometry, QRect(100, 200, 800, 600));
    EXPECT_EQ(p.state, 2);
    EXPECT_EQ(placeMainWindow(s, screens, designed, 144).geometry, QRect(150, 300, 1200, 900));

    // On the second screen it stays; off every screen it comes back, cut to fit.
    s.left = 2000 * 15;
    EXPECT_EQ(placeMainWindow(s, screens, designed, 96).geometry.x(), 2000);
    s.left = 5000 * 15;
    s.width = 3000 * 15;
    p = placeMainWindow(s, screens, designed, 96);
    EXPECT_EQ(p.geometry, QRect(0, 220, 1920, 600));
    s.state = 9;
    EXPECT_EQ(placeMainWindow(s, screens, designed, 96).state, 0);

    Settings back;
    recordPlacement(back, QRect(100, 200, 800, 600), 2, 96);
    EXPECT_EQ(back.left, 1500);
    EXPECT_EQ(back.top, 3000);
    EXPECT_EQ(back.width, 12000);
    EXPECT_EQ(back.height, 9000);
    EXPECT_EQ(back.state, 2);
    EXPECT_EQ(twipsFromPixels(pixelsFromTwips(12345, 120), 120), 12348);
}

TEST(ShutdownQuestions, BusyAsksToStopAndModifiedBookAsksBeforeLoss)
{
    ScriptedPrompter prompter;
    AddressBook empty;
    AddressBook withCard;
    withCard.cards.append(Card::newCard());
    AddressBook withGroup;
    withGroup.groupList() << QStringLiteral("g");
    bool interrupt = false;

    // Busy: "No" keeps running, "Yes" requests the stop; the close is refused.
    prompter.answer(Prompter::No);
    EXPECT_FALSE(mayCloseMainWindow(true, interrupt, withCard, true, prompter));
    EXPECT_FALSE(interrupt);
    prompter.answer(Prompter::Yes);
    EXPECT_FALSE(mayCloseMainWindow(true, interrupt, withCard, true, prompter));
    EXPECT_TRUE(interrupt);
    EXPECT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("処理中です。中断しますか？"));
    EXPECT_EQ(prompter.asked[0].message.defaultButton, Prompter::No);
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::None);
    // A stop already requested: no question, still refused.
    EXPECT_FALSE(mayCloseMainWindow(true, interrupt, withCard, true, prompter));
    EXPECT_EQ(prompter.asked.size(), 2);

    // Not busy: only a modified book with content asks.
    prompter.clear();
    EXPECT_TRUE(mayCloseMainWindow(false, interrupt, empty, true, prompter));
    EXPECT_TRUE(mayCloseMainWindow(false, interrupt, withCard, false, prompter));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_FALSE(mayCloseMainWindow(false, interrupt, withGroup, true, prompter)); // default No
    prompter.answer(Prompter::Yes);
    EXPECT_TRUE(mayCloseMainWindow(false, interrupt, withCard, true, prompter));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("編集中のｱﾄﾞﾚｽ帳が失われますが、宜しいですか？"));
    EXPECT_EQ(prompter.asked[0].message.defaultButton, Prompter::No);
}

TEST(ShellSession, LoadsSavesAndNeverWarnsWhenCorvidIsAway)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(program);
    writeAll(program + QStringLiteral("/Brindle.ini"), "[Settings]\r\nWidth=4500\r\n");
    QDir().mkpath(dir.filePath(QStringLiteral("share/brindle")));
    const QString help = dir.filePath(QStringLiteral("share/brindle/brindle-help.html"));
    writeAll(help, "<html></html>");

    auto probe = std::make_unique<FakeHostProbe>();
    const FakeHostProbe &corvid = *probe;
    ShellSession session(program, WineHost(dir.filePath(QStringLiteral("no-prefix"))),
                         std::move(probe));
    EXPECT_EQ(session.settingsPath, program + QStringLiteral("/Brindle.ini"));
    EXPECT_EQ(&session.probe, &corvid);
    ScriptedPrompter prompter;
    session.start(prompter);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(corvid.calls, 1);
    EXPECT_EQ(session.settings.width, 4500);
    EXPECT_EQ(session.helpFile, QFileInfo(help).canonicalFilePath()); // as installed
    session.settings.width = 6000;
    ASSERT_TRUE(session.saveSettings());
    EXPECT_TRUE(readAll(session.settingsPath).contains("Width=6000\r\n"));
}

// Unless given a probe, the session looks for the process of the Corvid that
// the prefix's registry names ("Corvid.exe" when it names none).
TEST(ShellSession, ProbesForTheCorvidOfTheRegistry)
{
    QTemporaryDir dir;
    const QString program = absentCorvidProgramName();
    const struct
    {
        QString prefix;
        QString name;
    } cases[] = {
        {dir.filePath(QStringLiteral("no-prefix")), QStringLiteral("Corvid.exe")},
        {writeCorvidPrefix(dir.filePath(QStringLiteral("prefix")), program), program},
    };
    for (const auto &c : cases) {
        const ShellSession session(dir.path(), WineHost(c.prefix));
        const auto *probe = dynamic_cast<const ProcessHostProbe *>(&session.probe);
        ASSERT_NE(probe, nullptr);
        EXPECT_EQ(probe->programName(), c.name);
    }
}

#pragma once
// The host as the tests see it: a Corvid that runs only when a test says so,
// a Wine prefix, configuration, data and trash folders of their own, and a
// clock that stands still. Nothing of the machine running the tests (its
// processes, ~/.wine, ~/.config, the trash, the time of day) plays a part.

#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include "common/oledate.h"
#include "shell/host.h"

// Corvid runs while running is set.
struct FakeHostProbe : HostProbe
{
    bool running = false;
    mutable int calls = 0;
    bool clientRunning() const override
    {
        ++calls;
        return running;
    }
};

// A program file name for Corvid that no process on the machine carries.
QString absentCorvidProgramName();

// Makes a Wine prefix at folder (drive C: mapped to folder/drive_c) whose
// registry names C:\Corvid\<program> as Corvid's program file, and creates
// that file. Returns folder.
QString writeCorvidPrefix(const QString &folder, const QString &program);

// The environment for the programs a test starts, and for the test process
// itself: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and WINEPREFIX point into a
// temporary folder, and the prefix's Corvid is a program that is not running
// (so the real process probe finds nothing). Made once per test process by
// the tests' main functions; the folder goes with the object.
class HermeticEnvironment
{
public:
    HermeticEnvironment();
    ~HermeticEnvironment();
    HermeticEnvironment(const HermeticEnvironment &) = delete;
    HermeticEnvironment &operator=(const HermeticEnvironment &) = delete;

    // The folder all of the above lie in.
    QString root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Puts a clock that always tells `now` in place for the object's lifetime.
class FixedClock
{
public:
    explicit FixedClock(const QDateTime &now)
        : m_previous(setWallClock([now] { return now; }))
    {
    }
    ~FixedClock() { setWallClock(std::move(m_previous)); }
    FixedClock(const FixedClock &) = delete;
    FixedClock &operator=(const FixedClock &) = delete;

private:
    WallClock m_previous;
};

// The instant the fixed clocks of the tests tell unless they need another.
inline QDateTime testNow()
{
    return QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0));
}

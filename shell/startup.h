#pragma once
// Start-up and shutdown of the program, without the window: the settings,
// the Corvid probe and the help document for the run, the window placement
// rules and the questions asked before closing.

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

#include "common/progress.h"
#include "core/model.h"
#include "shell/dispatch.h"
#include "shell/host.h"
#include "shell/settings.h"
#include "shell/winehost.h"

class Prompter;

// What the program keeps for the whole run.
class ShellSession
{
public:
    // probe tells whether Corvid runs; without one the session looks for
    // the process of the Corvid that host's registry names.
    explicit ShellSession(const QString &programFolder,
                          WineHost host = WineHost::fromEnvironment(),
                          std::unique_ptr<const HostProbe> probe = nullptr);

    // Start-up: warns when Corvid runs, finds the help document, loads the
    // settings (on the first run with the discovery of Corvid's folders).
    void start(Prompter &prompter);
    // Loads the settings only (the command line: no warning, no help).
    void loadSettingsOnly();
    // Shutdown: writes the settings; a failure is silent.
    bool saveSettings() const;

    // The context for reading and writing files by kind.
    FileIo fileIo(Prompter &prompter, Progress progress = {}) const
    {
        return FileIo{prompter, settings, probe, std::move(progress), nullptr};
    }

    QString programFolder;
    QString settingsPath;
    QString helpFile; // "" when no help document was found
    WineHost host;

private:
    std::unique_ptr<const HostProbe> m_probe;

public:
    const HostProbe &probe; // m_probe's, for the whole session
    Settings settings;
};

// Window placement is kept in twips: 1440 per inch at the screen's dpi.
int twipsFromPixels(int pixels, double dpi);
int pixelsFromTwips(int twips, double dpi);

struct WindowPlacement
{
    QRect geometry; // the normal (restored) geometry, in pixels
    int state = 0;  // 0 normal, 1 minimised, 2 maximised
};

// Where the main window goes: a saved placement (width of 1 twip or more)
// as saved, moved onto the first screen when it would lie off every screen
// and cut to that screen when larger; otherwise the designed size centred
// on the first screen. Screens are available geometries, the primary first.
WindowPlacement placeMainWindow(const Settings &settings, const QList<QRect> &screens,
                                const QSize &designedSize, double dpi);

// Shutdown: keeps the normal geometry (in twips) and the state.
void recordPlacement(Settings &settings, const QRect &normalGeometry, int state, double dpi);

// A book has content when it has a registered group or at least one card.
bool bookHasContent(const AddressBook &book);

// The questions before the main window closes. While busy: asks whether to
// stop (unless a stop is already requested), sets interruptRequested on Yes
// and refuses. Otherwise asks before losing a modified book with content.
// Returns true when the window may close.
bool mayCloseMainWindow(bool busy, bool &interruptRequested, const AddressBook &book,
                        bool modified, Prompter &prompter);

// The question before a modified book with content is replaced; true to go on.
bool mayDiscardBook(const AddressBook &book, bool modified, Prompter &prompter);

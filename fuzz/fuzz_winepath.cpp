// Windows paths from Corvid's data mapped to local paths, and the test for
// Corvid's live address book, over a small Wine prefix and home folder made
// once per run. A mapped path is "" or absolute, never holds "." or ".."
// components, and never leaves its root: a drive's folder, or the base
// folder of a relative path. The live-book guard refuses exactly the paths
// the test names, only while Corvid runs, and tells the user once.
#include <QDir>
#include <QFile>

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

#include "common/cp932.h"
#include "fuzzsupport.h"
#include "shell/host.h"
#include "shell/winehost.h"

namespace {

struct Scene
{
    QString root = scratchFolder().path();
    QString prefix = root + QStringLiteral("/prefix");
    QString driveC = prefix + QStringLiteral("/dosdevices/c:");
    QString home = root + QStringLiteral("/home/Taro");
    WineHost host{prefix};

    Scene()
    {
        QDir().mkpath(prefix + QStringLiteral("/drive_c/Corvid/Users/Taro"));
        QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
        QFile::link(prefix + QStringLiteral("/drive_c"), driveC);
        QDir().mkpath(home + QStringLiteral("/Sub"));
        QFile f(home + QStringLiteral("/Address.ndb"));
        f.open(QIODevice::WriteOnly);
    }
};

struct Probe : HostProbe
{
    bool running = false;
    mutable int calls = 0;
    bool clientRunning() const override
    {
        ++calls;
        return running;
    }
};

QString textFrom(FuzzedDataProvider &in, size_t maxBytes)
{
    const std::string raw = in.ConsumeRandomLengthString(maxBytes);
    return cp932::decode(QByteArrayView(raw.data(), qsizetype(raw.size())));
}

bool hasDotComponent(const QString &path)
{
    for (const QStringView part : QStringView(path).tokenize(u'/'))
        if (part == u"." || part == u"..")
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Scene scene;
    FuzzedDataProvider in(data, size);
    const int baseChoice = in.ConsumeIntegralInRange<int>(0, 2);
    const QString base = baseChoice == 0 ? QString() : baseChoice == 1 ? scene.home : QStringLiteral("/");
    const QString windows = textFrom(in, 200);
    const QString relative = textFrom(in, 80);
    const bool homeKnown = in.ConsumeBool();
    const bool running = in.ConsumeBool();

    const QString local = scene.host.localPath(windows, base);
    FUZZ_CHECK(local.isEmpty() || local.startsWith(u'/'));
    FUZZ_CHECK(!hasDotComponent(local));
    const bool drive = windows.size() >= 2 && windows[1] == u':';
    if (!local.isEmpty() && drive)
        FUZZ_CHECK(windows[0].toLower() == u'c' ? local.startsWith(scene.driveC) : true);
    if (!local.isEmpty() && !drive)
        FUZZ_CHECK(local.startsWith(base == QStringLiteral("/") ? base : base + u'/')
                   || local == base);

    // The live-book test on a path below the scene's folders.
    const QString path = scene.root + u'/' + relative;
    const QString home = homeKnown ? scene.home : QString();
    const bool live = isLiveAddressBookPath(path, home);
    if (live) {
        // Named as the path reads once "." and ".." are resolved.
        const QString name = QDir::cleanPath(path).section(u'/', -1).toLower();
        FUZZ_CHECK(name.startsWith(QStringLiteral("address.nd")));
        FUZZ_CHECK(name.size() == 11 || (name.size() == 12 && name[10].isHighSurrogate()));
    }
    Probe probe;
    probe.running = running;
    SilentPrompter prompter;
    FUZZ_CHECK(guardLiveAddressBook(path, home, probe, prompter) == (live && running));
    // Corvid is asked about at most once, and always for a live book (for
    // another existing file too: only while it runs is the slow search for
    // the same file worth making).
    FUZZ_CHECK(prompter.told == (live && running ? 1 : 0) && probe.calls <= 1
               && (!live || probe.calls == 1));
    return 0;
}

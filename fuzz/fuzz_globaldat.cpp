// Corvid's global.dat from arbitrary bytes, its folders mapped through a
// small Wine prefix made once per run. A file shorter than its header or of
// another version is refused; otherwise exactly the user records that fit in
// the bytes are read, each ID within its 8-byte field, and every folder is
// either unmappable ("") or an absolute local path.
#include <QDir>
#include <QFile>

#include <cstdint>

#include "fuzzsupport.h"
#include "shell/host.h"
#include "shell/winehost.h"

namespace {

struct Prefix
{
    QString root = scratchFolder().path() + QStringLiteral("/prefix");
    QString corvid = root + QStringLiteral("/drive_c/Corvid");
    WineHost host{root};

    Prefix()
    {
        QDir().mkpath(corvid + QStringLiteral("/Log"));
        QDir().mkpath(corvid + QStringLiteral("/Users/Taro"));
        QDir().mkpath(root + QStringLiteral("/dosdevices"));
        QFile::link(root + QStringLiteral("/drive_c"), root + QStringLiteral("/dosdevices/c:"));
    }
};

bool usable(const QString &folder)
{
    return folder.isEmpty() || folder.startsWith(u'/');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Prefix prefix;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    HostGlobalInfo info;
    const int result = parseGlobalDat(bytes, prefix.corvid, info, prefix.host);
    if (size < 1034 || data[0] != 2) {
        FUZZ_CHECK(result == -1 && info.users.isEmpty() && info.globalLogFolder.isEmpty());
        return 0;
    }
    FUZZ_CHECK(result == 0);
    const qsizetype fitting = qsizetype(size - 1034) / 265;
    FUZZ_CHECK(info.users.size() == std::min<qsizetype>(data[771], fitting));
    FUZZ_CHECK(usable(info.globalLogFolder));
    for (const HostUser &u : info.users)
        FUZZ_CHECK(u.userId.size() <= 8 && usable(u.homeFolder));
    return 0;
}

// When the window program starts itself again with malloc's huge-page
// tunable.
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "common/largepages.h"
#include "support/testutil.h"

TEST(LargePages, RestartOnlyWhereTheKernelOffersThemAndNobodyChoseOtherwise)
{
    const struct {
        const char *thp;
        const char *tunables;
        const char *restarted;
        bool restart;
    } cases[] = {
        {"always [madvise] never\n", nullptr, nullptr, true},
        {"[always] madvise never\n", nullptr, nullptr, true},
        {"always madvise [never]\n", nullptr, nullptr, false},
        {"", nullptr, nullptr, false},                     // no such setting (not Linux, no THP)
        {"always [madvise] never\n", "", nullptr, true},   // set but empty
        {"always [madvise] never\n", "glibc.malloc.arena_max=2", nullptr, false},
        {"always [madvise] never\n", nullptr, "1", false}, // this is the restart
    };
    for (const auto &c : cases)
        EXPECT_EQ(wantsLargePagesRestart(c.thp, c.tunables, c.restarted), c.restart)
            << c.thp << " / " << (c.tunables ? c.tunables : "(unset)");
}

TEST(LargePages, TheCommandLineRestartsOnlyForALargeRegularFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile big(dir.filePath(u"big.ndb"_qs));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(8 * 1024 * 1024)); // sparse
    big.close();
    QFile small(dir.filePath(u"small.ndb"_qs));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly) && small.resize(8 * 1024 * 1024 - 1));
    small.close();
    const QByteArray bigPath = QFile::encodeName(big.fileName());
    const QByteArray smallPath = QFile::encodeName(small.fileName());
    const QByteArray folder = QFile::encodeName(dir.path());
    auto names = [](std::initializer_list<const char *> args) {
        std::vector<char *> argv;
        for (const char *a : args)
            argv.push_back(const_cast<char *>(a));
        return namesLargeFile(int(argv.size()), argv.data(), 8 * 1024 * 1024);
    };
    EXPECT_TRUE(names({"brindle-cli", "info", bigPath.constData()}));
    EXPECT_TRUE(names({"brindle-cli", "convert", smallPath.constData(), bigPath.constData()}));
    EXPECT_FALSE(names({"brindle-cli", "info", smallPath.constData()}));
    EXPECT_FALSE(names({"brindle-cli", "info", folder.constData(), "-", "--no-such-file"}));
    EXPECT_FALSE(names({bigPath.constData()})); // the program's own name does not count
}

// The installed programs find what the install rules put beside them.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "shell/help.h"
#include "support/testutil.h"

TEST(InstallLayout, TheInstalledProgramFindsItsHelpDocument)
{
    // PREFIX/bin/brindle and PREFIX/share/brindle/brindle-help.html, as
    // cmake --install and the Debian package lay them out.
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/brindle")));
    const QString doc = prefix.filePath(QStringLiteral("share/brindle/")
                                        + QString::fromUtf16(HelpDocumentName));
    ASSERT_TRUE(writeAll(doc, "<html></html>"));
    EXPECT_EQ(findHelpDocument(prefix.filePath(QStringLiteral("bin"))),
              QFileInfo(doc).canonicalFilePath());
}

// Windows keep their controls to themselves: no window header (fom*.h in any
// product folder) declares a public pointer to a widget. Other code asks a
// window through what it means to do; tests find controls by object name.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "support/testutil.h"

namespace {

// The public widget pointers (single, array or list) a class header declares.
QStringList publicWidgets(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("(unreadable)")};
    static const QRegularExpression classHead(QStringLiteral(R"(^\s*class\s+\w+\s*:\s*public\b)"));
    static const QRegularExpression access(
        QStringLiteral(R"(^\s*(public|protected|private)\s*(slots|Q_SLOTS)?\s*:)"));
    static const QRegularExpression widget(QStringLiteral(
        R"(^\s*(?:Q\w+\s*\*|QList<\s*Q\w+\s*\*\s*>)\s*(\w+)\s*(?:\[[^\]]*\])?\s*(?:=[^;()]*)?;)"));
    QStringList found;
    bool inPublic = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        if (classHead.match(line).hasMatch()) {
            inPublic = false;
        } else if (const auto m = access.match(line); m.hasMatch()) {
            inPublic = m.captured(1) == u"public";
        } else if (const auto w = widget.match(line); inPublic && w.hasMatch()) {
            found << w.captured(1);
        }
    }
    return found;
}

} // namespace

TEST(PrivateWidgets, NoWindowHeaderDeclaresAPublicWidget)
{
    const QDir root(QStringLiteral(BRINDLE_SOURCE_DIR));
    int headers = 0;
    for (const QString &folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(root.filePath(folder));
        for (const QString &name : dir.entryList({QStringLiteral("fom*.h")}, QDir::Files)) {
            const QString relative = folder + u'/' + name;
            ++headers;
            EXPECT_EQ(publicWidgets(dir.filePath(name)), QStringList()) << relative.toStdString();
        }
    }
    EXPECT_GE(headers, 17); // the headers were found at all
}

TEST(PrivateWidgets, TheScanSeesEveryKindOfDeclaration)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fomSample.h"));
    ASSERT_TRUE(writeAll(path, "class fomSample : public QDialog\n{\n    Q_OBJECT\npublic:\n"
                               "    QPushButton *cmdExit = nullptr;\n"
                               "    QLabel *lblText[3] = {};\n"
                               "    explicit fomSample(const QString &text,\n"
                               "                       QWidget *parent = nullptr);\n"
                               "    QList<QPushButton *> buttons;\n"
                               "    QAction *action(const QString &name) const;\n"
                               "    static QString initialPath(const QString &stored);\n"
                               "private:\n    QLineEdit *txtHidden = nullptr;\n"
                               "public slots:\n    QCheckBox *chkShown;\n};\n"));
    EXPECT_EQ(publicWidgets(path),
              (QStringList{u"cmdExit"_qs, u"lblText"_qs, u"buttons"_qs, u"chkShown"_qs}));
}

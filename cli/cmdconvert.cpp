// brindle-cli convert [--kind KIND] [--eudora-mode 0|1] INPUT OUTPUT: reads a
// book and writes it anew. OUTPUT is touched only when INPUT was read
// completely.
#include <cstdio>

#include "bookfiles.h"
#include "commands.h"
#include "formats/eudora.h"
#include "shell/filekind.h"

namespace {

int kindNamed(const QString &name)
{
    if (name == u"ndb")
        return FileKindAddressBook;
    if (name == u"list")
        return FileKindListText;
    if (name == u"vcard")
        return FileKindVCard;
    if (name == u"eudora")
        return FileKindEudora;
    return FileKindUnknown;
}

int badOption(const QString &text)
{
    std::fprintf(stderr, "brindle-cli: %s\n", text.toLocal8Bit().constData());
    return 2;
}

} // namespace

int runConvert(const QStringList &args, Prompter &prompter)
{
    // The files come first, then the options as "--name=VALUE".
    const QString input = args.at(0);
    const QString output = args.at(1);
    int kind = outputKindOf(output);
    int eudoraMode = eudoraPutTexts().defaultMode;
    for (const QString &option : args.mid(2)) {
        const QString value = option.section(u'=', 1);
        if (option.startsWith(QLatin1String("--kind="))) {
            kind = kindNamed(value);
            if (kind == FileKindUnknown)
                return badOption(QStringLiteral("unknown kind: ") + value);
        } else if (option.startsWith(QLatin1String("--eudora-mode="))) {
            if (value != u"0" && value != u"1")
                return badOption(QStringLiteral("--eudora-mode takes 0 or 1, not ") + value);
            eudoraMode = value.toInt();
        }
    }

    AddressBook book;
    if (readBookFile(input, book, prompter) != 0)
        return 1;
    return writeBookFileAs(output, kind, book, prompter, eudoraMode) == 0 ? 0 : 1;
}

#include "shell/setuplogic.h"
#include "common/textwidth.h"

#include <QFileInfo>

#include "common/paths.h"
#include "common/prompter.h"
#include "common/widthconv.h"
#include "core/validation.h"
#include "shell/host.h"
#include "shell/setuptexts.h"
#include "shell/winehost.h"

namespace {


// The check of one folder box: fine when empty or an existing folder.
bool folderBoxOk(const QString &text)
{
    const QString folder = trimmedSpaces(text);
    return folder.isEmpty() || isFolder(folder);
}

QString storedFolder(const QString &text)
{
    QString folder = trimmedSpaces(text);
    if (folder.isEmpty())
        return folder;
    // A folder typed relative to wherever the program was started would
    // name another folder on the next start.
    if (QFileInfo(folder).isRelative())
        folder = QFileInfo(folder).absoluteFilePath();
    return withSlash(folder);
}

} // namespace

QString folderForDisplay(const QString &folder)
{
    return withoutSlash(folder);
}

QStringList niftyDomainChoices()
{
    return {QString::fromUtf16(DefaultNiftyDomain), QString::fromUtf16(LegacyNiftyDomain)};
}

SetupForm setupFormFor(const Settings &settings)
{
    SetupForm form;
    form.homeFolder = folderForDisplay(settings.homeFolder);
    form.globalLogFolder = folderForDisplay(settings.globalLogFolder);
    for (int i = 0; i < Settings::ErrorValueCount; ++i)
        form.limits[i] = QString::number(settings.errorLimits[i]);
    form.niftyDomain = settings.niftyDomain.isEmpty() ? niftyDomainChoices().first()
                                                      : settings.niftyDomain;
    form.trashFlag = settings.trashFlag;
    form.lostMemoFlag = settings.lostMemoFlag;
    return form;
}

void rediscoverFolders(SetupForm &form, const WineHost &host)
{
    Settings scratch;
    discoverHostFolders(scratch, host);
    form.homeFolder = folderForDisplay(scratch.homeFolder);
    form.globalLogFolder = folderForDisplay(scratch.globalLogFolder);
}

void resetLimits(SetupForm &form)
{
    const auto defaults = Settings::defaultErrorLimits();
    for (int i = 0; i < Settings::ErrorValueCount; ++i)
        form.limits[i] = QString::number(defaults[i]);
}

bool parseLimit(const QString &text, int &value)
{
    // Full-width digits, signs and spaces as a Japanese input method types
    // them count as their ASCII forms.
    const QString ascii = trimmedSpaces(toHalfWidth(text));
    bool ok = false;
    const int v = ascii.toInt(&ok, 10);
    if (!ok || v < 1)
        return false;
    value = v;
    return true;
}

SetupProblem checkSetupForm(const SetupForm &form)
{
    if (!folderBoxOk(form.homeFolder))
        return {SetupControl::HomeFolder, trimmedSpaces(form.homeFolder) + SetupText::FolderMissing};
    if (!folderBoxOk(form.globalLogFolder))
        return {SetupControl::GlobalLogFolder,
                trimmedSpaces(form.globalLogFolder) + SetupText::FolderMissing};
    for (int i = 0; i < Settings::ErrorValueCount; ++i) {
        int value = 0;
        if (!parseLimit(form.limits[i], value))
            return {SetupControl(int(SetupControl::Limit0) + i),
                    SetupText::LimitNames[i] + SetupText::LimitTooLow};
    }
    return {};
}

void storeSetupForm(const SetupForm &form, Settings &settings)
{
    settings.homeFolder = storedFolder(form.homeFolder);
    settings.globalLogFolder = storedFolder(form.globalLogFolder);
    for (int i = 0; i < Settings::ErrorValueCount; ++i) {
        int value = 0;
        if (parseLimit(form.limits[i], value))
            settings.errorLimits[i] = value;
    }
    settings.trashFlag = form.trashFlag;
    settings.lostMemoFlag = form.lostMemoFlag;
    // With an empty domain, adding the domain to service IDs would add
    // nothing; the next start would put the default back anyway.
    const QString domain = trimmedSpaces(form.niftyDomain);
    settings.niftyDomain = domain.isEmpty() ? QString::fromUtf16(DefaultNiftyDomain) : domain;
}

int applySetupForm(const SetupForm &form, Settings &settings, AddressBook &book,
                   Prompter &prompter, SetupControl *focus)
{
    const SetupProblem problem = checkSetupForm(form);
    if (focus)
        *focus = problem.control;
    if (problem.control != SetupControl::None) {
        prompter.notice(problem.message);
        return -1;
    }
    storeSetupForm(form, settings);
    validateAll(book, cardLimitsOf(settings));
    return 0;
}

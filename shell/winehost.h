#pragma once
// The Wine prefix Corvid runs in: its registry (read only) and the mapping
// of the Windows paths found in Corvid's data to local paths.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>

// One registry file of Wine (system.reg, user.reg): the keys under
// Software\Classes, which make up the classes root. Values are read on
// demand; only plain string values ("...") are understood.
class WineRegistryFile
{
public:
    WineRegistryFile() = default;
    explicit WineRegistryFile(QByteArray text);

    // The string value of a classes-root key ("CLSID\{...}\LocalServer32");
    // an empty name reads the key's default value (@=). Key and value names
    // are compared without regard to letter case. False when the key or the
    // value is missing or the value is not a plain string.
    bool value(const QString &key, const QString &name, QString &out) const;

private:
    QByteArray m_text;
    QHash<QString, qsizetype> m_keys; // lower-cased key below Classes -> offset of its values
};

class WineHost
{
public:
    // The prefix named by $WINEPREFIX, else ~/.wine.
    static WineHost fromEnvironment();
    explicit WineHost(QString prefix);
    ~WineHost();
    WineHost(WineHost &&) noexcept;
    WineHost &operator=(WineHost &&) noexcept;

    QString prefix() const { return m_prefix; }

    // A string value under the classes root: user.reg wins over system.reg.
    // At most 255 characters, cut at the first NUL; "" when missing.
    QString classesRootValue(const QString &key, const QString &name = QString()) const;

    // The local path of a Windows path from Corvid's data. "X:\..." goes
    // through the prefix's dosdevices/x: link ("Z:\..." without such a link
    // is the root "/", as in Wine); a relative path is joined to
    // baseFolder (a local folder); "\\server\..." and anything else that
    // cannot be mapped gives "". Each component that does not exist as
    // spelled is matched without regard to letter case, as Windows does.
    QString localPath(const QString &windowsPath, const QString &baseFolder) const;

private:
    struct Registry;
    const Registry &registry() const;

    QString m_prefix;
    mutable std::unique_ptr<Registry> m_registry;
};

// Decodes a string of Wine's registry files: \\ \" \n \t ... \xABCD \ooo.
QString unescapeWineString(QByteArrayView text);

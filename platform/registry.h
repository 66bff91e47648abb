#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace platform {

// The per-user registry stand-in: one key path such as "Software\Tarvel\NUV" opened like an INI
// file, with sections (sub-keys) and named values. Values live in INI files under the user's
// configuration folder (organisation "Tarvel"), or under the folder set by SetStorageFolder.
class Registry {
public:
    // Opens the key, creating it when missing. A path without a key name, or with "." or ".."
    // components, raises rtl::Exception.
    explicit Registry(const QString& keyPath);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // An empty section names the key itself (a value stored directly in the key). ReadBool reads
    // "0" and "false" as false and an empty or missing value as the default. Writes and deletions
    // are stored at once; one that cannot be stored raises rtl::Exception.
    QString ReadString(const QString& section, const QString& name, const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& name, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& name, bool defaultValue) const;
    bool ValueExists(const QString& section, const QString& name) const;
    void WriteString(const QString& section, const QString& name, const QString& value);
    void WriteInteger(const QString& section, const QString& name, int value);
    void WriteBool(const QString& section, const QString& name, bool value);
    void DeleteValue(const QString& section, const QString& name);

    // Redirects every registry key into folder (tests use a temporary one); empty restores the
    // user's real configuration folder.
    static void SetStorageFolder(const QString& folder);
    static QString StorageFolder();

private:
    QString ValueKey(const QString& section, const QString& name) const;
    void Flush(const QString& name);

    std::unique_ptr<QSettings> FSettings;
    QString FGroup;
};

// The system's key paths: the maker's root, the program's key (its sections are subkeys) with the
// subkey that holds the current model folder directly, and the model editor's key.
inline const QString TarvelKey = QStringLiteral("Software\\Tarvel");
inline const QString NuvKey = QStringLiteral("Software\\Tarvel\\NUV");
inline const QString NuvCommonKey = QStringLiteral("Software\\Tarvel\\NUV\\Common");
inline const QString DataModelEditorKey = QStringLiteral("Software\\Tarvel\\DataModelEditor");

}  // namespace platform

#include "platform/registry.h"

#include "rtl/exception.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {

QString& StorageFolderOverride()
{
    static QString folder;
    return folder;
}

// "Software\Tarvel\NUV\Common" lives in <folder>/Tarvel/NUV.ini, group "Common"; the leading
// "Software" is the registry's own level and has no file of its own.
struct KeyLocation {
    QString FilePath;
    QString Group;
};

KeyLocation LocateKey(const QString& keyPath)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QStringList parts = keyPath.split(separators, Qt::SkipEmptyParts);
    if (parts.size() > 1 && rtl::SameText(parts.first(), QStringLiteral("Software")))
        parts.removeFirst();
    // The components become folder and file names, so none may climb out of the storage folder.
    if (parts.isEmpty() || parts.contains(QStringLiteral(".")) || parts.contains(QStringLiteral("..")))
        throw rtl::Exception(QStringLiteral("Invalid registry key \"%1\"").arg(keyPath));

    const QDir folder(Registry::StorageFolder());
    KeyLocation location;
    if (parts.size() == 1) {
        location.FilePath = folder.filePath(parts.first() + QStringLiteral(".ini"));
    } else {
        location.FilePath = folder.filePath(parts[0] + QLatin1Char('/') + parts[1] + QStringLiteral(".ini"));
        location.Group = parts.mid(2).join(QLatin1Char('/'));
    }
    return location;
}

}  // namespace

Registry::Registry(const QString& keyPath)
{
    const KeyLocation location = LocateKey(keyPath);
    FSettings = std::make_unique<QSettings>(location.FilePath, QSettings::IniFormat);
    FGroup = location.Group;
}

Registry::~Registry() = default;

QString Registry::ValueKey(const QString& section, const QString& name) const
{
    QStringList parts;
    for (const QString& part : {FGroup, section, name}) {
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts.join(QLatin1Char('/'));
}

QString Registry::ReadString(const QString& section, const QString& name, const QString& defaultValue) const
{
    const QVariant value = FSettings->value(ValueKey(section, name));
    if (!value.isValid())
        return defaultValue;
    // A value edited by hand without quotes comes back as a list when it holds commas.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

int Registry::ReadInteger(const QString& section, const QString& name, int defaultValue) const
{
    return rtl::StrToIntDef(ReadString(section, name, QString()), defaultValue);
}

bool Registry::ReadBool(const QString& section, const QString& name, bool defaultValue) const
{
    return rtl::TextToBool(ReadString(section, name, QString()), defaultValue);
}

bool Registry::ValueExists(const QString& section, const QString& name) const
{
    return FSettings->contains(ValueKey(section, name));
}

void Registry::WriteString(const QString& section, const QString& name, const QString& value)
{
    FSettings->setValue(ValueKey(section, name), value);
    Flush(name);
}

void Registry::WriteInteger(const QString& section, const QString& name, int value)
{
    WriteString(section, name, QString::number(value));
}

void Registry::WriteBool(const QString& section, const QString& name, bool value)
{
    WriteString(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void Registry::DeleteValue(const QString& section, const QString& name)
{
    const QString key = ValueKey(section, name);
    if (!FSettings->contains(key))
        return;
    // QSettings removes a group of the same name with the value; in the registry a subkey and a
    // value of one name are unrelated, so the subkey's values are put back.
    FSettings->beginGroup(key);
    QList<std::pair<QString, QVariant>> subkeyValues;
    for (const QString& child : FSettings->allKeys())
        subkeyValues.append({child, FSettings->value(child)});
    FSettings->endGroup();
    FSettings->remove(key);
    for (const auto& [child, value] : subkeyValues)
        FSettings->setValue(key + QLatin1Char('/') + child, value);
    Flush(name);
}

// Written at once, so that a value that could not be stored is reported instead of lost at exit.
void Registry::Flush(const QString& name)
{
    FSettings->sync();
    if (FSettings->status() != QSettings::NoError)
        throw rtl::Exception(QStringLiteral("Failed to set data for '%1'").arg(name));
}

void Registry::SetStorageFolder(const QString& folder)
{
    StorageFolderOverride() = folder;
}

QString Registry::StorageFolder()
{
    const QString& folder = StorageFolderOverride();
    return folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                            : folder;
}

}  // namespace platform

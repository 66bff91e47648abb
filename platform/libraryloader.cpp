#include "platform/libraryloader.h"

#include "rtl/strutils.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

// The entry of dir named name: the exact name first, then the first one (by name) equal to it
// ignoring case. Empty when there is none.
QString FindEntry(const QDir& dir, const QString& name, QDir::Filters kind)
{
    const QStringList entries = dir.entryList(kind | QDir::Hidden, QDir::Name);
    if (entries.contains(name))
        return name;
    for (const QString& entry : entries) {
        if (rtl::SameText(entry, name))
            return entry;
    }
    return QString();
}

// The file-name part of a stored name, whichever separator it was written with.
QString StoredFileName(const QString& storedName)
{
    QString name = storedName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QString();
    return name;
}

}  // namespace

QString ResolveLibraryPath(const QString& folder, const QString& storedName)
{
    const QString name = StoredFileName(storedName);
    if (name.isEmpty())
        return QString();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;

    const QString so = stem + QStringLiteral(".so");
    const QDir dir(folder);
    for (const QString& candidate : {name, so, QStringLiteral("lib") + so}) {
        const QString entry = FindEntry(dir, candidate, QDir::Files);
        if (!entry.isEmpty())
            return QDir::cleanPath(dir.absoluteFilePath(entry));
    }
    return QString();
}

QString ResolveFolder(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    const QString entry = FindEntry(dir, name, QDir::Dirs | QDir::NoDotAndDotDot);
    return dir.filePath(entry.isEmpty() ? name : entry);
}

LoadedLibrary::~LoadedLibrary()
{
    Unload();
}

bool LoadedLibrary::Load(const QString& absolutePath)
{
    Unload();
    FError.clear();
    if (absolutePath.isEmpty()) {
        FError = QStringLiteral("No library file name given");
        return false;
    }
    // A bare name would make the dynamic loader search the system's folders instead of ours.
    auto library = std::make_unique<QLibrary>(QFileInfo(absolutePath).absoluteFilePath());
    library->setLoadHints(QLibrary::PreventUnloadHint);
    if (!library->load()) {
        FError = library->errorString();
        return false;
    }
    FLibrary = std::move(library);
    return true;
}

void LoadedLibrary::Unload()
{
    if (FLibrary) {
        FLibrary->unload();
        FLibrary.reset();
    }
}

bool LoadedLibrary::IsLoaded() const
{
    return FLibrary && FLibrary->isLoaded();
}

QString LoadedLibrary::FileName() const
{
    return FLibrary ? FLibrary->fileName() : QString();
}

QFunctionPointer LoadedLibrary::Resolve(const char* entryName) const
{
    // QLibrary::resolve would load an unloaded library on its own; an unloaded one has no entries.
    if (!IsLoaded() || entryName == nullptr)
        return nullptr;
    return FLibrary->resolve(entryName);
}

}  // namespace platform

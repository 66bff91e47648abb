#pragma once

#include <QLibrary>
#include <QString>

#include <memory>

namespace platform {

// Turns a folder and a stored library name ("Fendal.dll") into the absolute path of the library
// to load, trying in order: the name as given; the same name ignoring case; stem + ".so"; then
// "lib" + stem + ".so", each ignoring case. Only the file-name part of the stored name counts, so
// a stored name cannot reach outside the folder. Empty when nothing matches.
QString ResolveLibraryPath(const QString& folder, const QString& storedName);
// A sub-folder of folder matched ignoring case ("DBGates"); the folder + name when none exists.
QString ResolveFolder(const QString& folder, const QString& name);

// A plug-in library loaded by absolute path; entry points are bound by their exact names.
class LoadedLibrary {
public:
    LoadedLibrary() = default;
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // False when the library cannot be loaded; ErrorString() says why.
    bool Load(const QString& absolutePath);
    void Unload();
    bool IsLoaded() const;
    QString FileName() const;
    QString ErrorString() const { return FError; }
    // Null when the library has no entry of that name.
    QFunctionPointer Resolve(const char* entryName) const;

    template <typename Fn>
    Fn ResolveAs(const char* entryName) const
    {
        return reinterpret_cast<Fn>(Resolve(entryName));
    }

private:
    std::unique_ptr<QLibrary> FLibrary;
    QString FError;
};

}  // namespace platform

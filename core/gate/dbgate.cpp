#include "core/gate/dbgate.h"

#include "rtl/format.h"

#include <QFileInfo>
#include <QWidget>

namespace {

// The library file for a stored path: the folder's last part and the file name are matched
// ignoring case, and the file may be the platform's form of a ".dll" name. Empty when none fits.
QString ResolveGatePath(const QString& DLLPath)
{
    QString path = DLLPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo file(path);
    const QFileInfo folder(file.path());
    return platform::ResolveLibraryPath(
        platform::ResolveFolder(folder.path(), folder.fileName()), file.fileName());
}

}  // namespace

TZDBGate::TZDBGate(QObject* Owner) : TZDBInfo(Owner)
{
}

TZDBGate::~TZDBGate()
{
    if (FLibrary.IsLoaded() && FEntries.getconnected())
        FEntries.disconnectbase();
    UnloadGate();
}

void TZDBGate::SetDLLPath(const QString& Path)
{
    if (Path == FDLLPath)
        return;
    UnloadGate();
    FDLLPath = Path;
    FLoadError.clear();
}

template <typename Fn>
void TZDBGate::BindEntry(Fn& Entry, const char* Name)
{
    Entry = FLibrary.ResolveAs<Fn>(Name);
    if (!Entry) {
        FLibrary.Unload();
        throw EZDBGateError(rtl::Format(QStringLiteral("Can not load function \"%s\" from DLL"), Name));
    }
}

void TZDBGate::LoadGate()
{
    if (FLibrary.IsLoaded())
        return;
    // Looking for a missing library again on every question would cost more than the question.
    if (!FLoadError.isEmpty())
        throw EZDBGateError(FLoadError);
    try {
        BindGate();
    } catch (const EZDBGateError& e) {
        FLoadError = e.Message();
        throw;
    }
    PassPendingInfo();
}

void TZDBGate::BindGate()
{
    if (!FLibrary.Load(ResolveGatePath(FDLLPath)))
        throw EZDBGateError(rtl::Format(QStringLiteral("Can not load DLL \"%s\""), FDLLPath));
    BindEntry(FEntries.getconnected, "getconnected");
    BindEntry(FEntries.saveinfo, "saveinfo");
    BindEntry(FEntries.loadinfo, "loadinfo");
    BindEntry(FEntries.connectbase, "connectbase");
    BindEntry(FEntries.disconnectbase, "disconnectbase");
    BindEntry(FEntries.dbconnectdlg, "dbconnectdlg");
    BindEntry(FEntries.getdatabasenames, "getdatabasenames");
    BindEntry(FEntries.tablesbydatabase, "tablesbydatabase");
    BindEntry(FEntries.getsqlvalues, "getsqlvalues");
    BindEntry(FEntries.fieldsbytable, "fieldsbytable");
    BindEntry(FEntries.linksbydatabase, "linksbydatabase");
    BindEntry(FEntries.getcurrentdbname, "getcurrentdbname");
    BindEntry(FEntries.setcurrentdbname, "setcurrentdbname");
    BindEntry(FEntries.getdllinfo, "getdllinfo");
    BindEntry(FEntries.showresult, "showresult");
    BindEntry(FEntries.repaintresult, "repaintresult");
    BindEntry(FEntries.disposetext, "disposetext");
    BindEntry(FEntries.dbconnectdlgparented, "dbconnectdlgparented");
    BindEntry(FEntries.repaintdbconnectdlg, "repaintdbconnectdlg");
    FEntries.getconnecterror = FLibrary.ResolveAs<decltype(FEntries.getconnecterror)>("getconnecterror");
}

bool TZDBGate::TryLoadGate()
{
    if (!FLoadError.isEmpty())
        return false;
    try {
        LoadGate();
    } catch (const std::exception&) {
    }
    return FLibrary.IsLoaded();
}

void TZDBGate::UnloadGate()
{
    if (!FLibrary.IsLoaded())
        return;
    // The widgets run the library's code: they go before the library does.
    for (const QPointer<QWidget>& widget : std::as_const(FGateWidgets))
        delete widget.data();
    FGateWidgets.clear();
    FLibrary.Unload();
    ClearFieldCache();
}

void TZDBGate::Connect()
{
    FLoadError.clear();
    LoadGate();
    FEntries.connectbase();
    // A new connection may reach another database.
    ClearFieldCache();
}

void TZDBGate::ConnectWhenNeeded()
{
    LoadGate();
    if (IsConnected())
        return;
    Connect();
    if (IsConnected())
        return;
    QString message = QStringLiteral("Can not connect to the database");
    const char* reason = FEntries.getconnecterror ? FEntries.getconnecterror() : nullptr;
    if (reason && *reason)
        message += QLatin1Char('\n') + QString::fromUtf8(reason);
    throw EZDBGateError(message);
}

QString TZDBGate::GetDLLInfo()
{
    LoadGate();
    return QString::fromUtf8(FEntries.getdllinfo());
}

int TZDBGate::ShowResult(QWidget* ParentWindow, const QStringList& SQLLines, const QStringList& CaptionLines)
{
    ConnectWhenNeeded();
    const QObjectList before = ParentWindow ? ParentWindow->children() : QObjectList();
    const int result = FEntries.showresult(
        ParentWindow, LinesUtf8(SQLLines).constData(), LinesUtf8(CaptionLines).constData());
    TrackNewWidgets(ParentWindow, before);
    return result;
}

void TZDBGate::RepaintResult()
{
    LoadGate();
    FEntries.repaintresult();
}

QWidget* TZDBGate::ConnectDialogParented(QWidget* ParentWindow)
{
    LoadGate();
    const QObjectList before = ParentWindow ? ParentWindow->children() : QObjectList();
    auto* page = static_cast<QWidget*>(FEntries.dbconnectdlgparented(ParentWindow));
    TrackNewWidgets(ParentWindow, before);
    if (page && !FGateWidgets.contains(page))
        FGateWidgets.append(page);
    return page;
}

void TZDBGate::RepaintConnectDialog()
{
    LoadGate();
    FEntries.repaintdbconnectdlg();
}

QString TZDBGate::GetCurrentDBName()
{
    ConnectWhenNeeded();
    const char16_t* name = FEntries.getcurrentdbname();
    return name ? QString::fromUtf16(name) : QString();
}

void TZDBGate::SetCurrentDBName(const QString& Name)
{
    LoadGate();
    FEntries.setcurrentdbname(reinterpret_cast<const char16_t*>(Name.utf16()));
    NoteCurrentDBName(Name);
}

void TZDBGate::GetTables(QStringList& Lines)
{
    FetchLines(&TEntries::tablesbydatabase, Lines);
}

void TZDBGate::GetLinks(QStringList& Lines)
{
    FetchLines(&TEntries::linksbydatabase, Lines);
}

void TZDBGate::GetDatabaseNames(QStringList& Lines)
{
    FetchLines(&TEntries::getdatabasenames, Lines);
}

void TZDBGate::GetFieldList(const QString& TableName, TDBFieldList& FieldList)
{
    ConnectWhenNeeded();
    char* text = nullptr;
    FEntries.fieldsbytable(TableName.toUtf8().constData(), &text);
    LoadFieldListFromStrings(FieldList, TakeText(text));
}

bool TZDBGate::IsConnected()
{
    return TryLoadGate() && FEntries.getconnected() != 0;
}

void TZDBGate::LoadInfo(QStringList& Lines)
{
    FPendingInfo = Lines;
    if (TryLoadGate())
        PassPendingInfo();
}

void TZDBGate::SaveInfo(QStringList& Lines)
{
    if (TryLoadGate())
        Lines = TakeText(FEntries.saveinfo());
    else if (FPendingInfo)
        Lines = *FPendingInfo;
}

void TZDBGate::GetSQLValues(const QString& SQL, QStringList& Values, QStringList& Items)
{
    ConnectWhenNeeded();
    char* values = nullptr;
    char* items = nullptr;
    FEntries.getsqlvalues(SQL.toUtf8().constData(), &values, &items);
    Values = TakeText(values);
    Items = TakeText(items);
}

void TZDBGate::PassPendingInfo()
{
    if (!FPendingInfo)
        return;
    FEntries.loadinfo(LinesUtf8(*FPendingInfo).constData());
    FPendingInfo.reset();
    ClearFieldCache();
}

QStringList TZDBGate::TakeText(char* Text)
{
    if (!Text)
        return {};
    const QStringList lines = LinesFromText(Text);
    FEntries.disposetext(Text);
    return lines;
}

void TZDBGate::FetchLines(TextEntry Entry, QStringList& Lines)
{
    ConnectWhenNeeded();
    char* text = nullptr;
    (FEntries.*Entry)(&text);
    Lines = TakeText(text);
}

void TZDBGate::TrackNewWidgets(QWidget* Parent, const QObjectList& Before)
{
    FGateWidgets.removeIf([](const QPointer<QWidget>& widget) { return widget.isNull(); });
    if (!Parent)
        return;
    for (QObject* child : Parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !Before.contains(child) && !FGateWidgets.contains(widget))
            FGateWidgets.append(widget);
    }
}

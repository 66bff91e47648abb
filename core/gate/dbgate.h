#pragma once

#include "core/dbinfo/dbinfo.h"
#include "gates/gateapi.h"
#include "platform/libraryloader.h"
#include "rtl/exception.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// A gate library that cannot be loaded, lacks an entry, or did not connect.
class EZDBGateError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// The program's database information: answers every question through a gate library, a plug-in
// chosen per data model and loaded by file name on the first call that needs it.
class TZDBGate : public TZDBInfo {
    Q_OBJECT
public:
    explicit TZDBGate(QObject* Owner = nullptr);
    // Disconnects a connected gate, then releases the library; a gate never loaded stays so.
    ~TZDBGate() override;

    QString DLLPath() const { return FDLLPath; }
    // Another path releases a loaded library without disconnecting; it loads again when needed.
    void SetDLLPath(const QString& Path);

    // Loads the library and binds all 19 entries; raises EZDBGateError on failure. A failure is
    // remembered and raised again, without a new try, until the path changes or Connect is asked.
    void LoadGate();
    // LoadGate with every error swallowed; whether the library is loaded afterwards.
    bool TryLoadGate();
    // Deletes the widgets the library created, then releases it.
    void UnloadGate();
    // The user's request to connect: a library that failed to load is tried again.
    void Connect();
    QString GetDLLInfo();
    // Runs the SQL and has the gate show the rows inside ParentWindow; the gate's answer.
    int ShowResult(QWidget* ParentWindow, const QStringList& SQLLines, const QStringList& CaptionLines);
    void RepaintResult();
    // The gate's connection page, created inside ParentWindow.
    QWidget* ConnectDialogParented(QWidget* ParentWindow);
    void RepaintConnectDialog();

    QString GetCurrentDBName() override;
    void SetCurrentDBName(const QString& Name) override;
    void GetTables(QStringList& Lines) override;
    void GetLinks(QStringList& Lines) override;
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override;
    bool IsConnected() override;
    // Details that no gate could take yet are kept, handed back by SaveInfo and handed to the
    // gate once it loads.
    void LoadInfo(QStringList& Lines) override;
    void SaveInfo(QStringList& Lines) override;
    void GetDatabaseNames(QStringList& Lines) override;
    void GetSQLValues(const QString& SQL, QStringList& Values, QStringList& Items) override;

private:
    struct TEntries {
        decltype(&::getconnected) getconnected = nullptr;
        decltype(&::saveinfo) saveinfo = nullptr;
        decltype(&::loadinfo) loadinfo = nullptr;
        decltype(&::connectbase) connectbase = nullptr;
        decltype(&::disconnectbase) disconnectbase = nullptr;
        decltype(&::dbconnectdlg) dbconnectdlg = nullptr;
        decltype(&::getdatabasenames) getdatabasenames = nullptr;
        decltype(&::tablesbydatabase) tablesbydatabase = nullptr;
        decltype(&::getsqlvalues) getsqlvalues = nullptr;
        decltype(&::fieldsbytable) fieldsbytable = nullptr;
        decltype(&::linksbydatabase) linksbydatabase = nullptr;
        decltype(&::getcurrentdbname) getcurrentdbname = nullptr;
        decltype(&::setcurrentdbname) setcurrentdbname = nullptr;
        decltype(&::getdllinfo) getdllinfo = nullptr;
        decltype(&::showresult) showresult = nullptr;
        decltype(&::repaintresult) repaintresult = nullptr;
        decltype(&::disposetext) disposetext = nullptr;
        decltype(&::dbconnectdlgparented) dbconnectdlgparented = nullptr;
        decltype(&::repaintdbconnectdlg) repaintdbconnectdlg = nullptr;
        decltype(&::getconnecterror) getconnecterror = nullptr;  // optional
    };

    template <typename Fn>
    void BindEntry(Fn& Entry, const char* Name);
    void BindGate();
    // LoadGate, then connectbase when the gate is not connected; raises when it still is not,
    // with the gate's reason when it gives one.
    void ConnectWhenNeeded();
    void PassPendingInfo();
    // Copies the lines of a text the gate handed out, then hands the text back.
    QStringList TakeText(char* Text);
    using TextEntry = void (*TEntries::*)(char**);
    // Connects when needed; Lines := the text that Entry hands out.
    void FetchLines(TextEntry Entry, QStringList& Lines);
    void TrackNewWidgets(QWidget* Parent, const QObjectList& Before);

    QString FDLLPath;
    platform::LoadedLibrary FLibrary;
    TEntries FEntries;
    QString FLoadError;  // the message of the last failed load; empty when none
    std::optional<QStringList> FPendingInfo;
    QList<QPointer<QWidget>> FGateWidgets;
};

#pragma once

#include "core/base/latticeerror.h"
#include "core/dbinfo/dbinfo.h"
#include "core/model/condition.h"
#include "core/model/enumset.h"
#include "core/model/field.h"
#include "core/model/itemindex.h"
#include "core/model/table.h"
#include "rtl/stringlist.h"

#include <QChar>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// An operator name as the model knows it now: older texts and callers name "Equal" "EqualTo".
QString OperatorNameOf(const QString& Name);

// What FindTable and GetTableNames compare with, ignoring case: the name, the alias, the display
// name, "name - alias", the FROM reference, "owner.name".
enum TTableLookup : int { tlName, tlAlias, tlDisplayName, tlCaption, tlSQLName, tlOwnerName };
// What FindField compares with, ignoring case: the field expression, the display name, the name
// qualified by its table, the SQL expression (blanks ignored).
enum TFieldLookup : int { flFieldExpr, flDisplayName, flFullName, flSQLExpr };

// Failures of the data model; the codes and their messages are in one table.
enum TDBStructErrorCode {
    dseInvalidTableIndex = 1,
    dseInvalidLinkIndex,
    dseInvalidOperatorIndex,
    dseNoSuchTable,
    dseNoPath,
    dseOperatorNotFound,
    dseFieldNameOfVirtual,
    dseExpressionOfData,
    dseNoSection,
    dseNoFieldInTable,
    dseNoDatabaseInfo,
    dseUnevenLink,
    dseNoEditor,
    dseBadSection,
    dseNoModel,
    dseBadParamValue,
    dseNewerVersion,
};

class EZDBStructError : public EZLatticeError {
public:
    using EZLatticeError::EZLatticeError;

    // The error of that code with its message formatted with Args.
    template <typename... Args>
    static EZDBStructError Create(TDBStructErrorCode Code, const Args&... args)
    {
        return EZDBStructError(Code, rtl::Format(CodeMessage(Code), args...));
    }
    static QString CodeMessage(TDBStructErrorCode Code);
};

// The literal formats of the target database.
class TSQLFormats {
public:
    // Dates and times in the locale's short formats.
    TSQLFormats();

    const QString& Date() const { return FDate; }
    void SetDate(const QString& Value) { FDate = Value; }
    const QString& Time() const { return FTime; }
    void SetTime(const QString& Value) { FTime = Value; }
    const QString& DateTime() const { return FDateTime; }
    void SetDateTime(const QString& Value) { FDateTime = Value; }
    QChar QuoteSymbol1() const { return FQuoteSymbol1; }
    void SetQuoteSymbol1(QChar Value) { FQuoteSymbol1 = Value; }
    QChar QuoteSymbol2() const { return FQuoteSymbol2; }
    void SetQuoteSymbol2(QChar Value) { FQuoteSymbol2 = Value; }
    const QString& FalseValue() const { return FFalseValue; }
    void SetFalseValue(const QString& Value) { FFalseValue = Value; }
    const QString& TrueValue() const { return FTrueValue; }
    void SetTrueValue(const QString& Value) { FTrueValue = Value; }
    // "DB", "OWNER" and "TABLE" stand for the database, the owner and the table name.
    const QString& FullTableName() const { return FFullTableName; }
    void SetFullTableName(const QString& Value) { FFullTableName = Value; }

private:
    QString FDate;
    QString FTime;
    QString FDateTime;
    QChar FQuoteSymbol1 = u'"';
    QChar FQuoteSymbol2 = u'"';
    QString FFalseValue = QStringLiteral("false");
    QString FTrueValue = QStringLiteral("true");
    QString FFullTableName = QStringLiteral("DB.OWNER.TABLE");
};

// Options of a data model.
class TDMOptions {
public:
    bool MultiDB() const { return FMultiDB; }
    void SetMultiDB(bool Value) { FMultiDB = Value; }
    const QString& DefaultDatabase() const { return FDefaultDatabase; }
    void SetDefaultDatabase(const QString& Value) { FDefaultDatabase = Value; }
    const QString& DefaultDBOwner() const { return FDefaultDBOwner; }
    void SetDefaultDBOwner(const QString& Value) { FDefaultDBOwner = Value; }
    bool StoreDBInfo() const { return FStoreDBInfo; }
    void SetStoreDBInfo(bool Value) { FStoreDBInfo = Value; }

private:
    bool FMultiDB = false;
    QString FDefaultDatabase;
    QString FDefaultDBOwner;
    bool FStoreDBInfo = true;
};

// Optional operator families of a model.
enum TExOperator : uint8_t { xoInList, xoBetween, xoStartsWith, xoContains };
using TExOperators = TEnumSet<TExOperator>;
constexpr TExOperators AllExOperators {xoInList, xoBetween, xoStartsWith, xoContains};

// Field types whose values are written as quoted literals, unless the model says otherwise.
constexpr TFieldTypes DefaultQuotedTypes {ftString, ftBoolean, ftDate, ftTime, ftDateTime, ftMemo, ftFmtMemo,
    ftFixedChar, ftWideString, ftTimeStamp};

// Buttons the data model editor shows.
enum TDMEButton : uint8_t { dmbOpenSave, dmbConnect };
using TDMEButtons = TEnumSet<TDMEButton>;

// A data model: the end users' description of one database. It owns every table, link, field,
// group, operator and condition, and is the only way the editor, the query panel, the program and
// the wizard reach them.
class TZCustomDBStructure : public QObject {
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TInOutModelEvent
        = std::function<void(QObject* Sender, QStringList& DataModelStrings, bool& Processed)>;
    // The window side's editor; true when the user left it with OK and the model was written back.
    using TDataModelEditor = std::function<bool(TZCustomDBStructure* DBStruct)>;

    // Fired by Changed with the model as Sender.
    TNotifyEvent OnChange;
    // Handed to the editor.
    TNotifyEvent OnSEHelpClick;
    TInOutModelEvent OnLoadModel;
    TInOutModelEvent OnSaveModel;

    explicit TZCustomDBStructure(QObject* Owner = nullptr);
    // Fires no event.
    ~TZCustomDBStructure() override;

    // Registered by the program at start-up, so the model opens its editor without knowing windows.
    static void SetDataModelEditor(TDataModelEditor Editor);

    // Format version of the model text last read, in thousandths (3500 for 3.5).
    int Version() const { return FVersion; }
    void SetVersion(int Value) { FVersion = Value; }
    TZDBInfo* DatabaseInfo() const { return FDatabaseInfo; }
    // Hands the waiting database-specific lines to the new database information.
    void SetDatabaseInfo(TZDBInfo* Value);
    const TDSFieldList& Fields() const { return FFields; }
    const TDSTableList& Tables() const { return FTables; }
    const QList<TDSOperator*>& Operators() const { return FOperators; }
    const QList<TDSLink*>& Links() const { return FLinks; }
    TDSConditionList& Conditions() { return FConditions; }
    const TDSConditionList& Conditions() const { return FConditions; }
    TDSFieldGroupList& FieldGroups() { return FFieldGroups; }
    const TDSFieldGroupList& FieldGroups() const { return FFieldGroups; }
    TDSFieldGroup* RootGroup() { return &FRootGroup; }
    const TDSFieldGroup* RootGroup() const { return &FRootGroup; }
    // Overwritten by every join-path search.
    const TDSPath& Path() const { return FPath; }
    TDSTable* DefaultMainTable() const { return FDefaultMainTable; }
    void SetDefaultMainTable(TDSTable* Value) { FDefaultMainTable = Value; }
    bool StoreStruct() const { return FStoreStruct; }
    void SetStoreStruct(bool Value) { FStoreStruct = Value; }
    QStringList& StoredStruct() { return FStoredStruct; }
    bool ModelLoaded() const { return FModelLoaded; }
    void SetModelLoaded(bool Value) { FModelLoaded = Value; }
    const TSQLFormats& SQLFormats() const { return FSQLFormats; }
    void SetSQLFormats(const TSQLFormats& Value) { FSQLFormats = Value; }
    // Field types whose values are written as quoted literals.
    TFieldTypes QuotedTypes() const { return FQuotedTypes; }
    void SetQuotedTypes(TFieldTypes Value) { FQuotedTypes = Value; }
    bool RootFieldsFirst() const { return FRootFieldsFirst; }
    void SetRootFieldsFirst(bool Value) { FRootFieldsFirst = Value; }
    // Lines not yet handed to the database information.
    QStringList& DBSpecInfo() { return FDBSpecInfo; }
    bool AutoAddFields() const { return FAutoAddFields; }
    void SetAutoAddFields(bool Value) { FAutoAddFields = Value; }
    const QString& HelpFileName() const { return FHelpFileName; }
    void SetHelpFileName(const QString& Value) { FHelpFileName = Value; }
    int SEHelpContext() const { return FSEHelpContext; }
    void SetSEHelpContext(int Value) { FSEHelpContext = Value; }
    // Stand-ins the query panel binds when a saved query names an item the model lacks.
    TDSField* PlaceholderField() const { return FPlaceholderField.get(); }
    TDSOperator* PlaceholderOperator() const { return FPlaceholderOperator.get(); }
    TDSCondition* PlaceholderCondition() const { return FPlaceholderCondition.get(); }
    // Name=Caption lines of the default operators.
    const rtl::StringList& DefOperators() const { return FDefOperators; }
    void SetDefOperators(const QStringList& Lines);
    // While true, Changed fires nothing.
    bool UpdateLock() const { return FUpdateLock; }
    void SetUpdateLock(bool Value) { FUpdateLock = Value; }
    TExOperators ExOperators() const { return FExOperators; }
    void SetExOperators(TExOperators Value);
    const QString& InitialSEPath() const { return FInitialSEPath; }
    void SetInitialSEPath(const QString& Value) { FInitialSEPath = Value; }
    TDMEButtons DMEButtons() const { return FDMEButtons; }
    void SetDMEButtons(TDMEButtons Value) { FDMEButtons = Value; }
    const TDMOptions& DMOptions() const { return FDMOptions; }
    void SetDMOptions(const TDMOptions& Value) { FDMOptions = Value; }

    void PassDBSpecInfo();
    void UpdateFullTableName();
    // Code 11 without database information.
    void CheckDatabaseInfo() const;

    int AddTable(const QString& Name, const QString& DisplayName);
    void DeleteTable(int Index);
    int GetTableCount() const { return int(FTables.size()); }
    // Kind is a TTableLookup.
    TDSTable* FindTable(int Kind, const QString& Text) const;
    // One line per table with the text of the kind (tlName to tlSQLName); Objects, when given, gets
    // the tables.
    void GetTableNames(int Kind, QStringList& Strings, QList<TDSTable*>* Objects = nullptr) const;

    int AddField(TZFieldKind Kind, const QString& FieldExpr, TDSTable* Table, const QString& DisplayName);
    // Appends a field made outside the model (a field read from a model text) as it is, without
    // Changed.
    int AppendField(TDSField* Field);
    void DeleteField(int Index);
    // Deletes every field of Group, then the group itself.
    void DeleteFieldGroup(TDSFieldGroup* Group);
    TDSField* FieldByID(int ID) const;
    // Kind is a TFieldLookup.
    TDSField* FindField(int Kind, const QString& Text) const;

    int AddLink(TDSLink* Link);
    int GetLinkCount() const { return int(FLinks.size()); }
    TDSLink* GetLink(int Index) const;
    // The first link between the tables named Name1 and Name2, in either direction; names compare
    // exactly. Null when there is none.
    TDSLink* FindLinkBetween(const QString& Name1, const QString& Name2) const;
    void DeleteLink(int Index);

    TDSCondition* ConditionByID(int ID) const;
    void GetConditionNames(QStringList& Strings) const;

    int AddOperator(const QString& Name, const QString& DisplayName, TFieldTypes AppliedTypes,
        const QString& ValFormat, const QString& SQLName);
    int GetOperatorCount() const { return int(FOperators.size()); }
    TDSOperator* GetOperator(int Index) const;
    void DeleteOperator(int Index);
    // Looks the name up as OperatorNameOf gives it, ignoring case.
    int IndexOfOperator(const QString& Name) const;
    TDSOperator* OperatorByName(const QString& Name) const;
    void GetOperatorNames(QStringList& Strings, QList<TDSOperator*>* Objects = nullptr) const;
    void SetOperatorCaption(const QString& Name, const QString& Caption);
    void RemoveOperatorByName(const QString& Name);

    QString GetDefOperatorCaption(const QString& Name) const;
    void ResetDefOperators();
    void CompleteDefOperators();
    void AddDefaultOperators(bool OnlyMissing);
    void UpdateExOperators();
    void UpdateOperatorCaptions();

    // The shortest chain of links between the tables of two aliases, kept in Path.
    const TDSPath& FindPath(const QString& Alias1, const QString& Alias2);

    void Clear();
    virtual void Changed();
    // Runs the registered editor on this model.
    bool Edit();

    // The model text of struct.dbs, always written at the current version. A read takes a text of
    // any version into a new model that replaces this one only when the whole text was read: a
    // damaged text raises EZDBStructError and leaves this model as it was.
    void SaveToStrings(QStringList& Lines) const;
    void LoadFromStrings(const QStringList& Lines);
    // UTF-8 with CR LF, written through a temporary file.
    void SaveToFile(const QString& FileName) const;
    // A file that cannot be read raises rtl::EFileError; errors in its text name the file.
    void LoadFromFile(const QString& FileName);
    // A new UTF-8 text with CR LF after every line; free it with DisposeText.
    char* GetAsText() const;
    void SetAsText(const char* Text);
    // Dest takes what the model text carries.
    void AssignTo(TZCustomDBStructure& Dest) const;
    // Reads StoredStruct once, then brings the operators in line with ExOperators and DefOperators.
    void LoadStored();

private:
    friend class TDSTable;
    friend class TDSLink;
    friend class TDSField;

    void InitPlaceholders();
    quint64 NextSeq() { return ++FLastSeq; }
    void IndexTable(TDSTable* Table);
    void UnindexTable(TDSTable* Table);
    void IndexField(TDSField* Field);
    void UnindexField(TDSField* Field);
    // Called by a dying table: its links, the fields that use it and every reference to it go.
    void TableDestroying(TDSTable* Table);
    void FreeField(int Index);
    void FreeOperator(int Index);
    int NextFieldID() const;
    // Frees every table, link, field, group, condition and operator, firing nothing.
    void FreeContent();
    // Replaces the content by that of Source, which is left empty.
    void TakeContent(TZCustomDBStructure& Source);

    int FVersion = 3500;
    QPointer<TZDBInfo> FDatabaseInfo;
    TDSFieldList FFields;
    TDSTableList FTables;
    QList<TDSOperator*> FOperators;
    QList<TDSLink*> FLinks;
    TDSConditionList FConditions;
    TDSPath FPath;
    TDSFieldGroupList FFieldGroups;
    TDSFieldGroup FRootGroup;
    TDSTable* FDefaultMainTable = nullptr;
    bool FStoreStruct = true;
    QStringList FStoredStruct;
    bool FModelLoaded = false;
    TSQLFormats FSQLFormats;
    TFieldTypes FQuotedTypes = DefaultQuotedTypes;
    bool FRootFieldsFirst = false;
    QStringList FDBSpecInfo;
    bool FAutoAddFields = true;
    QString FHelpFileName;
    int FSEHelpContext = 0;
    std::unique_ptr<TDSField> FPlaceholderField;
    std::unique_ptr<TDSOperator> FPlaceholderOperator;
    std::unique_ptr<TDSCondition> FPlaceholderCondition;
    rtl::StringList FDefOperators;
    bool FUpdateLock = false;
    bool FDestroying = false;
    TExOperators FExOperators = AllExOperators;
    QString FInitialSEPath;
    TDMEButtons FDMEButtons {dmbOpenSave};
    TDMOptions FDMOptions;

    quint64 FLastSeq = 0;
    TItemIndex<TDSTable, QString> FTablesByName;
    TItemIndex<TDSTable, QString> FTablesByAlias;
    TItemIndex<TDSTable, QString> FTablesByDisplayName;
    TItemIndex<TDSField, int> FFieldsByID;
    TItemIndex<TDSField, QString> FFieldsByExpr;
    TItemIndex<TDSField, QString> FFieldsByDisplayName;
};

// The published form of the data model component.
class TZDBStructure : public TZCustomDBStructure {
public:
    using TZCustomDBStructure::TZCustomDBStructure;
};

// Appends to Tables every model table that Expr names as alias.column or table.column (alias
// first), once per mention, and to References each such text.
void ParseExprTables(
    const TZCustomDBStructure* Model, const QString& Expr, TDSTableList& Tables, QStringList* References);

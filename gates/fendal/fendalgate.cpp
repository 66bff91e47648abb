#include "gates/fendal/fendalgate.h"

#include "gates/fendal/sqldates.h"
#include "rtl/stringlist.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>
#include <stdexcept>

namespace {

const QString ConnectionName = QStringLiteral("Fendal");
const QString TestConnectionName = QStringLiteral("FendalTest");
const QString SQLiteDriver = QStringLiteral("QSQLITE");

struct TypeRule {
    const char* Word;
    TFieldType Type;
};

// In SQLite's order of precedence: integer words first, then texts, then reals.
constexpr TypeRule TypeRules[] = {
    {"BIGINT", ftLargeint},
    {"SMALLINT", ftSmallint},
    {"TINYINT", ftSmallint},
    {"INT", ftInteger},
    {"BOOL", ftBoolean},
    {"DATETIME", ftDateTime},
    {"TIMESTAMP", ftTimeStamp},
    {"DATE", ftDate},
    {"TIME", ftTime},
    {"VARCHAR", ftString},
    {"VARYING", ftString},
    {"CHAR", ftFixedChar},
    {"TEXT", ftMemo},
    {"CLOB", ftMemo},
    {"MONEY", ftCurrency},
    {"CURRENCY", ftCurrency},
    {"DEC", ftBCD},
    {"NUMERIC", ftBCD},
    {"REAL", ftFloat},
    {"FLOA", ftFloat},
    {"DOUB", ftFloat},
    {"BLOB", ftBlob},
    {"BINARY", ftBlob},
    {"IMAGE", ftGraphic},
};

QString DetailValue(const QStringList& Details, const QString& Name)
{
    return rtl::StringList(Details).Values(Name);
}

// Opens the database of Details on the connection Name; an empty text when it opened, else why
// not (the connection is then removed again).
QString OpenDatabase(const QStringList& Details, const QString& Name)
{
    QString path = DetailValue(Details, QStringLiteral("Database"));
    if (path.isEmpty())
        return QStringLiteral("No database file is given");
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString file = QDir::current().absoluteFilePath(path);
    QString driver = DetailValue(Details, QStringLiteral("Driver"));
    if (driver.isEmpty())
        driver = SQLiteDriver;
    // SQLite would make a new empty database of a missing file.
    if (driver == SQLiteDriver && !QFileInfo(file).isFile())
        return QStringLiteral("Database file \"%1\" does not exist").arg(file);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, Name);
        db.setDatabaseName(file);
        if (driver == SQLiteDriver)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            // SQLite opens any file; only reading its schema tells whether it is a database.
            QSqlQuery probe(db);
            if (driver != SQLiteDriver || probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                return QString();
            error = probe.lastError().text();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(Name);
    return error;
}

void CloseDatabase(const QString& Name)
{
    if (!QSqlDatabase::contains(Name))
        return;
    QSqlDatabase::database(Name, false).close();
    QSqlDatabase::removeDatabase(Name);
}

[[noreturn]] void Fail(const QString& Message)
{
    throw std::runtime_error(Message.toStdString());
}

QSqlDatabase OpenConnection()
{
    QSqlDatabase db = QSqlDatabase::database(ConnectionName, false);
    if (!db.isOpen())
        Fail(QStringLiteral("Not connected to a database"));
    return db;
}

FendalRows Run(const QString& SQL, const QVariantList& Binds = {})
{
    QSqlQuery query(OpenConnection());
    query.setForwardOnly(true);
    if (!query.prepare(SQL))
        Fail(query.lastError().text());
    for (const QVariant& bind : Binds)
        query.addBindValue(bind);
    if (!query.exec())
        Fail(query.lastError().text());
    FendalRows rows;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        rows.Columns.append(record.fieldName(i));
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < record.count(); ++i)
            row.append(query.value(i));
        rows.Rows.push_back(row);
    }
    return rows;
}

}  // namespace

QStringList ColumnValues(const FendalRows& Rows, int Index)
{
    QStringList values;
    for (const QVariantList& row : Rows.Rows)
        values.append(row.value(Index).toString());
    return values;
}

TFieldType FieldTypeOfDeclared(const QString& Declared, int& Size)
{
    static const QRegularExpression size(QStringLiteral(R"(\(\s*(\d+))"));
    const QRegularExpressionMatch match = size.match(Declared);
    Size = match.hasMatch() ? match.captured(1).toInt() : 0;
    const QString upper = Declared.toUpper();
    for (const TypeRule& rule : TypeRules)
        if (upper.contains(QLatin1String(rule.Word)))
            return rule.Type;
    return ftUnknown;
}

FendalGate::~FendalGate()
{
    Disconnect();
}

void FendalGate::SetDetails(const QStringList& Details)
{
    Disconnect();
    FDetails = Details;
    FCurrentDBName = MainDatabase;
}

QString FendalGate::DatabasePath() const
{
    return DetailValue(FDetails, QStringLiteral("Database"));
}

void FendalGate::SetDatabasePath(const QString& Path)
{
    rtl::StringList details(FDetails);
    details.SetValues(QStringLiteral("Database"), Path);
    SetDetails(details);
}

void FendalGate::Connect()
{
    Disconnect();
    FConnectError = OpenDatabase(FDetails, ConnectionName);
}

void FendalGate::Disconnect()
{
    CloseDatabase(ConnectionName);
}

bool FendalGate::IsConnected() const
{
    return QSqlDatabase::contains(ConnectionName) && QSqlDatabase::database(ConnectionName, false).isOpen();
}

QString FendalGate::TestConnection(const QStringList& Details)
{
    const QString error = OpenDatabase(Details, TestConnectionName);
    CloseDatabase(TestConnectionName);
    return error;
}

void FendalGate::SetCurrentDBName(const QString& Name)
{
    FCurrentDBName = Name.isEmpty() ? MainDatabase : Name;
}

QStringList FendalGate::DatabaseNames() const
{
    return ColumnValues(
        Run(QStringLiteral("SELECT name FROM pragma_database_list WHERE name <> 'temp' ORDER BY seq")));
}

QStringList FendalGate::Tables() const
{
    return ColumnValues(Run(QStringLiteral("SELECT name FROM pragma_table_list WHERE schema = ? "
                                           "AND type IN ('table', 'view') AND name NOT LIKE 'sqlite\\_%' "
                                           "ESCAPE '\\' ORDER BY name COLLATE NOCASE"),
        {FCurrentDBName}));
}

void FendalGate::Fields(const QString& Table, TDBFieldList& List) const
{
    List.Clear();
    const FendalRows rows = Run(QStringLiteral("SELECT name, type FROM pragma_table_info(?, ?) ORDER BY cid"),
        {Table, FCurrentDBName});
    for (const QVariantList& row : rows.Rows) {
        auto field = std::make_unique<TDBFieldInfo>();
        field->Name = row.value(0).toString();
        field->FieldType = FieldTypeOfDeclared(row.value(1).toString(), field->Size);
        List.Add(field.release());
    }
}

QStringList FendalGate::Links() const
{
    QStringList links;
    for (const QString& table : Tables()) {
        const FendalRows keys = Run(QStringLiteral("SELECT \"from\", \"table\", \"to\", seq FROM "
                                                   "pragma_foreign_key_list(?, ?) ORDER BY id, seq"),
            {table, FCurrentDBName});
        for (const QVariantList& key : keys.Rows) {
            const QString parent = key.value(1).toString();
            QString column = key.value(2).toString();
            // A key that names no column refers to the primary key of the other table.
            if (key.value(2).isNull()) {
                const QStringList primary = ColumnValues(
                    Run(QStringLiteral("SELECT name FROM pragma_table_info(?, ?) WHERE pk > 0 ORDER BY pk"),
                        {parent, FCurrentDBName}));
                column = primary.value(key.value(3).toInt());
            }
            links.append(table + QLatin1Char('.') + key.value(0).toString() + QLatin1Char('=') + parent
                + QLatin1Char('.') + column);
        }
    }
    return links;
}

FendalRows FendalGate::Query(const QString& SQL) const
{
    if (SQL.trimmed().isEmpty())
        Fail(QStringLiteral("No SQL text is given"));
    return Run(RewriteDateLiterals(SQL));
}

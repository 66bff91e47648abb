// Build-time tool: runs an SQL script into a new SQLite database through Qt SQL.
//   sqlscript <script.sql> <database file>
// The database is written beside the target and renamed over it only when every statement ran.

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {

// The statements of Script, split at semicolons outside quotes and comments.
QStringList SplitStatements(const QString& Script)
{
    QStringList statements;
    QString current;
    QChar quote;  // the quote that closes the literal or identifier being read
    bool lineComment = false;
    bool blockComment = false;
    for (qsizetype i = 0; i < Script.size(); ++i) {
        const QChar ch = Script[i];
        const QChar next = i + 1 < Script.size() ? Script[i + 1] : QChar();
        current += ch;
        if (lineComment) {
            lineComment = ch != u'\n';
        } else if (blockComment) {
            if (ch == u'*' && next == u'/') {
                current += next;
                ++i;
                blockComment = false;
            }
        } else if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == u'-' && next == u'-') {
            lineComment = true;
        } else if (ch == u'/' && next == u'*') {
            blockComment = true;
        } else if (ch == u'\'' || ch == u'"' || ch == u'`') {
            quote = ch;
        } else if (ch == u'[') {
            quote = u']';
        } else if (ch == u';') {
            statements.append(current);
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current);
    return statements;
}

bool RunScript(const QString& ScriptFile, const QString& DatabaseFile, QString& Error)
{
    QFile script(ScriptFile);
    if (!script.open(QIODevice::ReadOnly)) {
        Error = ScriptFile + QStringLiteral(": ") + script.errorString();
        return false;
    }
    const QString text = QString::fromUtf8(script.readAll());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(DatabaseFile);
    if (!db.open()) {
        Error = DatabaseFile + QStringLiteral(": ") + db.lastError().text();
        return false;
    }
    db.transaction();
    QSqlQuery query(db);
    for (const QString& statement : SplitStatements(text)) {
        if (!query.exec(statement)) {
            Error = query.lastError().text() + QStringLiteral("\nin: ") + statement.trimmed().left(200);
            return false;
        }
    }
    if (!db.commit()) {
        Error = db.lastError().text();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: sqlscript <script.sql> <database file>\n";
        return 2;
    }
    const QString target = args[2];
    const QString temporary = target + QStringLiteral(".tmp");
    QFile::remove(temporary);
    QString error;
    const bool ran = RunScript(args[1], temporary, error);
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    if (ran && (QFile::remove(target) || !QFile::exists(target)) && QFile::rename(temporary, target))
        return 0;
    QFile::remove(temporary);
    err << "sqlscript: " << (error.isEmpty() ? QStringLiteral("cannot write ") + target : error) << "\n";
    return 1;
}

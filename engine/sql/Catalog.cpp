// The engine's dictionary: its own tables, the describes and the user accounts.
#include "sql/Catalog.h"

#include "base/OraError.h"
#include "sql/ColumnTypes.h"
#include "sql/DialectFunctions.h"
#include "sql/SqlTokenizer.h"
#include "store/PreparedQuery.h"
#include "store/ProgramStore.h"
#include "store/SequenceStore.h"

#include <sqlite3.h>

#include <algorithm>

namespace engine {
namespace {

// The engine's tables, and DUAL: a view, so that nobody can take its one row
// away, and a lasting one, so that the client's own views can read it.
std::string installScript() {
    return "BEGIN IMMEDIATE;"
           "CREATE TABLE IF NOT EXISTS " + quoteStored(kUserTable) +
           " (NAME TEXT PRIMARY KEY, SALT BLOB NOT NULL, HASH BLOB NOT NULL);"
           "CREATE TABLE IF NOT EXISTS " + quoteStored(kSequenceTable) +
           " (NAME TEXT PRIMARY KEY, NEXT_VALUE INTEGER NOT NULL, INCREMENT INTEGER NOT NULL);"
           "CREATE VIEW IF NOT EXISTS " + quoteStored(kDualTable) + " AS SELECT 'X' AS DUMMY;"
           "CREATE TABLE IF NOT EXISTS " + quoteStored(kProgramTable) +
           " (NAME TEXT NOT NULL, TYPE TEXT NOT NULL, SOURCE TEXT NOT NULL, STATUS TEXT NOT NULL,"
           " VERSION INTEGER NOT NULL, CREATED TEXT, LAST_DDL_TIME TEXT, PRIMARY KEY (NAME, TYPE));"
           "CREATE TABLE IF NOT EXISTS " + quoteStored(kSourceTable) +
           " (NAME TEXT NOT NULL, TYPE TEXT NOT NULL, LINE INTEGER NOT NULL, TEXT TEXT,"
           " PRIMARY KEY (NAME, TYPE, LINE));"
           "CREATE TABLE IF NOT EXISTS " + quoteStored(kProgramErrorTable) +
           " (NAME TEXT NOT NULL, TYPE TEXT NOT NULL, SEQUENCE INTEGER NOT NULL, LINE INTEGER, POSITION INTEGER,"
           " TEXT TEXT, PRIMARY KEY (NAME, TYPE, SEQUENCE));"
           "COMMIT;";
}

// The engine's own objects; a database that lacks any (a new one, or one of
// an earlier build) has them installed.
constexpr const char* kEngineObjects[] = {kUserTable, kSequenceTable, kDualTable, kProgramTable, kSourceTable,
                                          kProgramErrorTable};

bool engineObjectsPresent(sqlite3* db) {
    PreparedQuery query(db, "SELECT COUNT(*) FROM sqlite_master WHERE name IN (?1, ?2, ?3, ?4, ?5, ?6)");
    int index = 0;
    for (const char* name : kEngineObjects) query.bind(++index, std::string(name));
    query.step();
    return query.integer(0) == static_cast<std::int64_t>(std::size(kEngineObjects));
}

// The server's USER_ dictionary views over SQLite's schema and the sequence
// table. They are temporary, made per connection, so that the database file
// holds no object that needs the engine's functions.
std::string dictionaryViewScript() {
    const std::string name = quoteStored(kNameFunction);
    const std::string objects = quoteStored(kUserObjectsView);
    return "CREATE TEMP VIEW IF NOT EXISTS " + objects + " AS SELECT " + name +
           "(name) AS OBJECT_NAME, upper(type) AS OBJECT_TYPE, 'VALID' AS STATUS, NULL AS CREATED,"
           " NULL AS LAST_DDL_TIME FROM main.sqlite_master"
           " WHERE type IN ('table', 'view', 'index', 'trigger') AND " + name + "(name) IS NOT NULL"
           " UNION ALL SELECT NAME, 'SEQUENCE', 'VALID', NULL, NULL FROM main." + quoteStored(kSequenceTable) +
           " UNION ALL SELECT NAME, TYPE, STATUS, CREATED, LAST_DDL_TIME FROM main." + quoteStored(kProgramTable) + ";"
           "CREATE TEMP VIEW IF NOT EXISTS " + quoteStored(kUserSourceView) +
           " AS SELECT NAME, TYPE, LINE, TEXT FROM main." + quoteStored(kSourceTable) + ";"
           "CREATE TEMP VIEW IF NOT EXISTS " + quoteStored(kUserErrorsView) +
           " AS SELECT NAME, TYPE, SEQUENCE, LINE, POSITION, TEXT FROM main." + quoteStored(kProgramErrorTable) + ";"
           "CREATE TEMP VIEW IF NOT EXISTS " + quoteStored(kUserTablesView) +
           " AS SELECT OBJECT_NAME AS TABLE_NAME FROM " + objects + " WHERE OBJECT_TYPE = 'TABLE';"
           "CREATE TEMP VIEW IF NOT EXISTS " + quoteStored(kUserViewsView) +
           " AS SELECT OBJECT_NAME AS VIEW_NAME FROM " + objects + " WHERE OBJECT_TYPE = 'VIEW';"
           "CREATE TEMP VIEW IF NOT EXISTS " + quoteStored(kUserSequencesView) +
           " AS SELECT NAME AS SEQUENCE_NAME, INCREMENT AS INCREMENT_BY, NEXT_VALUE AS LAST_NUMBER FROM main." +
           quoteStored(kSequenceTable) + ";";
}

// Runs an SQL script of the engine's own; throws the server's error for a failure.
void runScript(sqlite3* db, const std::string& script) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return;
    const std::string text = message != nullptr ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw OraError::fromSqlite(rc, text);
}

// Double-quoted text is always an identifier in the dialect; SQLite would
// otherwise read a quoted name that matches no column as a string literal.
void refuseQuotedStrings(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

// The stored name of an object named in SQL syntax: [schema.]name, quoted or
// not. The schema is not checked: a database holds one schema.
std::optional<std::string> storedObjectName(const std::string& nameAsWritten) {
    const SqlTokenizer tokenizer(nameAsWritten);
    std::vector<SqlToken> names;
    for (const SqlToken& token : tokenizer.tokens()) {
        if (!token.significant() || token.isSymbol(".")) continue;
        if (!token.isName()) return std::nullopt;
        names.push_back(token);
    }
    if (tokenizer.error() || names.empty() || names.size() > 2) return std::nullopt;
    return encodeIdentifier(std::string(names.back().text));
}

// NOT NULL and primary-key columns are not nullable, as on the server.
bool columnNullable(sqlite3* db, sqlite3_stmt* stmt, int index) {
    const char* table = sqlite3_column_table_name(stmt, index);
    const char* column = sqlite3_column_origin_name(stmt, index);
    if (table == nullptr || column == nullptr) return true;
    int notNull = 0;
    int primaryKey = 0;
    const int rc = sqlite3_table_column_metadata(db, sqlite3_column_database_name(stmt, index), table, column,
                                                 nullptr, nullptr, &notNull, &primaryKey, nullptr);
    return rc != SQLITE_OK || (notNull == 0 && primaryKey == 0);
}

// The select-list item behind result column `index`, when the list (without
// "*") lines up with the result columns.
const SelectItem* selectItem(sqlite3_stmt* stmt, int index, const TranslatedSql& translated) {
    const auto& items = translated.selectList;
    const bool aligned = static_cast<int>(items.size()) == sqlite3_column_count(stmt) &&
                         std::none_of(items.begin(), items.end(), [](const SelectItem& item) { return item.star; });
    return aligned ? &items[static_cast<std::size_t>(index)] : nullptr;
}

// The type a value the statement has already produced shows.
void describeFromValue(sqlite3_stmt* stmt, int index, ColumnDescription& column) {
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: ColumnTypes::fromDeclaredType("NUMBER", column); break;
    case SQLITE_BLOB: ColumnTypes::fromDeclaredType("RAW", column); break;
    default: ColumnTypes::fromDeclaredType("VARCHAR2", column); break;
    }
}

// Result column `index`'s name as SQLite gives it (stored form). SQLite
// renames a repeated column "NAME:N" (a view's columns too) where the server
// repeats the plain name. The suffix counts as SQLite's only when the part
// before it names an earlier column, so a quoted name of the user's own with a
// colon stays as written.
std::string resultColumnName(sqlite3_stmt* stmt, int index) {
    const char* raw = sqlite3_column_name(stmt, index);
    const std::string name = raw != nullptr ? raw : "";
    const std::size_t colon = name.rfind(':');
    const bool numbered = colon != std::string::npos && colon + 1 < name.size() &&
                          name.find_first_not_of("0123456789", colon + 1) == std::string::npos;
    if (!numbered) return name;
    const std::string plain = name.substr(0, colon);
    for (int earlier = 0; earlier < index; ++earlier) {
        const char* other = sqlite3_column_name(stmt, earlier);
        if (other != nullptr && plain == other) return plain;
    }
    return name;
}

// The query's text from the FROM of its outermost SELECT on, or empty when it
// has none.
std::string_view fromClause(const std::string& sql) {
    const SqlTokenizer tokenizer(sql);
    int depth = 0;
    for (const SqlToken& token : tokenizer.tokens()) {
        depth += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
        if (depth == 0 && token.isWord("FROM")) return std::string_view(sql).substr(token.offset);
    }
    return {};
}

// Whether `operand`, a plain name in a select-list expression of the query
// `sql`, reads a DATE column: the name alone, selected from the query's own
// FROM clause, has DATE for its declared type. A query the probe cannot be
// made from (an ORDER BY naming a select-list alias, say) answers no.
bool readsDateColumn(sqlite3* db, const std::string& sql, const std::string& operand) {
    const std::string_view from = fromClause(sql);
    if (from.empty()) return false;
    try {
        const PreparedQuery probe(db, "SELECT " + operand + " " + std::string(from));
        const char* declared = sqlite3_column_count(probe.handle()) == 1 ? sqlite3_column_decltype(probe.handle(), 0)
                                                                          : nullptr;
        if (declared == nullptr) return false;
        ColumnDescription column;
        ColumnTypes::fromDeclaredType(declared, column);
        return column.type == InternalType::Date;
    } catch (const OraError&) {
        return false;
    }
}

}  // namespace

Catalog::Catalog(sqlite3* db, BusyHandler lockWait)
    : db_(db), sequences_(std::make_shared<SequenceStore>(db, lockWait)) {
    refuseQuotedStrings(db_);
    if (!engineObjectsPresent(db_)) runScript(db_, installScript());
    DialectFunctions::install(db_, sequences_);
    runScript(db_, dictionaryViewScript());
}

Catalog::~Catalog() = default;

void Catalog::createSequence(const EngineCommand& command) {
    sequences_->create(command.name, command.start, command.increment);
}

void Catalog::dropSequence(const std::string& name) { sequences_->drop(name); }

std::int64_t Catalog::currentValue(const std::string& name) const { return sequences_->current(name); }

std::optional<ObjectKind> Catalog::objectKind(const std::string& nameAsWritten) const {
    const auto stored = storedObjectName(nameAsWritten);
    if (!stored || isInternalName(*stored)) return std::nullopt;
    PreparedQuery query(db_, "SELECT type FROM sqlite_master WHERE name = ?1 AND type IN ('table', 'view')");
    if (query.bind(1, *stored).step()) return query.text(0) == "view" ? ObjectKind::View : ObjectKind::Table;
    if (sequences_->exists(decodeIdentifier(*stored))) return ObjectKind::Sequence;
    return std::nullopt;
}

std::vector<ColumnDescription> Catalog::describeObject(const std::string& nameAsWritten) const {
    const auto kind = objectKind(nameAsWritten);
    if (!kind || *kind == ObjectKind::Sequence) throw OraError(OraCode::ObjectMissing, {nameAsWritten});
    PreparedQuery query(db_, "SELECT * FROM " + quoteStored(*storedObjectName(nameAsWritten)));
    const TranslatedSql noSelectList;
    std::vector<ColumnDescription> columns;
    for (int i = 0; i < sqlite3_column_count(query.handle()); ++i)
        columns.push_back(describeResultColumn(query.handle(), i, noSelectList));
    return columns;
}

std::vector<SchemaObject> Catalog::listObjects() const {
    std::vector<SchemaObject> objects;
    PreparedQuery tables(db_, "SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view')");
    while (tables.step()) {
        const std::string stored = tables.text(0);
        if (isInternalName(stored)) continue;
        objects.push_back({decodeIdentifier(stored), tables.text(1) == "view" ? ObjectKind::View : ObjectKind::Table});
    }
    PreparedQuery sequences(db_, "SELECT NAME FROM " + quoteStored(kSequenceTable));
    while (sequences.step()) objects.push_back({sequences.text(0), ObjectKind::Sequence});
    for (const StoredProgram& program : ProgramStore(db_).list()) {
        if (program.kind == "PROCEDURE") objects.push_back({program.name, ObjectKind::Procedure});
        if (program.kind == "FUNCTION") objects.push_back({program.name, ObjectKind::Function});
        if (program.kind == "PACKAGE") objects.push_back({program.name, ObjectKind::Package});
    }
    std::sort(objects.begin(), objects.end(),
              [](const SchemaObject& a, const SchemaObject& b) { return a.name < b.name; });
    return objects;
}

ColumnDescription Catalog::describeResultColumn(sqlite3_stmt* stmt, int index, const TranslatedSql& translated) const {
    ColumnDescription column;
    const SelectItem* item = selectItem(stmt, index, translated);
    const std::string name = resultColumnName(stmt, index);
    column.name = item != nullptr ? item->name : decodeIdentifier(name);
    const char* declared = sqlite3_column_decltype(stmt, index);
    if (declared != nullptr) {
        ColumnTypes::fromDeclaredType(declared, column);
    } else if (!ColumnTypes::fromExpression(item != nullptr ? item->expression : name, column,
                                            [this, &translated](const std::string& operand) {
                                                return readsDateColumn(db_, translated.sql, operand);
                                            })) {
        describeFromValue(stmt, index, column);
    }
    column.nullable = columnNullable(db_, stmt, index);
    return column;
}

bool Catalog::hasUsers() const {
    PreparedQuery query(db_, "SELECT 1 FROM " + quoteStored(kUserTable) + " LIMIT 1");
    return query.step();
}

std::optional<UserAccount> Catalog::findUser(const std::string& name) const {
    PreparedQuery query(db_, "SELECT SALT, HASH FROM " + quoteStored(kUserTable) + " WHERE NAME = ?1");
    if (!query.bind(1, name).step()) return std::nullopt;
    return UserAccount{name, query.blob(0), query.blob(1)};
}

void Catalog::addUser(const UserAccount& account) {
    if (findUser(account.name)) throw OraError(OraCode::NameAlreadyUsed);
    PreparedQuery insert(db_, "INSERT INTO " + quoteStored(kUserTable) + " (NAME, SALT, HASH) VALUES (?1, ?2, ?3)");
    insert.bind(1, account.name).bindBlob(2, account.salt).bindBlob(3, account.hash).run();
}

void Catalog::replaceUser(const UserAccount& account) {
    PreparedQuery update(db_, "UPDATE " + quoteStored(kUserTable) + " SET SALT = ?2, HASH = ?3 WHERE NAME = ?1");
    update.bind(1, account.name).bindBlob(2, account.salt).bindBlob(3, account.hash).run();
}

}  // namespace engine

// The engine's dictionary over one open SQLite connection (one session).
//
// Constructing a Catalog installs what translated SQL relies on: the engine's
// own objects (the user and sequence tables and the DUAL view, created once per
// database file and named with the "^$" prefix so that no user object can clash
// with them), the USER_ dictionary views (temporary, per connection), and the
// SQL functions of the dialect (DialectFunctions.h); and it makes SQLite take
// double-quoted text only as an identifier, never as a string. It then answers
// the describes: a table's or view's columns, a query's result columns, the
// objects of the schema.
//
// One Catalog per session: CURRVAL is remembered per Catalog. The connection is
// not owned and must outlive the Catalog; the SQL functions keep their own state
// alive, so statements run after the Catalog is gone still work.
#pragma once

#include "base/InternalApi.h"
#include "sql/SqlDialect.h"
#include "store/UserAccount.h"
#include "store/BusyHandler.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

class SequenceStore;

// The server's internal datatype codes a describe reports.
enum class InternalType : unsigned short {
    Varchar2 = 1,
    Number = 2,
    Long = 8,
    Date = 12,
    Raw = 23,
    LongRaw = 24,
    Char = 96,
    Clob = 112,
    Blob = 113
};

// One described column: what the call interface's parameter descriptor reports.
struct ColumnDescription {
    std::string name;                            // dictionary name (decoded)
    InternalType type = InternalType::Varchar2;  // server's datatype code
    unsigned size = 0;       // data size in bytes (22 for NUMBER, 7 for DATE)
    int precision = 0;       // NUMBER precision, 0 when not declared
    int scale = 0;           // NUMBER scale; -127 for an unconstrained NUMBER
    bool nullable = true;    // false for NOT NULL and primary-key columns
};

// The kinds of schema object the engine keeps.
enum class ObjectKind { Table, View, Sequence, Procedure, Function, Package };

struct SchemaObject {
    std::string name;  // dictionary name (decoded)
    ObjectKind kind;
};

class ENGINE_INTERNAL_API Catalog {
public:
    // Installs the engine's tables (when missing) and functions on `db`.
    // `lockWait` decides how long a NEXTVAL waits for another session's
    // commit (see SequenceStore). Throws OraError when the database cannot be
    // written or read.
    explicit Catalog(sqlite3* db, BusyHandler lockWait = {});
    ~Catalog();
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    // Sequences, for the engine commands of translateSql(). Names are decoded
    // dictionary names (EngineCommand::name). ORA-00955 when the name is taken,
    // ORA-02289 when there is no such sequence, ORA-08002 for a CURRVAL that
    // this session has not yet defined by a NEXTVAL.
    void createSequence(const EngineCommand& command);
    void dropSequence(const std::string& name);
    std::int64_t currentValue(const std::string& name) const;
    // The sequences' part in the session's transactions (see SequenceStore).
    SequenceStore& sequences() { return *sequences_; }

    // The kind of the object the client names `nameAsWritten` (SQL syntax:
    // "emp", EMP or "Emp", optionally "SCHEMA."-qualified), if there is one.
    std::optional<ObjectKind> objectKind(const std::string& nameAsWritten) const;
    // The columns of a table or view, in order; ORA-04043 for anything else.
    std::vector<ColumnDescription> describeObject(const std::string& nameAsWritten) const;
    // Every table, view, sequence and stored program of the database, by name.
    std::vector<SchemaObject> listObjects() const;
    // Result column `index` (0-based) of the prepared statement `stmt`, which
    // was made from `translated`: the declared type of the column it reads, or
    // for an expression the type its text implies.
    ColumnDescription describeResultColumn(sqlite3_stmt* stmt, int index,
                                           const TranslatedSql& translated) const;

    // Logon accounts. addUser throws ORA-00955 when the name exists;
    // replaceUser gives an existing account a new salt and hash.
    bool hasUsers() const;
    std::optional<UserAccount> findUser(const std::string& name) const;
    void addUser(const UserAccount& account);
    void replaceUser(const UserAccount& account);

private:
    sqlite3* db_;                             // the session's connection, not owned
    std::shared_ptr<SequenceStore> sequences_; // shared with the SQL functions
};

}  // namespace engine

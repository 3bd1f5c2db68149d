// What the block language's compiler asks of the database it compiles for:
// the other program units a text names, the columns behind %TYPE, and whether
// the SQL inside a program compiles. PlsqlSession answers for a session.
#pragma once

#include "plsql/PlsqlProgram.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace engine {

class PlsqlCatalog {
public:
    // A package's compiled header (its CREATE PACKAGE); null when there is no such package.
    virtual std::shared_ptr<const PlsqlUnit> packageHeader(const std::string& name) = 0;
    // A standalone procedure or function: its compiled unit, or null.
    virtual std::shared_ptr<const PlsqlUnit> standalone(const std::string& name) = 0;
    // The type of `table`.`column` for %TYPE; null when there is no such column.
    virtual TypeRef columnType(const std::string& table, const std::string& column) = 0;
    // Compiles the SQLite text `sql` on the session (throwing the server's
    // error when it does not compile) and gives its result columns' names.
    virtual std::vector<std::string> checkSql(const std::string& sql) = 0;
    // The schema the session's programs belong to (the logged-on user).
    virtual std::string owner() = 0;

protected:
    ~PlsqlCatalog() = default;
};

}  // namespace engine

// Reading and writing the stored programs' tables.
#include "store/ProgramStore.h"

#include "base/StoredNames.h"
#include "store/PreparedQuery.h"

namespace engine {
namespace {

std::string table(const char* name) { return "main." + quoteStored(name); }

void removeRows(sqlite3* db, const char* name, const StoredProgram& program) {
    PreparedQuery remove(db, "DELETE FROM " + table(name) + " WHERE NAME = ?1 AND TYPE = ?2");
    remove.bind(1, program.name).bind(2, program.kind).run();
}

void saveLines(sqlite3* db, const StoredProgram& program) {
    PreparedQuery insert(db, "INSERT INTO " + table(kSourceTable) + " (NAME, TYPE, LINE, TEXT) VALUES (?1, ?2, ?3, ?4)");
    std::size_t start = 0;
    for (std::int64_t line = 1; start <= program.source.size(); ++line) {
        std::size_t end = program.source.find('\n', start);
        if (end == std::string::npos) end = program.source.size();
        insert.bind(1, program.name).bind(2, program.kind).bind(3, line);
        insert.bind(4, program.source.substr(start, end - start + (end < program.source.size() ? 1 : 0))).run();
        start = end + 1;
    }
}

void saveErrors(sqlite3* db, const StoredProgram& program, const std::vector<ProgramError>& errors) {
    PreparedQuery insert(db, "INSERT INTO " + table(kProgramErrorTable) +
                                 " (NAME, TYPE, SEQUENCE, LINE, POSITION, TEXT) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    std::int64_t sequence = 0;
    for (const ProgramError& error : errors) {
        insert.bind(1, program.name).bind(2, program.kind).bind(3, ++sequence);
        insert.bind(4, static_cast<std::int64_t>(error.line)).bind(5, static_cast<std::int64_t>(error.position));
        insert.bind(6, error.text).run();
    }
}

StoredProgram programRow(const PreparedQuery& row) {
    return StoredProgram{row.text(0), row.text(1), row.text(2), row.text(3) == "VALID", row.integer(4)};
}

constexpr char kProgramColumns[] = "NAME, TYPE, SOURCE, STATUS, VERSION";

}  // namespace

void ProgramStore::save(const StoredProgram& program, const std::vector<ProgramError>& errors) {
    const std::optional<StoredProgram> old = find(program.name, program.kind);
    const std::string status = errors.empty() ? "VALID" : "INVALID";
    if (old) {
        PreparedQuery update(db_, "UPDATE " + table(kProgramTable) +
                                      " SET SOURCE = ?3, STATUS = ?4, VERSION = VERSION + 1, LAST_DDL_TIME = " +
                                      quoteStored(kSysdateFunction) + "() WHERE NAME = ?1 AND TYPE = ?2");
        update.bind(1, program.name).bind(2, program.kind).bind(3, program.source).bind(4, status).run();
    } else {
        const std::string now = quoteStored(kSysdateFunction) + "()";
        PreparedQuery insert(db_, "INSERT INTO " + table(kProgramTable) +
                                      " (NAME, TYPE, SOURCE, STATUS, VERSION, CREATED, LAST_DDL_TIME)"
                                      " VALUES (?1, ?2, ?3, ?4, (SELECT COALESCE(MAX(VERSION), 0) + 1 FROM " +
                                      table(kProgramTable) + "), " + now + ", " + now + ")");
        insert.bind(1, program.name).bind(2, program.kind).bind(3, program.source).bind(4, status).run();
    }
    removeRows(db_, kSourceTable, program);
    removeRows(db_, kProgramErrorTable, program);
    saveLines(db_, program);
    saveErrors(db_, program, errors);
}

bool ProgramStore::drop(const std::string& name, const std::string& kind) {
    if (!find(name, kind)) return false;
    for (const std::string& each : {kind, kind == "PACKAGE" ? std::string("PACKAGE BODY") : std::string()}) {
        if (each.empty()) continue;
        const StoredProgram program{name, each, {}, true, 0};
        removeRows(db_, kProgramTable, program);
        removeRows(db_, kSourceTable, program);
        removeRows(db_, kProgramErrorTable, program);
    }
    return true;
}

std::optional<StoredProgram> ProgramStore::find(const std::string& name, const std::string& kind) const {
    PreparedQuery query(db_, std::string("SELECT ") + kProgramColumns + " FROM " + table(kProgramTable) +
                                 " WHERE NAME = ?1 AND TYPE = ?2");
    if (!query.bind(1, name).bind(2, kind).step()) return std::nullopt;
    return programRow(query);
}

std::optional<std::string> ProgramStore::kindOf(const std::string& name, const std::vector<std::string>& kinds) const {
    for (const std::string& kind : kinds) {
        PreparedQuery query(db_, "SELECT 1 FROM " + table(kProgramTable) + " WHERE NAME = ?1 AND TYPE = ?2");
        if (query.bind(1, name).bind(2, kind).step()) return kind;
    }
    return std::nullopt;
}

std::vector<StoredProgram> ProgramStore::list() const {
    PreparedQuery query(db_, std::string("SELECT ") + kProgramColumns + " FROM " + table(kProgramTable) +
                                 " ORDER BY NAME, TYPE");
    std::vector<StoredProgram> programs;
    while (query.step()) programs.push_back(programRow(query));
    return programs;
}

}  // namespace engine

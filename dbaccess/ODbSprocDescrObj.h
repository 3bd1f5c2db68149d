// The description of one stored procedure with the PL/SQL block that calls
// it, so that one description can serve several procedure objects.
#pragma once

#include <map>
#include <string>

#include "ODbColumnDesc.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;

class VORDB_API ODbSprocDescrObj {
public:
    // Empty: no procedure, no arguments.
    ODbSprocDescrObj();
    // Describes procedure `name` of `package` (null or empty for none).
    ODbSprocDescrObj(ODbConnect& connection, const char* name, const char* package);
    ODbSprocDescrObj(const ODbSprocDescrObj& other);
    ODbSprocDescrObj& operator=(const ODbSprocDescrObj& other);
    virtual ~ODbSprocDescrObj();

    // Describes the procedure and builds its call block; an empty-message
    // ODbException when this object describes one already, "Must be a stored
    // procedure, not a function" for a function.
    void init(ODbConnect& connection, const char* name, const char* package);

    // The argument at 1-based `position`; "Stored procedure has no such
    // argument" outside 1 to the argument count.
    const ODbColumnDesc& getColumnDescr(int position) const;
    // The position of the argument named exactly `name` (as described);
    // "Stored procedure has no such argument" when there is none.
    int getFieldName(const char* name) const;
    const std::map<int, ODbColumnDesc>& getDescriptiveMap() const;
    const std::map<std::string, int>& getFieldNamesMap() const;

    // The anonymous block that calls the procedure with every argument bound
    // by its described name: begin PKG.PROC(:A ,:B); end;
    const char* getBlock() const;
    int getArgumentCount() const;
    bool isInitialised() const;

private:
    void buildBlock();

    std::string procedure_;                  // empty until described
    std::string package_;                    // empty for a standalone procedure
    std::map<int, ODbColumnDesc> arguments_; // by 1-based position
    std::map<std::string, int> positions_;   // by described argument name
    std::string block_;                      // the call block
};

} // namespace Oracle

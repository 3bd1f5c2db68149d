// Library-wide settings: how null and boolean values read as text, the fetch
// size, the export and import programs, the Oracle home, the call-interface
// release. One static instance, reached through ODbOraGlobal::Ptr.
#pragma once

#include <memory>

#include "RefCounted.h"
#include "VorDbApi.h"

namespace Oracle {

// Settings are plain fields without a lock: set them before opening connections.
// Every text setting is an owned copy or null; getters return it, not a copy.
class VORDB_API ODbOraGlobal : public Utils::RefCounted {
public:
    // The library's one instance, constructed with the defaults when the library
    // is loaded. The pointer is constant; the settings behind it are the client's
    // to change through the setters.
    static ODbOraGlobal* const Ptr;

    ODbOraGlobal();
    ODbOraGlobal(const ODbOraGlobal& other);
    ODbOraGlobal& operator=(const ODbOraGlobal& other);
    ~ODbOraGlobal() override;

    char* getNullString() const;
    int getFetchSize() const;
    char* getImportExec() const;
    char* getExportExec() const;
    char* getTrueString() const;
    char* getFalseString() const;
    char* getOraHomeVar() const;
    char* getOraHomePath() const;
    int getOCIVer() const;

    // Each text setter stores a copy of its argument, or null for null.
    void setNullString(const char* text);
    void setFetchSize(int rows);
    void setImportExec(const char* text);
    void setExportExec(const char* text);
    void setTrueString(const char* text);
    void setFalseString(const char* text);
    void setOraHomeVar(const char* text);
    void setOraHomePath(const char* text);
    void setOCIVer(int version);

private:
    using Text = std::unique_ptr<char[]>;

    void init();
    void deinit();
    void copyFrom(const ODbOraGlobal& other);
    static void assignStr(Text& target, const char* text);

    Text nullString_;  // text of a NULL value
    int fetchSize_;    // rows per fetch round trip
    Text importExec_;  // import tool program
    Text exportExec_;  // export tool program
    Text trueString_;  // text of boolean true
    Text falseString_; // text of boolean false
    Text oraHomeVar_;  // text whose environment references give the Oracle home
    Text oraHomePath_; // explicit Oracle home, or null
    int ociVer_;       // call-interface release of this build
};

} // namespace Oracle

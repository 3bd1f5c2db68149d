// A dynamic variable bound to a statement placeholder, by position or by name.
#pragma once

#include <string>

#include "ODbDynamicVariable.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbBindVariable : public ODbDynamicVariable {
public:
    ODbBindVariable();
    ~ODbBindVariable() override;

    // 1-based placeholder position, or -1 when bound by name or not yet bound.
    int getBindPos() const { return bindPos_; }
    void setBindPos(int pos) { bindPos_ = pos; }
    // Placeholder name, or null when bound by position; the variable keeps a copy.
    const char* getBindName() const { return hasName_ ? bindName_.c_str() : nullptr; }
    void setBindName(const char* name);
    // Free flag for the statement that owns the variable.
    bool getFlag() const { return flag_; }
    void setFlag(bool flag) { flag_ = flag; }

private:
    int bindPos_;          // -1 when not bound by position
    std::string bindName_; // valid when hasName_
    bool hasName_;
    bool flag_;
};

} // namespace Oracle

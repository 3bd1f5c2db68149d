// Base of the statement classes: records which connection a statement runs on.
#pragma once

#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;

// The connection is not owned; a statement must not outlive it.
class VORDB_API ODbConnectBase {
public:
    ODbConnectBase();
    explicit ODbConnectBase(ODbConnect& connection);
    ODbConnectBase(const ODbConnectBase& other) = default;
    ODbConnectBase& operator=(const ODbConnectBase& other) = default;
    virtual ~ODbConnectBase();

    // The connection; throws ODbException when none was recorded.
    virtual ODbConnect& getOraConnect() const;
    virtual bool isConnectValid() const;
    void setOraConnect(ODbConnect& connection);

private:
    ODbConnect* connection_; // not owned; null until one is recorded
};

} // namespace Oracle

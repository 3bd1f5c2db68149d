// Allocation and release of the handles an environment owns.
#include "oci/Environment.h"

#include "base/CallError.h"
#include "oci/DescribeHandle.h"
#include "oci/ErrorHandle.h"
#include "oci/ServerHandle.h"
#include "oci/ServiceContext.h"
#include "oci/SessionHandle.h"
#include "oci/Statement.h"
#include "oci/TransHandle.h"

namespace engine {
namespace {

std::unique_ptr<Handle> makeHandle(ub4 type) {
    switch (type) {
    case OCI_HTYPE_ERROR: return std::make_unique<ErrorHandle>();
    case OCI_HTYPE_SVCCTX: return std::make_unique<ServiceContext>();
    case OCI_HTYPE_STMT: return std::make_unique<Statement>();
    case OCI_HTYPE_DESCRIBE: return std::make_unique<DescribeHandle>();
    case OCI_HTYPE_SERVER: return std::make_unique<ServerHandle>();
    case OCI_HTYPE_SESSION: return std::make_unique<SessionHandle>();
    case OCI_HTYPE_TRANS: return std::make_unique<TransHandle>();
    default: throw CallError(CallCode::InvalidArgument, "type");
    }
}

}  // namespace

Environment::~Environment() {
    // Children go before the environment's own members; taken out of the map
    // first so a child's destructor never runs under mutex_.
    std::unordered_map<Handle*, std::unique_ptr<Handle>> children;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        children.swap(children_);
    }
}

Handle& Environment::allocate(ub4 type) {
    std::unique_ptr<Handle> handle = makeHandle(type);
    Handle& result = *handle;
    result.setOwner(this);
    std::lock_guard<std::mutex> lock(mutex_);
    children_.emplace(&result, std::move(handle));
    return result;
}

void Environment::release(Handle& handle) {
    std::unique_ptr<Handle> owned;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = children_.find(&handle);
        if (found == children_.end()) throw InvalidHandle("hndlp");
        owned = std::move(found->second);
        children_.erase(found);
    }
}

}  // namespace engine

// Handle registration and the attribute defaults.
#include "oci/Handle.h"

#include "base/CallError.h"
#include "oci/HandleRegistry.h"

namespace engine {

Handle::Handle(ub4 type) : type_(type) { HandleRegistry::instance().add(this); }

Handle::~Handle() { HandleRegistry::instance().remove(this); }

void Handle::getAttribute(ub4, void*, ub4*) const { throw CallError(CallCode::IllegalAttribute); }

void Handle::setAttribute(ub4, void*, ub4) { throw CallError(CallCode::IllegalAttribute); }

}  // namespace engine

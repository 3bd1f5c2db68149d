// A user session on an attached server.
#include "OciSessionBegin.h"

#include <cstring>

#include "OciCheck.h"

namespace Oracle {

OciSessionBegin::OciSessionBegin(const OciSessionHandles& handles) : handles_(handles), begun_(false) {}

// Delegating to the plain constructor makes the object complete before the
// calls, so a failure after the session began still ends it.
OciSessionBegin::OciSessionBegin(const OciSessionHandles& handles, const char* userName,
                                 const char* password, ub4 credentials)
    : OciSessionBegin(handles)
{
    setAttr(handles_.serviceContext, OCI_HTYPE_SVCCTX, handles_.server, 0, OCI_ATTR_SERVER);
    setAttr(handles_.session, OCI_HTYPE_SESSION, const_cast<char*>(userName),
            static_cast<ub4>(std::strlen(userName)), OCI_ATTR_USERNAME);
    setAttr(handles_.session, OCI_HTYPE_SESSION, const_cast<char*>(password),
            static_cast<ub4>(std::strlen(password)), OCI_ATTR_PASSWORD);
    OciCheck(handles_.error, OCI_HTYPE_ERROR, nullptr)(OCISessionBegin(
        handles_.serviceContext, handles_.error, handles_.session, credentials, OCI_DEFAULT));
    begun_ = true;
    setAttr(handles_.serviceContext, OCI_HTYPE_SVCCTX, handles_.session, 0, OCI_ATTR_SESSION);
    setAttr(handles_.serviceContext, OCI_HTYPE_SVCCTX, handles_.transaction, 0, OCI_ATTR_TRANS);
}

OciSessionBegin::~OciSessionBegin()
{
    if (!begun_)
        return;
    OciCheck::teardown(OCILogoff(handles_.serviceContext, handles_.error));
    OciCheck::teardown(
        OCISessionEnd(handles_.serviceContext, handles_.error, handles_.session, OCI_DEFAULT));
}

void OciSessionBegin::setAttr(void* target, ub4 targetType, void* value, ub4 size, ub4 attr) const
{
    OciCheck(handles_.error, OCI_HTYPE_ERROR, nullptr)(
        OCIAttrSet(target, targetType, value, size, attr, handles_.error));
}

} // namespace Oracle

// A server attachment.
#include "OciServerAttach.h"

#include <cstring>

#include "OciCheck.h"

namespace Oracle {

OciServerAttach::OciServerAttach(OCIServer* server, OCIError* error, const char* database)
    : server_(server), error_(error)
{
    OciCheck(error, OCI_HTYPE_ERROR, nullptr)(
        OCIServerAttach(server, error, reinterpret_cast<const OraText*>(database),
                        static_cast<sb4>(std::strlen(database)), OCI_DEFAULT));
}

OciServerAttach::~OciServerAttach()
{
    OciCheck::teardown(OCIServerDetach(server_, error_, OCI_DEFAULT));
}

} // namespace Oracle

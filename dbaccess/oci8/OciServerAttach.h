// A server attachment: attached in the constructor, detached in the destructor.
#pragma once

#include <oci.h>

namespace Oracle {

class OciServerAttach {
public:
    // `database` is the attach string ("" for the default database).
    OciServerAttach(OCIServer* server, OCIError* error, const char* database);
    OciServerAttach(const OciServerAttach&) = delete;
    OciServerAttach& operator=(const OciServerAttach&) = delete;
    ~OciServerAttach();

private:
    OCIServer* server_; // not owned: the attached server handle
    OCIError* error_;   // not owned
};

} // namespace Oracle

// Everything one logon holds in the call interface.
#include "OciLogon.h"

namespace Oracle {

OciLogon::OciLogon(ub4 mode, const char* userName, const char* password, const char* database)
    : env_(mode),
      serviceContext_(env_.get()),
      error_(env_.get()),
      server_(env_.get()),
      session_(env_.get()),
      transaction_(env_.get()),
      attach_(server_.get(), error_.get(), database),
      begin_(sessionHandles(), userName, password, OCI_CRED_RDBMS)
{
}

OciSessionHandles OciLogon::sessionHandles() const
{
    return {serviceContext_.get(), error_.get(), server_.get(), session_.get(), transaction_.get()};
}

} // namespace Oracle

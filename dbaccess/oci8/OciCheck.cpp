// The one place where a status of the call interface is judged.
#include "OciCheck.h"

#include "ODbExceptionImpl.h"

namespace Oracle {

OciCheck::OciCheck(const void* source, ub4 sourceType, const char* stmText)
    : source_(source), sourceType_(sourceType), stmText_(stmText)
{
}

sword OciCheck::operator()(sword status) const
{
    if (status != OCI_SUCCESS)
        fail();
    return status;
}

sword OciCheck::operator()(sword status, sword accepted) const
{
    if (status != OCI_SUCCESS && status != accepted)
        fail();
    return status;
}

sword OciCheck::operator()(sword status, sword accepted, sword alsoAccepted) const
{
    if (status != OCI_SUCCESS && status != accepted && status != alsoAccepted)
        fail();
    return status;
}

void OciCheck::teardown(sword status) noexcept
{
    (void)status;
}

void OciCheck::fail() const
{
    throw ODbExceptionImpl(source_, sourceType_, stmText_);
}

} // namespace Oracle

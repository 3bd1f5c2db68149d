// The one place where a result of the call interface is judged.
#include "OciCheck.h"

#include "ODbExceptionImpl.h"

namespace Oracle {

OciCheck::OciCheck(cda_def& area, const char* stmText) : area_(&area), stmText_(stmText) {}

ub2 OciCheck::operator()(sword status, std::initializer_list<ub2> accepted) const
{
    if (status == 0)
        return 0;
    for (ub2 code : accepted)
        if (area_->rc == code)
            return code;
    fail();
}

void OciCheck::teardown(sword status) noexcept
{
    (void)status;
}

void OciCheck::fail() const
{
    throw ODbExceptionImpl(*area_, stmText_);
}

} // namespace Oracle

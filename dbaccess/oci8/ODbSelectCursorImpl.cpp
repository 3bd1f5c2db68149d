// A query cursor over the release-8 call interface.
#include "ODbSelectCursorImpl.h"

#include "FHandleObj.h"
#include "ODbConnectImpl.h"
#include "ODbDynamicVariable.h"
#include "ODbLob.h"
#include "ODbPiecewise.h"
#include "OciLimits.h"
#include "OciStatement.h"

namespace Oracle {

ODbSelectCursorImpl::ODbSelectCursorImpl(ODbConnect& connection) : SelectCursorOver(connection) {}

ODbSelectCursorImpl::~ODbSelectCursorImpl() = default;

void ODbSelectCursorImpl::cancel()
{
    check()(OCIStmtFetch(statement().get(), statement().errorHandle(), 0, OCI_FETCH_NEXT, OCI_DEFAULT));
    setCancelled();
}

void ODbSelectCursorImpl::define(int pos, ODbDynamicVariable& var)
{
    const bool isLong = isPiecewiseType(var.getFtype());
    OCIDefine* handle = nullptr;
    check()(OCIDefineByPos(statement().get(), &handle, statement().errorHandle(), static_cast<ub4>(pos),
                           isLong ? nullptr : var.getData(), isLong ? OciLimits::MaxLongBytes : var.getElemSize(),
                           static_cast<ub2>(var.getFtype()), var.getIndicators(), var.getLengths(),
                           var.getReturnCodes(), isLong ? OCI_DYNAMIC_FETCH : OCI_DEFAULT));
    var.setHandle(handle);
    if (isLong) {
        longDefines_.add(&var);
        setPiecewiseFetch();
    }
}

void ODbSelectCursorImpl::fetch(ODbIndex rows)
{
    setResult(isPiecewiseFetch() ? fetchPiecewise(rows) : fetchRows(rows));
}

void ODbSelectCursorImpl::exfet(ODbIndex rows)
{
    if (!isPiecewiseFetch())
        return exec(rows);
    exec(0);
    fetch(rows);
}

bool ODbSelectCursorImpl::eof()
{
    return lastStatus() == OCI_NO_DATA;
}

sword ODbSelectCursorImpl::fetchRows(ODbIndex rows)
{
    return check()(OCIStmtFetch(statement().get(), statement().errorHandle(), rows, OCI_FETCH_NEXT,
                                OCI_DEFAULT),
                   OCI_NO_DATA);
}

// Each batch starts with empty chains: the chunks of a row are those of the
// batch just fetched, numbered by their row in it.
sword ODbSelectCursorImpl::fetchPiecewise(ODbIndex rows)
{
    for (int i = 1; i <= longDefines_.getCount(); ++i)
        longDefines_.getItem(i)->getLob()->clearBuf();
    const OciCheck checked = check();
    for (;;) {
        const sword status = checked(OCIStmtFetch(statement().get(), statement().errorHandle(), rows,
                                                  OCI_FETCH_NEXT, OCI_DEFAULT),
                                     OCI_NO_DATA, OCI_NEED_DATA);
        if (status != OCI_NEED_DATA)
            return status;
        const PieceRequest request = getPieceInfo();
        receivePiece(request, FHandleObj<ODbDynamicVariable>(longDefines_)(request.handle));
    }
}

} // namespace Oracle

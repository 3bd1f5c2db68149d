// A query cursor over the release-8 call interface.
#include "ODbSelectCursorImpl.h"

#include "FHandleObj.h"
#include "ODbConnectImpl.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbLob.h"
#include "ODbPiecewise.h"
#include "ODbStatementMessages.h"
#include "OciLimits.h"
#include "OciStatement.h"

namespace Oracle {

ODbSelectCursorImpl::ODbSelectCursorImpl(ODbConnect& connection) : ODbCursorImpl(connection)
{
    longDefines_.create();
}

ODbSelectCursorImpl::~ODbSelectCursorImpl() = default;

void ODbSelectCursorImpl::cancel()
{
    check()(OCIStmtFetch(statement().get(), statement().errorHandle(), 0, OCI_FETCH_NEXT, OCI_DEFAULT));
    setCancelled();
}

void ODbSelectCursorImpl::open(const char* stmText, ODbIndex fetchSize)
{
    if (fetchSize == 0)
        throw ODbException(Messages::FetchSizeTooSmall, 0, nullptr);
    ODbCursorImpl::open(stmText);
    initSelVar(fetchSize);
}

void ODbSelectCursorImpl::open(const char* stmText)
{
    open(stmText, 1);
}

void ODbSelectCursorImpl::close()
{
    ODbCursorImpl::close();
}

void ODbSelectCursorImpl::forgetState()
{
    ODbCursorImpl::forgetState();
    longDefines_.create();
    ODbSelectCursor::close();
}

void ODbSelectCursorImpl::bind(const char* name, ODbDynamicVariable& var, ODbIndex iters)
{
    ODbCursorImpl::bind(name, var, iters);
}

void ODbSelectCursorImpl::bind(int pos, ODbDynamicVariable& var, ODbIndex iters)
{
    ODbCursorImpl::bind(pos, var, iters);
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

ODbIndex ODbSelectCursorImpl::getRowProc() const
{
    return ODbCursorImpl::getRowProc();
}

bool ODbSelectCursorImpl::isOpen() const
{
    return ODbCursor::isOpen();
}

ODbConnect& ODbSelectCursorImpl::getConnection() const
{
    return ODbCursorImpl::getConnection();
}

void ODbSelectCursorImpl::registerSelectItemList(const ItemList<ODbDynamicVariable>& list)
{
    ODbSelectCursor::registerSelectItemList(list);
}

void ODbSelectCursorImpl::registerBindItemList(const ItemList<ODbBindVariable>& list)
{
    ODbCursorImpl::registerBindItemList(list);
}

void ODbSelectCursorImpl::exec(ODbIndex iters)
{
    ODbCursorImpl::exec(iters);
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

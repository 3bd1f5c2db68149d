// A query cursor over the release-7 call interface.
#include "ODbSelectCursorImpl.h"

#include <ocidem.h>

#include "ODbDynamicVariable.h"
#include "ODbLob.h"
#include "ODbPiecewise.h"
#include "OciLimits.h"
#include "OciStatement.h"
#include "OciText.h"

namespace Oracle {

namespace {

// Length argument of the absent format texts.
constexpr sword NoFormat = -1;

} // namespace

ODbSelectCursorImpl::ODbSelectCursorImpl(ODbConnect& connection) : SelectCursorOver(connection) {}

ODbSelectCursorImpl::~ODbSelectCursorImpl() = default;

void ODbSelectCursorImpl::cancel()
{
    check()(ocan(area()));
    setCancelled();
}

// A LONG or LONG RAW column comes in pieces, with the variable as the context
// the call interface hands back; no maximum short of a LONG's own cuts it.
void ODbSelectCursorImpl::define(int pos, ODbDynamicVariable& var)
{
    if (!isPiecewiseType(var.getFtype())) {
        check()(odefin(area(), pos, var.getData(), var.getElemSize(), var.getFtype(), NoScale, var.getIndicators(),
                       nullptr, NoFormat, NoFormat, var.getLengths(), var.getReturnCodes()));
        return;
    }
    check()(odefinps(area(), OCI7_PIECEWISE, pos, reinterpret_cast<ub1*>(&var), OciLimits::MaxLongBytes,
                     var.getFtype(), NoScale, var.getIndicators(), nullptr, NoFormat, NoFormat, var.getLengths(),
                     var.getReturnCodes(), 0, sizeof(sb2), sizeof(ub2), sizeof(ub2)));
    longDefines_.add(&var);
    addPieceVariable(var);
    setPiecewiseFetch();
}

void ODbSelectCursorImpl::fetch(ODbIndex rows)
{
    if (isPiecewiseFetch())
        return setResult(fetchPiecewise(rows));
    setResult(check()(ofen(area(), static_cast<sword>(rows)), {NO_DATA_FOUND}));
}

// With a LONG column the rows come through the piecewise fetch, after an
// execute that fetches nothing.
void ODbSelectCursorImpl::exfet(ODbIndex rows)
{
    if (isPiecewiseFetch()) {
        exec(1);
        return fetch(rows);
    }
    setResult(check()(oexfet(area(), static_cast<ub4>(rows), 0, 0), {NO_DATA_FOUND}));
}

bool ODbSelectCursorImpl::eof()
{
    return lastResult() == NO_DATA_FOUND;
}

// Each batch starts with empty chains: the chunks of a row are those of the
// batch just fetched, numbered by their row in it.
ub2 ODbSelectCursorImpl::fetchPiecewise(ODbIndex rows)
{
    for (int i = 1; i <= longDefines_.getCount(); ++i)
        longDefines_.getItem(i)->chain().clearBuf();
    cda_def* cursor = area();
    return runPiecewise([cursor, rows] { return ofen(cursor, static_cast<sword>(rows)); }, true);
}

} // namespace Oracle

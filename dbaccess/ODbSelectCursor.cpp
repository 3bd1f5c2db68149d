// Row navigation of a query cursor, over the back end's execute and fetch.
#include "ODbSelectCursor.h"

#include "ODbDynamicVariable.h"
#include "ODbPiecewise.h"

namespace Oracle {

ODbSelectCursor::ODbSelectCursor()
    : cancelled_(false), selectList_(nullptr), piecewiseFetch_(false), curRow_(-1), rowsInBatch_(0),
      rowsSoFar_(0), fetchSize_(1)
{
}

ODbSelectCursor::~ODbSelectCursor() = default;

void ODbSelectCursor::close()
{
    selectList_ = nullptr;
    piecewiseFetch_ = false;
}

void ODbSelectCursor::registerSelectItemList(const ItemList<ODbDynamicVariable>& list)
{
    selectList_ = &list;
    for (int i = 1; i <= list.getCount(); ++i) {
        if (isPiecewiseType(list.getItem(i)->getFtype()))
            piecewiseFetch_ = true;
    }
}

bool ODbSelectCursor::first()
{
    curRow_ = -1;
    exfet(fetchSize_);
    rowsSoFar_ = rowsInBatch_ = getRowProc();
    if (rowsInBatch_ != 0)
        curRow_ = 0;
    return rowsInBatch_ != 0;
}

bool ODbSelectCursor::next()
{
    if (cancelled_)
        return false;
    if (curRow_ < 0)
        return first();
    if (static_cast<ODbIndex>(curRow_) + 1 < rowsInBatch_) {
        ++curRow_;
        return true;
    }
    return nextBatch();
}

bool ODbSelectCursor::nextBatch()
{
    if (eof()) {
        curRow_ = -1;
        return false;
    }
    fetch(fetchSize_);
    rowsInBatch_ = getRowProc() - rowsSoFar_;
    rowsSoFar_ = getRowProc();
    curRow_ = rowsInBatch_ != 0 ? 0 : -1;
    return rowsInBatch_ != 0;
}

void ODbSelectCursor::reset()
{
    if (curRow_ >= 0 && !cancelled_)
        cancel();
    initSelVar(fetchSize_);
}

ODbSignedIndex ODbSelectCursor::getCurAind() const
{
    return curRow_;
}

void ODbSelectCursor::initSelVar(ODbIndex fetchSize)
{
    curRow_ = -1;
    rowsSoFar_ = 0;
    rowsInBatch_ = 0;
    fetchSize_ = fetchSize;
    cancelled_ = false;
}

} // namespace Oracle

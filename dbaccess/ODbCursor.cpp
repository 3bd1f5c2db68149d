// The back-end-independent part of a cursor.
#include "ODbCursor.h"

#include "ODbBindVariable.h"
#include "ODbException.h"
#include "ODbPiecewise.h"
#include "ODbStatementMessages.h"

namespace Oracle {

ODbCursor::ODbCursor() : open_(false), stmText_(nullptr), piecewise_(false), bindList_(nullptr) {}

ODbCursor::~ODbCursor() = default;

void ODbCursor::close()
{
    open_ = false;
    stmText_ = nullptr;
    piecewise_ = false;
    bindList_ = nullptr;
}

void ODbCursor::registerBindItemList(const ItemList<ODbBindVariable>& list)
{
    bindList_ = &list;
    for (int i = 1; i <= list.getCount(); ++i) {
        if (isPiecewiseType(list.getItem(i)->getFtype()))
            piecewise_ = true;
    }
}

bool ODbCursor::isOpen() const
{
    return open_;
}

void ODbCursor::checkOpenable(const char* stmText) const
{
    if (isOpen())
        throw ODbException(Messages::CursorAlreadyOpen, 0, nullptr);
    if (stmText == nullptr || *stmText == '\0')
        throw ODbException(Messages::SqlNotValid, 0, nullptr);
}

void ODbCursor::setOpen(const char* stmText)
{
    open_ = true;
    stmText_ = stmText;
}

void ODbCursor::checkBindable(const ODbDynamicVariable& var, ODbIndex iters)
{
    if (isPiecewiseType(var.getFtype()) && var.getArraySize() != 1)
        throw ODbException();
    if (!var.isPlSqlTab() && iters > var.getArraySize())
        throw ODbException(Messages::IterationsExceedArray, 0, nullptr);
}

} // namespace Oracle

// One SQL statement of any kind on a connection.
#include "ODbQuery.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>

#include "FPosBindObj.h"
#include "FNameBindObj.h"
#include "ODbClassfactory.h"
#include "ODbCursor.h"
#include "ODbException.h"
#include "ODbFailureGuard.h"
#include "ODbLob.h"
#include "ODbOraGlobal.h"
#include "ODbPiecewise.h"
#include "ODbQueryDescrObj.h"
#include "ODbSelectCursor.h"
#include "ODbStatementMessages.h"

namespace Oracle {

namespace {

// Rows per fetch round trip, as the library's settings give it.
ODbIndex fetchSize()
{
    const int rows = ODbOraGlobal::Ptr->getFetchSize();
    if (rows < 1)
        throw ODbException(Messages::FetchSizeTooSmall, 0, nullptr);
    return static_cast<ODbIndex>(rows);
}

// Element `row` of `src` into element 0 of `dst` (typed alike, one element);
// a LONG value's pieces come along, renumbered as row 0.
void copyElement(ODbDynamicVariable& dst, const ODbDynamicVariable& src, ODbIndex row)
{
    dst.assignData(src, row, 1);
    if (!isPiecewiseType(src.getFtype()))
        return;
    const ODbLob& from = *src.getLob();
    for (int i = 0; i < from.getSize(); ++i)
        if (from.getPiece(i).row == row)
            dst.getLob()->newPiece(from.getPiece(i).data, from.getPiece(i).length, 0);
}

// The first parameter named like parameter `index` (1-based), when that is
// another one; null for a parameter bound by position or the first of its name.
const ODbBindVariable* firstNamesake(const ODbSqlBind<ODbParam>& binder, int index)
{
    const char* name = binder.getVariable(index)->getBindName();
    for (int i = 1; name != nullptr && i < index; ++i) {
        const char* other = binder.getVariable(i)->getBindName();
        if (other != nullptr && strcasecmp(other, name) == 0)
            return binder.getVariable(i);
    }
    return nullptr;
}

// Binds every parameter, by position or by name, and registers the list. A
// name is one variable on the server however often the text uses it: the
// first parameter of that name is bound, and it is the one paramByName gives.
template <class Cursor> void bindAll(Cursor& cursor, const ODbSqlBind<ODbParam>& binder, ODbIndex iters)
{
    for (int i = 1; i <= binder.getCount(); ++i) {
        ODbBindVariable& var = *binder.getVariable(i);
        if (var.getFtype() == extNone)
            throw ODbException(Messages::ParameterNotTyped, 0, nullptr);
        if (firstNamesake(binder, i) != nullptr)
            continue;
        if (var.getBindPos() != -1)
            cursor.bind(var.getBindPos(), var, iters);
        else
            cursor.bind(var.getBindName(), var, iters);
    }
    cursor.registerBindItemList(binder.getList());
}

// After an execute the later parameters of a name take the values the server
// left in the first one (a PL/SQL block returns values through its binds), so
// that every parameter reads what the statement returned.
void copyToNamesakes(const ODbSqlBind<ODbParam>& binder)
{
    for (int i = 1; i <= binder.getCount(); ++i) {
        const ODbBindVariable* first = firstNamesake(binder, i);
        ODbBindVariable& var = *binder.getVariable(i);
        if (first == nullptr || isPiecewiseType(var.getFtype()) || first->getFtype() != var.getFtype() ||
            first->getElemSize() != var.getElemSize())
            continue;
        var.assignData(*first, 0, std::min(first->getArraySize(), var.getArraySize()));
    }
}

} // namespace

ODbQuery::ODbQuery(ODbConnect& connection)
    : ODbConnectBase(connection), open_(false), bound_(false), description_(nullptr)
{
}

ODbQuery::~ODbQuery()
{
    release();
}

void ODbQuery::open(const char* sql, bool keepText)
{
    if (open_)
        throw ODbException(Messages::QueryMustBeClosed, 0, nullptr);
    ownDescription_.reset(new ODbQueryDescrObj(getOraConnect(), sql, keepText));
    start(*ownDescription_);
}

void ODbQuery::open(const ODbQueryDescrObj& description)
{
    if (open_)
        throw ODbException(Messages::QueryMustBeClosed, 0, nullptr);
    start(description);
}

ODbQuery& ODbQuery::operator<<(const char* sql)
{
    if (open_)
        close();
    open(sql, false);
    return *this;
}

void ODbQuery::close()
{
    requireOpen();
    release();
}

void ODbQuery::reset()
{
    requireOpen();
    ODbConnect& current = description_->isSelectStatement() ? selectCursor_->getConnection()
                                                              : cursor_->getConnection();
    if (&current != &getOraConnect()) {
        cursor_.release();
        selectCursor_.release();
        prepare();
        bound_ = false;
    } else if (description_->isSelectStatement()) {
        selectCursor_->reset();
    }
}

void ODbQuery::cancel()
{
    requireSelect();
    selectCursor_->cancel();
}

void ODbQuery::exec(ODbSignedIndex iters)
{
    requireOpen();
    if (description_->isSelectStatement())
        throw ODbException(Messages::IsASelect, 0, nullptr);
    if (iters < 1)
        throw ODbException(Messages::IterationsTooFew, 0, nullptr);
    if (!bound_)
        bindVar(static_cast<ODbIndex>(iters));
    cursor_->exec(static_cast<ODbIndex>(iters));
    copyToNamesakes(binder_);
}

bool ODbQuery::next()
{
    requireSelect();
    if (!bound_)
        bindVar(1);
    return selectCursor_->next();
}

bool ODbQuery::getOne()
{
    requireSelect();
    next();
    return !next();
}

ODbData& ODbQuery::fieldByPos(int position)
{
    requireSelect();
    return row_.getField(position, currentRow());
}

ODbData& ODbQuery::fieldByName(const char* name)
{
    requireSelect();
    return row_.getField(description_->getFieldName(name), currentRow());
}

ODbRow<ODbData> ODbQuery::getRow()
{
    requireSelect();
    ODbRow<ODbData> copy;
    copy.create(row_.getCount());
    for (int i = 1; i <= row_.getCount(); ++i) {
        const ODbDynamicVariable& column = *row_.getVariable(i);
        copy.getVariable(i)->init(column.getFtype(), column.getElemSize(), 1);
        copyElement(*copy.getVariable(i), column, currentRow());
    }
    return copy;
}

int ODbQuery::getColumnCount()
{
    requireSelect();
    return row_.getCount();
}

char* ODbQuery::getColumnName(int position)
{
    requireSelect();
    return const_cast<char*>(description_->getColumnDescr(position).name);
}

ODbParam& ODbQuery::paramByPos(int position, const char* column)
{
    requireOpen();
    typeLikeColumn(FPosBindObj<>(binder_.getList())(position), column);
    return binder_.getPosBindObj(position);
}

ODbParam& ODbQuery::paramByName(const char* name, const char* column)
{
    requireOpen();
    typeLikeColumn(FNameBindObj<>(binder_.getList())(name), column);
    return binder_.getNameBindObj(name);
}

ODbParam& ODbQuery::getParam(int index)
{
    requireOpen();
    if (index < 1 || index > binder_.getCount())
        throw ODbException(Messages::NoSuchParameter, 0, nullptr);
    return binder_.getBindObj(index);
}

int ODbQuery::getParamCount()
{
    return open_ ? binder_.getCount() : 0;
}

ODbIndex ODbQuery::getRowProc()
{
    requireOpen();
    return description_->isSelectStatement() ? selectCursor_->getRowProc() : cursor_->getRowProc();
}

bool ODbQuery::isSelStmt()
{
    return open_ && description_->isSelectStatement();
}

bool ODbQuery::isOpen()
{
    return open_;
}

const ODbQueryDescrObj& ODbQuery::getDescrObj()
{
    requireOpen();
    return *description_;
}

// A failure part-way leaves the query closed with nothing held.
void ODbQuery::start(const ODbQueryDescrObj& description)
{
    const ODbFailureGuard closeAgain([this] { release(); });
    description_ = &description;
    initRow();
    prepare();
    open_ = true;
}

void ODbQuery::release()
{
    cursor_.release();
    selectCursor_.release();
    if (row_.getCount() >= 0)
        row_.destroy();
    if (binder_.getCount() >= 0)
        binder_.destroy();
    ownDescription_.reset();
    description_ = nullptr;
    bound_ = false;
    open_ = false;
}

void ODbQuery::initRow()
{
    if (description_->isSelectStatement()) {
        const ODbIndex rows = fetchSize();
        row_.create(static_cast<int>(description_->getDescriptiveMap().size()));
        for (int i = 1; i <= row_.getCount(); ++i)
            initVar(*row_.getVariable(i), description_->getColumnDescr(i), rows);
    }
    binder_.createFromPlaceholders(description_->getParamList());
}

void ODbQuery::prepare()
{
    if (!description_->isSelectStatement()) {
        cursor_ = ODbClassfactory::createODbCursor(getOraConnect());
        cursor_->open(description_->getSql());
        return;
    }
    selectCursor_ = ODbClassfactory::createODbSelectCursor(getOraConnect());
    selectCursor_->open(description_->getSql(), fetchSize());
    for (int i = 1; i <= row_.getCount(); ++i)
        selectCursor_->define(i, *row_.getVariable(i));
    selectCursor_->registerSelectItemList(row_.getList());
}

void ODbQuery::bindVar(ODbIndex iters)
{
    if (description_->isSelectStatement())
        bindAll(*selectCursor_, binder_, iters);
    else
        bindAll(*cursor_, binder_, iters);
    bound_ = true;
}

void ODbQuery::requireOpen() const
{
    if (!open_)
        throw ODbException(Messages::QueryMustBeOpen, 0, nullptr);
}

void ODbQuery::requireSelect() const
{
    requireOpen();
    if (!description_->isSelectStatement())
        throw ODbException(Messages::NotASelect, 0, nullptr);
}

// Types a query's parameter like the named result column; a parameter typed
// already is left as it is.
void ODbQuery::typeLikeColumn(ODbBindVariable& var, const char* column)
{
    if (!description_->isSelectStatement() || column == nullptr || *column == '\0')
        return;
    initVar(var, description_->getColumnDescr(description_->getFieldName(column)), 1);
}

ODbIndex ODbQuery::currentRow() const
{
    const ODbSignedIndex row = selectCursor_->getCurAind();
    return row < 0 ? 0 : static_cast<ODbIndex>(row);
}

} // namespace Oracle

// A statement cursor over the release-8 call interface.
#include "ODbCursorImpl.h"

#include <cstring>

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

namespace {

// Element i of a PL/SQL table for the dynamic callbacks; an element beyond
// the array grows it, so a procedure returning more rows than announced is kept.
void ensureElement(ODbDynamicVariable& var, ub4 index)
{
    if (index >= var.getArraySize())
        var.resizeArray(index + 1);
}

// The call interface asks for element `index` of an IN PL/SQL table.
sb4 inBindCallback(void* context, OCIBind*, ub4, ub4 index, void** buffer, ub4* length, ub1* piece,
                   void** indicator)
{
    ODbDynamicVariable& var = *static_cast<ODbDynamicVariable*>(context);
    if (index >= var.getArraySize())
        return OCI_ERROR;
    *buffer = var.val(index);
    *length = var.getPieceLengths()[index];
    *piece = OCI_ONE_PIECE;
    *indicator = &var.getIndicators()[index];
    return OCI_CONTINUE;
}

// The call interface delivers element `index` of an OUT PL/SQL table; at the
// first element the table takes the size the call interface announced.
sb4 outBindCallback(void* context, OCIBind*, ub4, ub4 index, void** buffer, ub4** length, ub1* piece,
                    void** indicator, ub2** returnCode)
{
    ODbDynamicVariable& var = *static_cast<ODbDynamicVariable*>(context);
    try {
        if (index == 0) {
            var.resizeArray(var.getCurElements());
            var.setArrayNotNull();
        }
        ensureElement(var, index);
    } catch (...) {
        return OCI_ERROR; // no exception may cross the call interface
    }
    *buffer = var.val(index);
    *length = &var.getPieceLengths()[index];
    *returnCode = &var.getReturnCodes()[index];
    *indicator = &var.getIndicators()[index];
    *piece = OCI_ONE_PIECE;
    return OCI_CONTINUE;
}

// The arguments of OCIBindByPos and OCIBindByName that depend on the variable.
struct BindArgs {
    void* value;
    sb4 valueSize;
    ub2 type;
    void* indicators;
    ub2* lengths;
    ub2* returnCodes;
    ub4 maxElements;
    ub4* curElements;
    ub4 mode;
};

BindArgs bindArgs(ODbDynamicVariable& var)
{
    const ub2 type = static_cast<ub2>(var.getFtype());
    if (isPiecewiseType(var.getFtype()))
        return {nullptr, OciLimits::MaxLongBytes, type, var.getIndicators(), nullptr, nullptr, 0, nullptr, OCI_DATA_AT_EXEC};
    BindArgs args{var.getData(), var.getElemSize(), type, var.getIndicators(), nullptr, nullptr, 0, nullptr,
                  OCI_DEFAULT};
    if (!var.isPlSqlTab())
        return args;
    args.curElements = var.getCurElementsPtr();
    if (var.isFrozen()) {
        args.lengths = var.getLengths();
        args.returnCodes = var.getReturnCodes();
        args.maxElements = var.getArraySize();
    } else {
        args.maxElements = OciLimits::MaxPlSqlTableElements;
        args.mode = OCI_DATA_AT_EXEC;
    }
    return args;
}

void checkBindable(const ODbDynamicVariable& var, unsigned int iters)
{
    if (isPiecewiseType(var.getFtype()) && var.getArraySize() != 1)
        throw ODbException();
    if (!var.isPlSqlTab() && iters > var.getArraySize())
        throw ODbException(Messages::IterationsExceedArray, 0, nullptr);
}

} // namespace

ODbCursorImpl::ODbCursorImpl(ODbConnect& connection)
    : connection_(&ODbConnectImpl::of(connection)), rowsProcessed_(0), lastStatus_(OCI_SUCCESS),
      emptyPieceLength_(0)
{
    longBinds_.create();
}

ODbCursorImpl::~ODbCursorImpl() = default;

void ODbCursorImpl::open(const char* stmText)
{
    if (isOpen())
        throw ODbException(Messages::CursorAlreadyOpen, 0, nullptr);
    if (stmText == nullptr || *stmText == '\0')
        throw ODbException(Messages::SqlNotValid, 0, nullptr);
    statement_.reset(new OciStatement(*connection_, stmText));
    rowsProcessed_ = 0;
    lastStatus_ = OCI_SUCCESS;
    setOpen(stmText);
}

void ODbCursorImpl::close()
{
    if (!isOpen())
        throw ODbException(Messages::CursorClosed, 0, nullptr);
    // The cursor is closed even when freeing the handle reports a failure.
    const std::unique_ptr<OciStatement> statement = std::move(statement_);
    forgetState();
    statement->free();
}

void ODbCursorImpl::forgetState()
{
    longBinds_.create();
    ODbCursor::close();
}

void ODbCursorImpl::exec(unsigned int iters)
{
    // Asked before the execute, whose error record the answer must not replace.
    const bool block = isBlock();
    const sword status = isPiecewise() ? executePiecewise(iters) : execute(iters);
    if (status == OCI_NO_DATA && block)
        check()(status); // a block's escaping NO_DATA_FOUND: ORA-01403 is its failure
    setResult(status);
}

bool ODbCursorImpl::isBlock() const
{
    ub2 type = 0;
    check()(OCIAttrGet(statement().get(), OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE,
                       statement().errorHandle()));
    return type == OCI_STMT_BEGIN || type == OCI_STMT_DECLARE;
}

void ODbCursorImpl::bind(const char* name, ODbDynamicVariable& var, unsigned int iters)
{
    if (name == nullptr || *name == '\0')
        throw ODbException(Messages::PlaceholderNameEmpty, 0, nullptr);
    bindVariable(0, name, var, iters);
}

void ODbCursorImpl::bind(int pos, ODbDynamicVariable& var, unsigned int iters)
{
    bindVariable(pos, nullptr, var, iters);
}

unsigned int ODbCursorImpl::getRowProc() const
{
    return rowsProcessed_;
}

ODbConnect& ODbCursorImpl::getConnection() const
{
    return *connection_;
}

OciStatement& ODbCursorImpl::statement() const
{
    if (statement_ == nullptr)
        throw ODbException(Messages::CursorClosed, 0, nullptr);
    return *statement_;
}

OciCheck ODbCursorImpl::check() const
{
    return statement().check();
}

ub4 ODbCursorImpl::readRowCount() const
{
    ub4 count = 0;
    check()(OCIAttrGet(statement().get(), OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT,
                       statement().errorHandle()));
    return count;
}

void ODbCursorImpl::setResult(sword status)
{
    rowsProcessed_ = readRowCount();
    lastStatus_ = status;
}

void ODbCursorImpl::bindVariable(int pos, const char* name, ODbDynamicVariable& var, unsigned int iters)
{
    checkBindable(var, iters);
    const bool isLong = isPiecewiseType(var.getFtype());
    if (!isLong)
        var.setCurElements(var.getArraySize());
    OCIBind* handle = bindCall(pos, name, var);
    var.setHandle(handle);
    const OciCheck checked = check();
    if (isLong) {
        longBinds_.add(&var);
        setPiecewise();
    } else if (var.isPlSqlTab() && !var.isFrozen()) {
        checked(OCIBindDynamic(handle, statement().errorHandle(), &var, inBindCallback, &var, outBindCallback));
    }
    if (iters > 1 && !isLong && !var.isPlSqlTab())
        checked(OCIBindArrayOfStruct(handle, statement().errorHandle(), var.getElemSize(), sizeof(sb2),
                                     sizeof(ub2), sizeof(ub2)));
}

OCIBind* ODbCursorImpl::bindCall(int pos, const char* name, ODbDynamicVariable& var)
{
    const BindArgs a = bindArgs(var);
    OCIStmt* stmt = statement().get();
    OCIBind* handle = nullptr;
    if (name != nullptr)
        check()(OCIBindByName(stmt, &handle, statement().errorHandle(), reinterpret_cast<const OraText*>(name),
                              static_cast<sb4>(std::strlen(name)), a.value, a.valueSize, a.type, a.indicators,
                              a.lengths, a.returnCodes, a.maxElements, a.curElements, a.mode));
    else
        check()(OCIBindByPos(stmt, &handle, statement().errorHandle(), static_cast<ub4>(pos), a.value,
                             a.valueSize, a.type, a.indicators, a.lengths, a.returnCodes, a.maxElements,
                             a.curElements, a.mode));
    return handle;
}

sword ODbCursorImpl::execute(unsigned int iters)
{
    return check()(OCIStmtExecute(connection_->serviceContext(), statement().get(), statement().errorHandle(),
                                  iters, 0, nullptr, nullptr, OCI_DEFAULT),
                   OCI_NO_DATA);
}

sword ODbCursorImpl::executePiecewise(unsigned int iters)
{
    const OciCheck checked = check();
    for (;;) {
        const sword status = checked(OCIStmtExecute(connection_->serviceContext(), statement().get(),
                                                    statement().errorHandle(), iters, 0, nullptr, nullptr,
                                                    OCI_DEFAULT),
                                     OCI_NO_DATA, OCI_NEED_DATA);
        if (status != OCI_NEED_DATA)
            return status;
        const PieceRequest request = getPieceInfo();
        ODbDynamicVariable& var = FHandleObj<ODbDynamicVariable>(longBinds_)(request.handle);
        if (request.direction == OCI_PARAM_IN)
            supplyPiece(request, var);
        else
            receivePiece(request, var);
    }
}

ODbCursorImpl::PieceRequest ODbCursorImpl::getPieceInfo() const
{
    PieceRequest r{nullptr, 0, 0, 0, 0, 0};
    check()(OCIStmtGetPieceInfo(statement().get(), statement().errorHandle(), &r.handle, &r.handleType,
                                &r.direction, &r.iteration, &r.index, &r.piece));
    return r;
}

// Sends the next chunk of the request's row. A row's only or last chunk goes
// as the last piece, so the call interface never asks beyond the chain; a NULL
// row (or one without chunks) goes as one empty last piece.
void ODbCursorImpl::supplyPiece(const PieceRequest& request, ODbDynamicVariable& var)
{
    if (request.iteration >= var.getArraySize())
        throw ODbException();
    bool available;
    if (request.piece == OCI_FIRST_PIECE)
        available = !var.isNull(request.iteration) && feed_.start(*var.getLob(), request.iteration);
    else if (request.piece == OCI_NEXT_PIECE)
        available = feed_.advance();
    else
        throw ODbException();
    if (!available && request.piece == OCI_NEXT_PIECE)
        throw ODbException();
    if (!available)
        return sendPiece(request, var, nullptr, &emptyPieceLength_, OCI_LAST_PIECE);
    PieceChunk& chunk = feed_.current();
    sendPiece(request, var, chunk.data, &chunk.length, feed_.isLast() ? OCI_LAST_PIECE : request.piece);
}

void ODbCursorImpl::receivePiece(const PieceRequest& request, ODbDynamicVariable& var)
{
    if (request.iteration >= var.getArraySize())
        throw ODbException();
    ODbLob& lob = *var.getLob();
    PieceChunk& chunk = lob.getPiece(lob.newPiece());
    chunk.row = request.iteration;
    chunk.length = PieceChunk::Size;
    sendPiece(request, var, chunk.data, &chunk.length, request.piece);
}

void ODbCursorImpl::sendPiece(const PieceRequest& request, ODbDynamicVariable& var, void* buffer, ub4* length,
                              ub1 piece)
{
    emptyPieceLength_ = 0;
    check()(OCIStmtSetPieceInfo(request.handle, request.handleType, statement().errorHandle(), buffer, length,
                                piece, &var.getIndicators()[request.iteration],
                                &var.getReturnCodes()[request.iteration]));
}

} // namespace Oracle

// A statement cursor over the release-8 call interface.
#include "ODbCursorImpl.h"

#include <cstring>

#include "FHandleObj.h"
#include "ODbConnectImpl.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
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

static_assert(PieceExchange::OnePiece == OCI_ONE_PIECE && PieceExchange::FirstPiece == OCI_FIRST_PIECE &&
                  PieceExchange::NextPiece == OCI_NEXT_PIECE && PieceExchange::LastPiece == OCI_LAST_PIECE,
              "piece codes pass between the library and the call interface unchanged");

} // namespace

ODbCursorImpl::ODbCursorImpl(ODbConnect& connection)
    : connection_(&ODbConnectImpl::of(connection)), rowsProcessed_(0), lastStatus_(OCI_SUCCESS)
{
    longBinds_.create();
}

ODbCursorImpl::~ODbCursorImpl() = default;

void ODbCursorImpl::open(const char* stmText)
{
    checkOpenable(stmText);
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

void ODbCursorImpl::exec(ODbIndex iters)
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

void ODbCursorImpl::bind(const char* name, ODbDynamicVariable& var, ODbIndex iters)
{
    if (name == nullptr || *name == '\0')
        throw ODbException(Messages::PlaceholderNameEmpty, 0, nullptr);
    bindVariable(0, name, var, iters);
}

void ODbCursorImpl::bind(int pos, ODbDynamicVariable& var, ODbIndex iters)
{
    bindVariable(pos, nullptr, var, iters);
}

ODbIndex ODbCursorImpl::getRowProc() const
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

void ODbCursorImpl::bindVariable(int pos, const char* name, ODbDynamicVariable& var, ODbIndex iters)
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

sword ODbCursorImpl::execute(ODbIndex iters)
{
    return check()(OCIStmtExecute(connection_->serviceContext(), statement().get(), statement().errorHandle(),
                                  iters, 0, nullptr, nullptr, OCI_DEFAULT),
                   OCI_NO_DATA);
}

sword ODbCursorImpl::executePiecewise(ODbIndex iters)
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
            sendPiece(request, var,
                      pieces_.supply(var, request.iteration, static_cast<PieceExchange::Piece>(request.piece)));
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

void ODbCursorImpl::receivePiece(const PieceRequest& request, ODbDynamicVariable& var)
{
    sendPiece(request, var,
              PieceExchange::receive(var, request.iteration, static_cast<PieceExchange::Piece>(request.piece)));
}

void ODbCursorImpl::sendPiece(const PieceRequest& request, ODbDynamicVariable& var,
                              const PieceExchange::Transfer& transfer)
{
    check()(OCIStmtSetPieceInfo(request.handle, request.handleType, statement().errorHandle(), transfer.buffer,
                                transfer.length, transfer.piece, &var.getIndicators()[request.iteration],
                                &var.getReturnCodes()[request.iteration]));
}

} // namespace Oracle

// A cursor area's statement: parse, binds, defines, execute, fetch, describe
// and pieces, each on the release-8 statement handle.
#include "oci7/CursorArea.h"

#include "base/OraError.h"
#include "ocidem.h"
#include "oci7/ReleaseEightCalls.h"

namespace engine {
namespace {

constexpr int kIllegalVariable = 1036;  // ORA-01036
constexpr int kNoDescriptor = 24334;    // ORA-24334

// The release-7 function type of release-8 statement type `type`; 0 for the
// statements that have none of the four.
ub2 functionType(ub2 type) {
    switch (type) {
    case OCI_STMT_SELECT: return FT_SELECT;
    case OCI_STMT_INSERT: return FT_INSERT;
    case OCI_STMT_UPDATE: return FT_UPDATE;
    case OCI_STMT_DELETE: return FT_DELETE;
    default: return 0;
    }
}

// Characters needed to show any value of a column of `type` and `size`.
sb4 displaySize(ub2 type, ub2 size, sb2 precision) {
    switch (type) {
    case SQLT_NUM: return precision > 0 ? precision + 2 : 40;  // sign and decimal point
    case SQLT_DAT: return 9;                                    // DD-MON-YY
    case SQLT_BIN: return 2 * size;                             // shown in hex
    default: return size;
    }
}

template <typename T>
T attribute(const void* handle, ub4 handleType, ub4 attribute, OCIError* errors) {
    T value{};
    require(OCIAttrGet(handle, handleType, &value, nullptr, attribute, errors), errors);
    return value;
}

}  // namespace

CursorArea::CursorArea(cda_def& fields, std::shared_ptr<LoginArea> session)
    : DataArea(fields), session_(std::move(session)) {
    errors_ = static_cast<OCIError*>(allocateHandle(session_->environment(), OCI_HTYPE_ERROR));
    statement_ = static_cast<OCIStmt*>(allocateHandle(session_->environment(), OCI_HTYPE_STMT));
    session_->addCursor(*this);
}

CursorArea::~CursorArea() {
    session_->removeCursor(*this);
    OCIHandleFree(statement_, OCI_HTYPE_STMT);
    OCIHandleFree(errors_, OCI_HTYPE_ERROR);
}

void CursorArea::remember(const ErrorRecord& failure) {
    DataArea::remember(failure);
    session_->remember(failure);
}

void CursorArea::parse(const std::string& text, bool deferred) {
    statementType_ = 0;
    executed_ = false;
    ranAtParse_ = false;
    pieceTargets_.clear();
    fields().ft = 0;
    fields().rpc = 0;
    fields().peo = 0;
    require(OCIStmtPrepare(statement_, errors_, clientText(text), static_cast<ub4>(text.size()), OCI_NTV_SYNTAX,
                           OCI_DEFAULT),
            errors_);
    statementType_ = attribute<ub2>(statement_, OCI_HTYPE_STMT, OCI_ATTR_STMT_TYPE, errors_);
    fields().ft = functionType(statementType_);
    if (deferred) return;
    if (isDefinition()) {
        execute(1, 0);
        ranAtParse_ = true;
    } else {
        ensureDescribed();
    }
}

bool CursorArea::isDefinition() const {
    return statementType_ == OCI_STMT_CREATE || statementType_ == OCI_STMT_DROP || statementType_ == OCI_STMT_ALTER;
}

void CursorArea::bindNumber(ub4 number, const ClientBuffers& buffers) {
    BindSpec spec;
    static_cast<ClientBuffers&>(spec) = buffers;
    OCIBind* bind = nullptr;
    const std::string name = ":" + std::to_string(number);
    const sword status = OCIBindByName(statement_, &bind, errors_, clientText(name), static_cast<sb4>(name.size()),
                                       buffers.value, buffers.valueSize, buffers.type, buffers.indicators,
                                       buffers.lengths, buffers.returnCodes, 0, nullptr, buffers.mode);
    if (status == OCI_SUCCESS) return;
    if (failureOf(status, errors_).number() != kIllegalVariable) require(status, errors_);
    require(OCIBindByPos(statement_, &bind, errors_, number, buffers.value, buffers.valueSize, buffers.type,
                         buffers.indicators, buffers.lengths, buffers.returnCodes, 0, nullptr, buffers.mode),
            errors_);
}

OCIBind* CursorArea::bindByName(const std::string& name, const BindSpec& spec) {
    OCIBind* bind = nullptr;
    require(OCIBindByName(statement_, &bind, errors_, clientText(name), static_cast<sb4>(name.size()), spec.value,
                          spec.valueSize, spec.type, spec.indicators, spec.lengths, spec.returnCodes,
                          spec.maxElements, spec.currentElements, spec.mode),
            errors_);
    return bind;
}

void CursorArea::bindName(const std::string& name, const BindSpec& spec) { bindByName(name, spec); }

void CursorArea::bindArray(const std::string& name, const BindSpec& spec, const ElementSkips& skips) {
    OCIBind* bind = bindByName(name, spec);
    const auto skip = [](sb4 given, sb4 packed) { return static_cast<ub4>(given > 0 ? given : packed); };
    require(OCIBindArrayOfStruct(bind, errors_, skip(skips.value, spec.valueSize),
                                 skip(skips.indicator, sizeof(sb2)), skip(skips.length, sizeof(ub2)),
                                 skip(skips.returnCode, sizeof(ub2))),
            errors_);
}

void CursorArea::bindPieces(const std::string& name, void* context, const ClientBuffers& buffers) {
    BindSpec spec;
    static_cast<ClientBuffers&>(spec) = buffers;
    spec.value = nullptr;
    spec.mode = OCI_DATA_AT_EXEC;
    OCIBind* bind = bindByName(name, spec);
    pieceTargets_[bind] = {OCI_HTYPE_BIND, context, buffers.indicators, buffers.returnCodes};
}

void CursorArea::define(ub4 position, const ClientBuffers& buffers) {
    OCIDefine* define = nullptr;
    require(OCIDefineByPos(statement_, &define, errors_, position, buffers.value, buffers.valueSize, buffers.type,
                           buffers.indicators, buffers.lengths, buffers.returnCodes, OCI_DEFAULT),
            errors_);
}

// The indicator and return code of each value go where the define was told,
// as for any other define.
void CursorArea::definePieces(ub4 position, void* context, const ClientBuffers& buffers) {
    OCIDefine* define = nullptr;
    require(OCIDefineByPos(statement_, &define, errors_, position, nullptr, buffers.valueSize, buffers.type,
                           nullptr, nullptr, nullptr, OCI_DYNAMIC_FETCH),
            errors_);
    pieceTargets_[define] = {OCI_HTYPE_DEFINE, context, buffers.indicators, buffers.returnCodes};
}

void CursorArea::execute(ub4 iterations, ub4 rowOffset) {
    if (ranAtParse_) {
        ranAtParse_ = false;
        return;
    }
    const ub4 count = statementType_ == OCI_STMT_SELECT ? 0 : iterations;
    checkStatus(OCIStmtExecute(session_->context(), statement_, errors_, count, rowOffset, nullptr, nullptr,
                               OCI_DEFAULT));
}

void CursorArea::executeAndFetch(ub4 rows, bool cancel) {
    const sword status =
        OCIStmtExecute(session_->context(), statement_, errors_, rows, 0, nullptr, nullptr, OCI_DEFAULT);
    const bool delivered = status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO || status == OCI_NO_DATA;
    if (cancel && delivered) {
        updateRowCount();
        executed_ = true;
        this->cancel();
    }
    checkStatus(status);
}

void CursorArea::fetch(ub4 rows) {
    if (rows == 0) throw CallError(CallCode::InvalidArgument, "nrows");
    checkStatus(OCIStmtFetch(statement_, errors_, rows, OCI_FETCH_NEXT, OCI_DEFAULT));
}

void CursorArea::cancel() {
    if (statementType_ != OCI_STMT_SELECT || !executed_) return;
    require(OCIStmtFetch(statement_, errors_, 0, OCI_FETCH_NEXT, OCI_DEFAULT), errors_);
}

// Reports an execute's or fetch's outcome: rows processed, and a failure or a
// piece request as the area's error.
void CursorArea::checkStatus(sword status) {
    if (status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO || status == OCI_NO_DATA ||
        status == OCI_NEED_DATA) {
        executed_ = true;
    }
    if (status == OCI_SUCCESS_WITH_INFO) fields().wrn = 1;
    if (status == OCI_NEED_DATA) {
        updateRowCount();
        const bool in = pendingRequest().direction == OCI_PARAM_IN;
        throw CallError(in ? CallCode::NextPieceToInsert : CallCode::NextPieceToFetch);
    }
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
        // Read before the row count's call replaces the record.
        const OraError failure = failureOf(status, errors_);
        updateRowCount();
        throw failure;
    }
    updateRowCount();
}

void CursorArea::updateRowCount() {
    ub4 rows = 0;
    if (OCIAttrGet(statement_, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, errors_) == OCI_SUCCESS) {
        fields().rpc = rows;
    }
}

// A query's select list is known once it was executed or described; a text
// not yet checked is checked now.
void CursorArea::ensureDescribed() {
    ub4 count = 0;
    if (OCIAttrGet(statement_, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, errors_) == OCI_SUCCESS) {
        return;
    }
    require(OCIStmtExecute(session_->context(), statement_, errors_, 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY),
            errors_);
}

SelectItem CursorArea::describeItem(ub4 position) {
    ensureDescribed();
    void* parameter = nullptr;
    const sword status = OCIParamGet(statement_, OCI_HTYPE_STMT, errors_, &parameter, position);
    if (status != OCI_SUCCESS && failureOf(status, errors_).number() == kNoDescriptor) {
        throw CallError(CallCode::NotInSelectList);
    }
    require(status, errors_);
    SelectItem item;
    const ub2 size = attribute<ub2>(parameter, OCI_DTYPE_PARAM, OCI_ATTR_DATA_SIZE, errors_);
    const ub2 type = attribute<ub2>(parameter, OCI_DTYPE_PARAM, OCI_ATTR_DATA_TYPE, errors_);
    item.size = size;
    item.type = static_cast<sb2>(type);
    item.precision = attribute<sb2>(parameter, OCI_DTYPE_PARAM, OCI_ATTR_PRECISION, errors_);
    item.scale = attribute<sb1>(parameter, OCI_DTYPE_PARAM, OCI_ATTR_SCALE, errors_);
    item.nullable = attribute<ub1>(parameter, OCI_DTYPE_PARAM, OCI_ATTR_IS_NULL, errors_);
    item.displaySize = displaySize(type, size, item.precision);
    OraText* name = nullptr;
    ub4 nameLength = 0;
    require(OCIAttrGet(parameter, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, errors_), errors_);
    item.name.assign(reinterpret_cast<const char*>(name), nameLength);
    return item;
}

CursorArea::PendingRequest CursorArea::pendingRequest() {
    PendingRequest request;
    ub1 piece = 0;
    require(OCIStmtGetPieceInfo(statement_, errors_, &request.handle, &request.handleType, &request.direction,
                                &request.info.iteration, &request.info.index, &piece),
            errors_);
    request.info.piece = piece;
    auto target = pieceTargets_.find(request.handle);
    if (target == pieceTargets_.end()) throw CallError(CallCode::FetchOutOfSequence);
    request.info.context = target->second.context;
    return request;
}

PieceInfo CursorArea::pendingPiece() { return pendingRequest().info; }

void CursorArea::setPiece(ub1 piece, void* buffer, ub4* length) {
    const PendingRequest request = pendingRequest();
    const PieceTarget& target = pieceTargets_.at(request.handle);
    sb2* indicator = clientElement(target.indicators, sizeof(sb2), request.info.iteration);
    ub2* returnCode = clientElement(target.returnCodes, sizeof(ub2), request.info.iteration);
    require(OCIStmtSetPieceInfo(request.handle, request.handleType, errors_, buffer, length, piece, indicator,
                                returnCode),
            errors_);
}

}  // namespace engine

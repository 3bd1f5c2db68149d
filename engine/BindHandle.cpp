// Reading bound elements and gathering data-at-exec pieces.
#include "BindHandle.h"

#include "CallError.h"

#include <sqlite3.h>

namespace engine {
namespace {

template <typename T>
T* element(T* base, ub4 skip, ub4 index) {
    if (base == nullptr) return nullptr;
    auto* bytes = reinterpret_cast<unsigned char*>(const_cast<std::remove_const_t<T>*>(base));
    return reinterpret_cast<T*>(bytes + static_cast<std::size_t>(skip) * index);
}

}  // namespace

BindHandle::BindHandle(Statement& statement, const BindSpec& spec, std::vector<int> parameters)
    : Handle(OCI_HTYPE_BIND), statement_(statement), parameters_(std::move(parameters)) {
    rebind(spec);
}

void BindHandle::rebind(const BindSpec& spec) {
    if (spec.valueSize < 0) throw CallError(CallCode::InvalidArgument, "value_sz");
    codec_ = &ValueCodec::forType(spec.type);
    spec_ = spec;
    valueSkip_ = static_cast<ub4>(spec.valueSize);
    if (!dataAtExec() && spec.value == nullptr && spec.valueSize > 0) {
        throw CallError(CallCode::InvalidArgument, "valuep");
    }
}

void BindHandle::setSkips(ub4 value, ub4 indicator, ub4 length, ub4 returnCode) {
    valueSkip_ = value;
    indicatorSkip_ = indicator;
    lengthSkip_ = length;
    returnCodeSkip_ = returnCode;
}

void BindHandle::setCallbacks(void* inContext, OCICallbackInBind in, void* outContext, OCICallbackOutBind out) {
    inContext_ = inContext;
    inCallback_ = in;
    outContext_ = outContext;
    outCallback_ = out;
}

bool BindHandle::isNull(ub4 iteration) const {
    const sb2* indicator = element(spec_.indicators, indicatorSkip_, iteration);
    return indicator != nullptr && *indicator < 0;
}

void BindHandle::bindElement(sqlite3_stmt* stmt, ub4 iteration, bool copy) const {
    for (int parameter : parameters_) bindValue(stmt, parameter, iteration, copy);
}

void BindHandle::bindValue(sqlite3_stmt* stmt, int parameter, ub4 iteration, bool copy) const {
    if (dataAtExec()) {
        bindGathered(stmt, parameter);
    } else if (isNull(iteration) || spec_.value == nullptr) {
        sqlite3_bind_null(stmt, parameter);
    } else {
        const ub2* length = element(spec_.lengths, lengthSkip_, iteration);
        const BindElement value{element(static_cast<const ub1*>(spec_.value), valueSkip_, iteration),
                                spec_.valueSize, length != nullptr ? static_cast<long>(*length) : -1L, copy};
        codec_->bind(stmt, parameter, value);
    }
}

void BindHandle::bindGathered(sqlite3_stmt* stmt, int parameter) const {
    if (gatheredNull_ || gathered_.empty()) {
        sqlite3_bind_null(stmt, parameter);
        return;
    }
    // The gathered bytes are converted as a buffer of their own size.
    const BindElement value{reinterpret_cast<const ub1*>(gathered_.data()), static_cast<sb4>(gathered_.size()),
                            static_cast<long>(gathered_.size()), true};
    codec_->bind(stmt, parameter, value);
}

void BindHandle::startPieces() {
    gathered_.clear();
    gatheredNull_ = false;
    piecesStarted_ = false;
    piecesComplete_ = false;
}

void BindHandle::addPiece(const void* data, ub4 length, ub1 piece, const void* indicator) {
    if (length > 0 && data == nullptr) throw CallError(CallCode::InvalidArgument, "bufp");
    if (indicator != nullptr && *static_cast<const sb2*>(indicator) < 0) gatheredNull_ = true;
    gathered_.append(static_cast<const char*>(data), data == nullptr ? 0 : length);
    piecesStarted_ = true;
    piecesComplete_ = piece == OCI_LAST_PIECE || piece == OCI_ONE_PIECE;
}

void BindHandle::pullFromCallback(ub4 iteration) {
    startPieces();
    while (!piecesComplete_) {
        void* buffer = nullptr;
        ub4 length = 0;
        ub1 piece = OCI_ONE_PIECE;
        void* indicator = nullptr;
        const sb4 rc = inCallback_(inContext_, reinterpret_cast<OCIBind*>(static_cast<Handle*>(this)), iteration,
                                   0, &buffer, &length, &piece, &indicator);
        if (rc != OCI_CONTINUE) throw CallError(CallCode::MissingParameter);
        addPiece(buffer, length, piece, indicator);
    }
}

}  // namespace engine

// Reading bound elements and gathering data-at-exec pieces.
#include "oci/BindHandle.h"

#include "base/CallError.h"
#include "base/OraError.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace engine {
namespace {

constexpr int kInvalidNumber = 1722;  // ORA-01722, which PL/SQL reports as ORA-06502

OraError bufferTooSmall() { return OraError(OraCode::NumericOrValue, {": character string buffer too small"}); }

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
    statusSkips_ = {indicator, length, returnCode};
}

void BindHandle::setCallbacks(void* inContext, OCICallbackInBind in, void* outContext, OCICallbackOutBind out) {
    inContext_ = inContext;
    inCallback_ = in;
    outContext_ = outContext;
    outCallback_ = out;
}

bool BindHandle::isNull(ub4 iteration) const {
    const sb2* indicator = clientElement(spec_.indicators, statusSkips_.indicator, iteration);
    return indicator != nullptr && *indicator < 0;
}

void BindHandle::bindElement(sqlite3_stmt* stmt, ub4 iteration, bool copy) const {
    for (int parameter : parameters_) bindValue(stmt, parameter, iteration, copy);
}

void BindHandle::bindValue(sqlite3_stmt* stmt, int parameter, ub4 iteration, bool copy) const {
    ParameterTarget target(stmt, parameter);
    element(target, iteration, copy);
}

void BindHandle::element(BindTarget& target, ub4 iteration, bool copy) const {
    if (dataAtExec()) {
        gatheredElement(target);
    } else if (isNull(iteration) || spec_.value == nullptr) {
        target.null();
    } else {
        const ub2* length = clientElement(spec_.lengths, statusSkips_.length, iteration);
        const BindElement value{clientElement(static_cast<const ub1*>(spec_.value), valueSkip_, iteration),
                                spec_.valueSize, length != nullptr ? static_cast<long>(*length) : -1L, copy};
        codec_->bind(target, value);
    }
}

void BindHandle::gatheredElement(BindTarget& target) const {
    if (gatheredNull_ || gathered_.empty()) {
        target.null();
        return;
    }
    // The gathered bytes are converted as a buffer of their own size.
    const BindElement value{reinterpret_cast<const ub1*>(gathered_.data()), static_cast<sb4>(gathered_.size()),
                            static_cast<long>(gathered_.size()), true};
    codec_->bind(target, value);
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

void BindHandle::convertOut(const ColumnValue& value, ConvertedElements& into) const {
    if (dataAtExec() && !isTable()) throw CallError(CallCode::UnsupportedType);
    // A table returned through the client's callbacks has no buffers of its
    // own: each element's come from the callback.
    const bool viaCallback = isTable() && outCallback_ != nullptr;
    const int type = value.type();
    if (type == SQLITE_NULL) {
        if (spec_.indicators == nullptr && !viaCallback) throw CallError(CallCode::FetchedNull);
        into.addNull();
        return;
    }
    if ((spec_.value == nullptr && !viaCallback) || spec_.valueSize <= 0) throw bufferTooSmall();
    FetchTarget target{into.add(static_cast<std::size_t>(spec_.valueSize)), spec_.valueSize, type};
    try {
        codec_->fetch(value, target);
    } catch (const OraError& error) {
        if (error.number() != kInvalidNumber) throw;
        throw OraError(OraCode::NumericOrValue, {": character to number conversion error"});
    }
    if (target.truncated) throw bufferTooSmall();
    into.setLength(target.written);
}

void BindHandle::storeOut(const OutValue& value, ub4 iteration) const {
    if (value.null) {
        setElementStatus(spec_, statusSkips_, iteration, -1, 0, kReturnNull);
        return;
    }
    std::memcpy(clientElement(static_cast<ub1*>(spec_.value), valueSkip_, iteration), value.bytes, value.size);
    setElementStatus(spec_, statusSkips_, iteration, 0, value.length, 0);
}

ub4 BindHandle::tableLength() const {
    return std::min(*spec_.currentElements, outCallback_ == nullptr ? spec_.maxElements : *spec_.currentElements);
}

void BindHandle::tableElement(BindTarget& target, ub4 index) {
    if (inCallback_ == nullptr) {
        element(target, index, false);
        return;
    }
    void* buffer = nullptr;
    ub4 length = 0;
    ub1 piece = OCI_ONE_PIECE;
    void* indicator = nullptr;
    const sb4 rc = inCallback_(inContext_, reinterpret_cast<OCIBind*>(static_cast<Handle*>(this)), 0, index,
                               &buffer, &length, &piece, &indicator);
    if (rc != OCI_CONTINUE) throw CallError(CallCode::MissingParameter);
    if (buffer == nullptr || (indicator != nullptr && *static_cast<const sb2*>(indicator) < 0)) {
        target.null();
        return;
    }
    codec_->bind(target, BindElement{static_cast<const ub1*>(buffer), spec_.valueSize, static_cast<long>(length), true});
}

void BindHandle::storeTable(const ConvertedElements& elements) {
    const auto count = static_cast<ub4>(elements.size());
    if (outCallback_ == nullptr && count > spec_.maxElements) throw OraError(OraCode::HostArrayTooSmall);
    *spec_.currentElements = count;
    for (ub4 i = 0; i < count; ++i) {
        if (outCallback_ != nullptr) {
            storeThroughCallback(elements[i], i);
        } else {
            storeOut(elements[i], i);
        }
    }
}

// The client's out-bind callback names the buffers of element `index`.
void BindHandle::storeThroughCallback(const OutValue& value, ub4 index) {
    void* buffer = nullptr;
    ub4* length = nullptr;
    ub1 piece = OCI_ONE_PIECE;
    void* indicator = nullptr;
    ub2* returnCode = nullptr;
    const sb4 rc = outCallback_(outContext_, reinterpret_cast<OCIBind*>(static_cast<Handle*>(this)), 0, index,
                                &buffer, &length, &piece, &indicator, &returnCode);
    if (rc != OCI_CONTINUE || buffer == nullptr) throw CallError(CallCode::MissingParameter);
    if (!value.null) std::memcpy(buffer, value.bytes, value.size);
    if (length != nullptr) *length = value.null ? 0 : value.length;
    if (indicator != nullptr) *static_cast<sb2*>(indicator) = value.null ? -1 : 0;
    if (returnCode != nullptr) *returnCode = value.null ? kReturnNull : 0;
}

}  // namespace engine

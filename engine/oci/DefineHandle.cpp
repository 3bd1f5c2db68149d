// Writing fetched values, indicators, lengths and return codes.
#include "oci/DefineHandle.h"

#include "base/CallError.h"

#include <sqlite3.h>

#include <limits>

namespace engine {
namespace {

// Indicator value for a truncated value whose length does not fit an sb2.
constexpr sb2 kIndicatorTooLong = -2;

}  // namespace

DefineHandle::DefineHandle(Statement& statement, ub4 position, const DefineSpec& spec)
    : Handle(OCI_HTYPE_DEFINE), statement_(statement), position_(position) {
    redefine(spec);
}

void DefineHandle::redefine(const DefineSpec& spec) {
    if (spec.valueSize < 0) throw CallError(CallCode::InvalidArgument, "value_sz");
    codec_ = &ValueCodec::forType(spec.type);
    spec_ = spec;
    if (!dynamic() && spec.value == nullptr) throw CallError(CallCode::InvalidArgument, "valuep");
}

bool DefineHandle::fetchInto(const ColumnValue& value, ub4 row) const {
    const int type = value.type();
    if (type == SQLITE_NULL) {
        if (spec_.indicators == nullptr) throw CallError(CallCode::FetchedNull);
        setElementStatus(spec_, StatusSkips{}, row, -1, 0, kReturnNull);
        return false;
    }
    FetchTarget target{static_cast<ub1*>(spec_.value) + static_cast<std::size_t>(spec_.valueSize) * row,
                       spec_.valueSize, type};
    codec_->fetch(value, target);
    if (!target.truncated) {
        setElementStatus(spec_, StatusSkips{}, row, 0, target.written, 0);
        return false;
    }
    const sb2 indicator = target.fullLength > static_cast<ub4>(std::numeric_limits<sb2>::max())
                              ? kIndicatorTooLong
                              : static_cast<sb2>(target.fullLength);
    setElementStatus(spec_, StatusSkips{}, row, indicator, target.written, kReturnTruncated);
    return true;
}

}  // namespace engine

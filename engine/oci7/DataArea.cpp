// The last failure of a data area.
#include "oci7/DataArea.h"

namespace engine {

void DataArea::remember(const ErrorRecord& failure) { failures_.set(failure.number, failure.text); }

std::optional<std::string> DataArea::lastFailureText(int number) const {
    ErrorRecord failure;
    if (!failures_.get(failure) || failure.number != number) return std::nullopt;
    return failure.text;
}

}  // namespace engine

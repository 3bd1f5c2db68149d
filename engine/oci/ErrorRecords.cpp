// The error record of an error or environment handle.
#include "oci/ErrorRecords.h"

namespace engine {

void ErrorRecords::set(int number, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    record_.number = number;
    record_.text = text;
    present_ = true;
}

void ErrorRecords::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    present_ = false;
}

bool ErrorRecords::get(ErrorRecord& record) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (present_) record = record_;
    return present_;
}

}  // namespace engine

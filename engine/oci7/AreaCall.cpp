// Reporting a release-7 call's outcome in its data area.
#include "oci7/AreaCall.h"

namespace engine {

void AreaCall::start(cda_def& area, ub1 functionCode) noexcept {
    area.fc = functionCode;
    area.rc = 0;
    area.v2_rc = 0;
    area.wrn = 0;
}

sword AreaCall::finish(cda_def& area, DataArea* object, const ErrorRecords& failure) noexcept {
    ErrorRecord record;
    if (!failure.get(record)) return 0;
    area.rc = static_cast<ub2>(record.number);
    if (object != nullptr) {
        try {
            object->remember(record);
        } catch (...) {
            // Out of memory for the text: the return code still tells.
        }
    }
    return record.number > 0 ? record.number : kNoArea;
}

}  // namespace engine

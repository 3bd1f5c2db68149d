// The one guard every release-7 call runs through. It notes the call's
// function code in the area and clears its return code, runs the body, and
// turns a failure into the area's return code (the server's error number), the
// text oerhms gives for it, and a non-zero result: no exception leaves it.
#pragma once

#include "base/CallError.h"
#include "oci/CallGuard.h"
#include "oci7/AreaRegistry.h"

#include <memory>

namespace engine {

class AreaCall {
public:
    // What a call returns for a null area, which has no field to report in.
    static constexpr sword kNoArea = -1;

    // Runs `body(object)` on `area`; the body sets `object` to the area's
    // object once it has one, so that a failure is also kept there.
    template <typename Body>
    static sword run(cda_def* area, ub1 functionCode, Body&& body) noexcept {
        if (area == nullptr) return kNoArea;
        start(*area, functionCode);
        std::shared_ptr<DataArea> object;
        ErrorRecords failure;
        CallGuard::run(&failure, [&]() -> sword {
            body(object);
            return OCI_SUCCESS;
        });
        return finish(*area, object.get(), failure);
    }

    // Runs `body(T&)` on the open area `area` of class T; T::notOpen() when
    // the area leads to none.
    template <typename T, typename Body>
    static sword on(cda_def* area, ub1 functionCode, Body&& body) noexcept {
        return run(area, functionCode, [&](std::shared_ptr<DataArea>& object) {
            std::shared_ptr<T> found = AreaRegistry::instance().find<T>(area);
            if (!found) throw T::notOpen();
            object = found;
            body(*found);
        });
    }

private:
    static void start(cda_def& area, ub1 functionCode) noexcept;
    static sword finish(cda_def& area, DataArea* object, const ErrorRecords& failure) noexcept;
};

}  // namespace engine

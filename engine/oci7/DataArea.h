// What stands behind a release-7 data area: the engine object whose address a
// login or cursor area keeps in its reserved pointer `rcsp`.
//
// The client owns the area's memory and reads the call's outcome from its
// fields; the engine owns this object, which the AreaRegistry finds from the
// area again, so a zeroed, foreign or closed area is refused, never followed.
#pragma once

#include "base/CallError.h"
#include "ocidfn.h"
#include "oci/ErrorRecords.h"

#include <optional>
#include <string>

namespace engine {

class LoginArea;

class DataArea {
public:
    explicit DataArea(cda_def& fields) : fields_(fields) {}
    virtual ~DataArea() = default;
    DataArea(const DataArea&) = delete;
    DataArea& operator=(const DataArea&) = delete;

    // An area that leads to no object of its kind: for an area that may be
    // either, a session is what is missing.
    static CallError notOpen() { return CallError(CallCode::NotLoggedOn); }

    // The client's area this object was made for; its fields report each call.
    cda_def& fields() const { return fields_; }
    // The session the area works on (the login area itself for a login area).
    virtual LoginArea& login() = 0;

    // Keeps the failure of a call on this area for oerhms.
    virtual void remember(const ErrorRecord& failure);
    // The full text of the last failure when its number is `number`.
    std::optional<std::string> lastFailureText(int number) const;

private:
    cda_def& fields_;        // the client's area
    ErrorRecords failures_;  // the last failure of a call on it
};

}  // namespace engine

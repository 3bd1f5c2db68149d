// One session driven through the release-7 call interface, the way the
// release-7 build of the library drives it: a zeroed login and host area,
// zeroed cursor areas opened on it, and the messages oerhms gives.
#pragma once

#include "ociapr.h"
#include "ocidem.h"

#include <deque>
#include <string>

namespace engine_test {

class Oci7TestSession {
public:
    Oci7TestSession() = default;
    ~Oci7TestSession();  // logs off when still logged on
    Oci7TestSession(const Oci7TestSession&) = delete;
    Oci7TestSession& operator=(const Oci7TestSession&) = delete;

    // olog with NUL-terminated texts; its result.
    sword logon(const std::string& user, const std::string& password, const std::string& alias = "test");
    cda_def& lda() { return lda_; }

    // A zeroed cursor area opened on the session (its memory lives as long as
    // this object); fails the test when oopen fails.
    cda_def& openCursor();
    // Parses `sql` (deferred) on `cursor`; the result of oparse.
    sword parse(cda_def& cursor, const std::string& sql);
    // Parses and executes `sql` once on a new cursor, failing the test with
    // the message on error.
    void run(const std::string& sql);
    // The first column of the single row `sql` selects, as text.
    std::string value(const std::string& sql);

    // oerhms for `area`'s return code, without the trailing newline.
    std::string message(cda_def& area);

private:
    cda_def lda_{};
    ub1 hda_[HDA_SIZE]{};
    std::deque<cda_def> cursors_;  // stable addresses
    bool loggedOn_ = false;
};

// The text of an OraText buffer.
inline OraText* oraText(const std::string& text) {
    return reinterpret_cast<OraText*>(const_cast<char*>(text.c_str()));
}

}  // namespace engine_test

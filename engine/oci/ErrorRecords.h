// The error record an error or environment handle keeps for OCIErrorGet.
#pragma once

#include <mutex>
#include <string>

namespace engine {

// One error record: the server's number and the full "ORA-NNNNN: text".
struct ErrorRecord {
    int number = 0;
    std::string text;
};

// Holds the record of the last failed call. Locked because a call on one thread
// (OCIBreak) may report while another thread reads.
class ErrorRecords {
public:
    void set(int number, const std::string& text);
    void clear();
    // Copies the record into `record`; false when there is none.
    bool get(ErrorRecord& record) const;

private:
    mutable std::mutex mutex_;  // guards record_ and present_
    ErrorRecord record_;        // the last error
    bool present_ = false;      // whether record_ holds one
};

}  // namespace engine

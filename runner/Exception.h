// The interpreter's internal-failure exception: a state that no script text should
// be able to cause. Constructing one writes the internal-failure report to the error
// stream of the current interpreter; only the program entry catches it.
#pragma once

#include <exception>
#include <string>

namespace Transl {

class Exception : public std::exception {
public:
    explicit Exception(std::string detail = std::string());

    const std::string& detail() const { return detail_; }
    const char* what() const noexcept override { return detail_.c_str(); }

private:
    std::string detail_;  // may be empty
};

} // namespace Transl

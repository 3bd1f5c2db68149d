// One value met while an expression is read: a temporary it owns, or a variable it
// only refers to (reading a variable needs no copy), with the name that
// diagnostics and DPRINT show for it.
#pragma once

#include "CommonVar.h"

#include <optional>
#include <string>
#include <utility>

namespace Transl {

class ExprValue {
public:
    // Owns a temporary.
    ExprValue(CommonVar value, std::string name)
        : owned_(std::move(value)), name_(std::move(name)) {}
    // Refers to a variable, which must outlive this value or be copied first (own).
    static ExprValue borrow(const CommonVar& variable, std::string name)
    {
        return ExprValue(&variable, std::move(name));
    }

    const CommonVar& get() const { return borrowed_ != nullptr ? *borrowed_ : *owned_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // Takes a private copy of a variable referred to, so that later changes to
    // the variable do not reach this value.
    void own()
    {
        if (borrowed_ == nullptr)
            return;
        owned_.emplace(*borrowed_);
        borrowed_ = nullptr;
    }
    // The value as a temporary of its own, carrying this value's name.
    CommonVar release() &&
    {
        own();
        owned_->setName(std::move(name_));
        return std::move(*owned_);
    }

private:
    ExprValue(const CommonVar* variable, std::string name)
        : borrowed_(variable), name_(std::move(name)) {}

    std::optional<CommonVar> owned_;       // the temporary, unless borrowed_ is set
    const CommonVar* borrowed_ = nullptr;  // the variable referred to; not owned
    std::string name_;
};

} // namespace Transl

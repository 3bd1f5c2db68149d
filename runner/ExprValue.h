// One value met while an expression is read: a temporary it owns, a variable or
// constant it only refers to (reading one needs no copy), or a NUMBER scalar held
// as a plain double until something needs it as a script value, with the name
// that diagnostics and DPRINT show for it.
#pragma once

#include "CommonVar.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace Transl {

class ExprValue {
public:
    // Owns a temporary.
    ExprValue(CommonVar value, std::string name)
        : owned_(std::make_unique<CommonVar>(std::move(value))), name_(std::move(name)) {}
    // Refers to a variable, which must outlive this value or be copied first (own).
    static ExprValue borrow(const CommonVar& variable, std::string name)
    {
        ExprValue value(std::move(name));
        value.borrowed_ = &variable;
        return value;
    }
    // A NUMBER scalar: arithmetic on scalars needs no library buffer.
    static ExprValue number(double number, std::string name)
    {
        ExprValue value(std::move(name));
        value.number_ = number;
        return value;
    }

    // The script value; a plain number becomes one on first use.
    const CommonVar& get() const
    {
        if (borrowed_ != nullptr)
            return *borrowed_;
        if (!owned_)
            owned_ = std::make_unique<CommonVar>(CommonVar::number(*number_));
        return *owned_;
    }
    bool isBorrowed() const { return borrowed_ != nullptr; }
    bool isInitialised() const { return number_ || get().isInitialised(); }
    // True for an initialised NUMBER with one element.
    bool isNumberScalar() const
    {
        if (number_)
            return true;
        const CommonVar& value = get();
        return value.isInitialised() && value.type() == TypeCode::Number && value.count() == 1;
    }
    // Element 0 as a double (the library refuses a null element).
    double numberValue() const { return number_ ? *number_ : get().numberAt(0); }

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // Hands the name over, leaving this value unnamed.
    std::string takeName() { return std::move(name_); }

    // Takes a private copy of a variable referred to, so that later changes to
    // the variable do not reach this value.
    void own()
    {
        if (borrowed_ == nullptr)
            return;
        owned_ = std::make_unique<CommonVar>(*borrowed_);
        borrowed_ = nullptr;
    }
    // The value as a temporary of its own, carrying this value's name.
    CommonVar release() &&
    {
        own();
        get();
        owned_->setName(std::move(name_));
        return std::move(*owned_);
    }

private:
    explicit ExprValue(std::string name) : name_(std::move(name)) {}

    // The temporary, or a plain number made one. Boxed, so that handing a value
    // up through the grammar levels moves a pointer, not a whole value.
    mutable std::unique_ptr<CommonVar> owned_;
    const CommonVar* borrowed_ = nullptr;     // the variable referred to; not owned
    std::optional<double> number_;            // a plain NUMBER scalar
    std::string name_;
};

} // namespace Transl

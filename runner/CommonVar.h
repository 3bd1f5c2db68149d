// A script value: a declared variable, a constant, an element that was read, an
// intermediate result or a function result. Its contents live in the library's
// typed, nullable array buffer, so a variable can be bound to a statement as it is.
#pragma once

#include "Operator.h"
#include "Token.h"

#include "ODbDynamicVariable.h"
#include "ODbParam.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Transl {

// Script errors found by the operations are reported through the interpreter that
// runs now and end the run; inconsistent states throw Transl::Exception.
class CommonVar : public Oracle::ODbParam {
public:
    // Empty name, no type, lower bound 1, untyped parameter.
    CommonVar();
    // Copies everything, contents included.
    CommonVar(const CommonVar& other);
    // A moved-from value holds no buffer: it may only be assigned or destroyed.
    CommonVar(CommonVar&& other);
    // Wholesale replacement: contents, type and name all come from other.
    CommonVar& operator=(const CommonVar& other);
    CommonVar& operator=(CommonVar&& other);
    ~CommonVar() override;

    // A NUMBER, VARCHAR2 or RAW constant made from its token text.
    static CommonVar numberConstant(const std::string& text);
    static CommonVar textConstant(const std::string& text);
    static CommonVar rawConstant(const std::string& hexText);
    // A NUMBER holding value, named name.
    static CommonVar number(double value, const std::string& name = std::string());
    // An array of the given scalars (at least one), typed by the first.
    static CommonVar arrayConstant(const std::vector<const CommonVar*>& elements);

    // Types the value: script type, and the parameter typed with the type's
    // support type, size (ignored for numbers) and element count.
    void initAs(TypeCode type, int size, unsigned int count);

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    TypeCode type() const { return type_; }
    std::int32_t lowerBound() const { return lowerBound_; }
    // The parameter's isParInit, asked of the buffer directly: it is asked at
    // nearly every operand.
    bool isInitialised() const { return storage_->getFtype() != Oracle::extNone; }
    // Number of elements (0 while untyped).
    unsigned int count() const { return storage_->getArraySize(); }
    // True for the array types, whatever the current element count.
    bool isArray() const;
    // Bytes of one element as the library holds it.
    unsigned int elementSize() const { return storage_->getElemSize(); }

    // Element i of a NUMBER or NUMBERARR as a double, and the store of one: the
    // library's getDouble and setDouble (null refused alike), read and written
    // straight in the buffer for the common double element.
    double numberAt(unsigned int i) const;
    void setNumberAt(double value, unsigned int i);
    // Element i as the library's getCString gives it (an absent text is empty):
    // a VARCHAR2 element that is not NULL is read straight in the buffer, since
    // PRINT reads millions of them. Valid until the next text of this value is
    // asked for or the value changes.
    std::string_view textAt(unsigned int i) const;
    // True when textAt reads the elements in place (a VARCHAR2 value), so that
    // reading them twice costs less than keeping a copy.
    bool hasTextsInPlace() const { return storage_->getFtype() == Oracle::extString; }

    // Error 21 with this value's name when it is not initialised.
    void requireInitialised() const;

    // +, -, *, /, ^ and the comparisons; a new value, operands unchanged.
    static CommonVar binary(Operator op, const CommonVar& left, const CommonVar& right);
    // A binary operator on two NUMBER scalars: the arithmetic result, or 1 or 0
    // for a comparison; the element rule of binary for one element each.
    static double numberOperation(Operator op, double left, double right);
    // Unary minus.
    CommonVar negated() const;
    // Element index (1-based script index held in a NUMBER) of an array, unnamed.
    CommonVar element(const CommonVar& index) const;
    // Text of an index for element labels: the integer of a one-element value,
    // empty for an array.
    static std::string indexLabel(const CommonVar& index);

    // The assignment statement: the value converted into this variable, which
    // keeps its type, size and name.
    void assign(const CommonVar& value);
    // The assignment of a NUMBER scalar to a NUMBER variable.
    void assignNumber(double value);
    // The element assignment: element index (1-based) of this array := value.
    void storeElement(const CommonVar& index, const CommonVar& value);

private:
    explicit CommonVar(std::unique_ptr<Oracle::ODbDynamicVariable> storage);
    void pointAtStorage();
    static CommonVar arithmetic(Operator op, const CommonVar& left, const CommonVar& right);
    static CommonVar power(const CommonVar& left, const CommonVar& right);
    static CommonVar compare(Operator op, const CommonVar& left, const CommonVar& right);
    void assignElements(const CommonVar& value);
    void requireCapacity(const CommonVar& value) const;
    unsigned int capacity() const;

    // The buffer the parameter base points at; owned here, since the library's
    // parameter does not own its variable. Held by pointer so that a move hands
    // it over without copying; null only in a moved-from value.
    std::unique_ptr<Oracle::ODbDynamicVariable> storage_;
    std::string name_;                    // variable name or descriptive label
    TypeCode type_ = TypeCode::None;      // script type
    std::int32_t lowerBound_ = 1;         // array indexes start here; always 1
};

// The value of an expression as a 32-bit integer: truncated toward zero, held
// within the 32-bit range, NaN as 0.
std::int32_t toInt32(double value);

} // namespace Transl

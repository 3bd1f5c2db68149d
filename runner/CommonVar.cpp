// Script values over the library's parameter buffers, and every operation the
// expression reader and the assignment statements apply to them.
#include "CommonVar.h"

#include "Exception.h"
#include "Interpreter.h"
#include "ScriptType.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

namespace Transl {

namespace {

// The table entry of a type; a code outside the table is an internal failure.
const ScriptTypeEntry& typeEntry(TypeCode code)
{
    const auto index = static_cast<std::size_t>(code) - 1;
    if (index >= kScriptTypes.size())
        throw Exception();
    return kScriptTypes[index];
}

TypeCode familyOf(TypeCode code)
{
    return typeEntry(code).scalar;
}

[[noreturn]] void fail(ErrorCode code)
{
    currentInterpreter->reportError(code);
}

[[noreturn]] void fail(ErrorCode code, const std::string& detail)
{
    currentInterpreter->reportError(code, detail);
}

// Size of a text or raw value checked against what one element can hold.
int checkedSize(std::int64_t size)
{
    if (size > kMaxValueSize)
        fail(ErrorCode::SizeMismatch, "a value of " + std::to_string(size) +
                                          " exceeds the largest size " +
                                          std::to_string(kMaxValueSize));
    return static_cast<int>(size);
}

// Element of an operand paired with result element i: a one-element operand
// always gives its only element; a longer one runs out after its last.
std::optional<unsigned int> pairedIndex(const CommonVar& value, unsigned int i)
{
    if (value.count() == 1)
        return 0u;
    if (i < value.count())
        return i;
    return std::nullopt;
}

double pairedNumber(const CommonVar& value, unsigned int i)
{
    const auto k = pairedIndex(value, i);
    return k ? value.numberAt(*k) : 0.0;
}

// Text of an element; the hexadecimal form for raw values.
std::string pairedText(const CommonVar& value, unsigned int i)
{
    const auto k = pairedIndex(value, i);
    if (!k)
        return std::string();
    const char* text = value.getCString(*k);
    return text != nullptr ? std::string(text) : std::string();
}

template <typename T>
bool relationHolds(Operator op, const T& left, const T& right)
{
    switch (op) {
    case Operator::Equal:
        return left == right;
    case Operator::Less:
        return left < right;
    case Operator::Greater:
        return left > right;
    case Operator::LessEqual:
        return left <= right;
    case Operator::GreaterEqual:
        return left >= right;
    case Operator::NotEqual:
        return left != right;
    default:
        throw Exception();
    }
}

// The operand types each arithmetic operator accepts: one family on both sides;
// only + joins texts and raw values; an array times or by an array is refused;
// an exponent is a number scalar.
bool acceptsOperands(Operator op, TypeCode left, TypeCode right)
{
    const TypeCode family = familyOf(left);
    if (family != familyOf(right))
        return false;
    switch (op) {
    case Operator::Plus:
        return true;
    case Operator::Minus:
        return family == TypeCode::Number;
    case Operator::Multiply:
    case Operator::Divide:
        return family == TypeCode::Number && !(isArrayType(left) && isArrayType(right));
    case Operator::Power:
        return family == TypeCode::Number && right == TypeCode::Number;
    default:
        throw Exception();
    }
}

// True while this thread's buffer cache exists. Values of the static main
// interpreter end after the thread's own objects, so they must not reach a cache
// that is gone. (Constant-initialised, so it is never destroyed itself.)
thread_local bool numberBuffersOpen = false;

// Buffers of one-element NUMBER temporaries kept for reuse: a loop makes and drops
// such a temporary at nearly every condition, and a new library buffer costs six
// allocations. One cache per thread, as values are also made on worker threads.
class NumberBufferCache {
public:
    NumberBufferCache() { numberBuffersOpen = true; }
    ~NumberBufferCache() { numberBuffersOpen = false; }
    NumberBufferCache(const NumberBufferCache&) = delete;
    NumberBufferCache& operator=(const NumberBufferCache&) = delete;

    // A buffer typed as a one-element double, or null when none is kept.
    std::unique_ptr<Oracle::ODbDynamicVariable> take()
    {
        if (buffers_.empty())
            return nullptr;
        std::unique_ptr<Oracle::ODbDynamicVariable> buffer = std::move(buffers_.back());
        buffers_.pop_back();
        return buffer;
    }
    // Keeps a buffer that is exactly what a new one-element double would be
    // apart from its value; anything else (an array, a buffer a statement has
    // bound) is released.
    void give(std::unique_ptr<Oracle::ODbDynamicVariable> buffer)
    {
        if (buffers_.size() < kCapacity && isPlainNumber(*buffer))
            buffers_.push_back(std::move(buffer));
    }

private:
    static bool isPlainNumber(const Oracle::ODbDynamicVariable& buffer)
    {
        return buffer.getFtype() == Oracle::extFloat && buffer.getArraySize() == 1 &&
               buffer.getSupportType() == Oracle::supDouble && buffer.getHandle() == nullptr &&
               !buffer.isFrozen() && !buffer.isPlSqlTab() && buffer.getCurElements() == 0;
    }

    // Enough for the temporaries alive at once in any ordinary statement.
    static constexpr std::size_t kCapacity = 32;
    std::vector<std::unique_ptr<Oracle::ODbDynamicVariable>> buffers_;
};

thread_local NumberBufferCache numberBuffers;

const std::string kNumberConstant = "<number constant>";
const std::string kTextConstant = "<varchar2 constant>";
const std::string kRawConstant = "<raw constant>";
const std::string kArrayConstant = "<array constant>";

} // namespace

double CommonVar::numberOperation(Operator op, double left, double right)
{
    if (isComparison(op))
        return relationHolds(op, left, right) ? 1.0 : 0.0;
    switch (op) {
    case Operator::Plus:
        return left + right;
    case Operator::Minus:
        return left - right;
    case Operator::Multiply:
        return left * right;
    case Operator::Divide:
        return left / right;  // a zero divisor gives infinity or NaN, by design
    case Operator::Power:
        return std::pow(left, right);
    default:
        throw Exception();
    }
}

std::int32_t toInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

CommonVar::CommonVar() : storage_(std::make_unique<Oracle::ODbDynamicVariable>())
{
    pointAtStorage();
}

CommonVar::CommonVar(const CommonVar& other)
    : Oracle::ODbParam(other),
      storage_(std::make_unique<Oracle::ODbDynamicVariable>(*other.storage_)),
      name_(other.name_),
      type_(other.type_),
      lowerBound_(other.lowerBound_)
{
    pointAtStorage();
}

CommonVar::CommonVar(CommonVar&& other)
    : Oracle::ODbParam(other),
      storage_(std::move(other.storage_)),
      name_(std::move(other.name_)),
      type_(other.type_),
      lowerBound_(other.lowerBound_)
{
    pointAtStorage();
}

CommonVar::CommonVar(std::unique_ptr<Oracle::ODbDynamicVariable> storage)
    : storage_(std::move(storage))
{
    pointAtStorage();
}

CommonVar& CommonVar::operator=(const CommonVar& other)
{
    if (this == &other)
        return *this;
    if (!storage_) {
        storage_ = std::make_unique<Oracle::ODbDynamicVariable>();
        pointAtStorage();
    }
    // The library's assignment keeps the old contents for an untyped source; a
    // wholesale replacement must not.
    storage_->deleteData();
    *storage_ = *other.storage_;
    name_ = other.name_;
    type_ = other.type_;
    lowerBound_ = other.lowerBound_;
    return *this;
}

CommonVar& CommonVar::operator=(CommonVar&& other)
{
    if (this == &other)
        return *this;
    storage_.swap(other.storage_);
    pointAtStorage();
    other.pointAtStorage();
    name_ = std::move(other.name_);
    type_ = other.type_;
    lowerBound_ = other.lowerBound_;
    return *this;
}

CommonVar::~CommonVar()
{
    if (storage_ && numberBuffersOpen)
        numberBuffers.give(std::move(storage_));
}

void CommonVar::pointAtStorage()
{
    if (storage_)
        Oracle::ODbParam::operator=(*storage_);
}

double CommonVar::numberAt(unsigned int i) const
{
    const Oracle::ODbDynamicVariable& buffer = *storage_;
    if (buffer.getFtype() != Oracle::extFloat || i >= buffer.getArraySize() ||
        buffer.getIndicators()[i] == -1)
        return getDouble(i);  // converts, or refuses the element as the library does
    double value = 0;
    std::memcpy(&value, buffer.val(i), sizeof value);
    return value;
}

void CommonVar::setNumberAt(double value, unsigned int i)
{
    Oracle::ODbDynamicVariable& buffer = *storage_;
    if (buffer.getFtype() != Oracle::extFloat || i >= buffer.getArraySize()) {
        setDouble(value, i);
        return;
    }
    std::memcpy(buffer.val(i), &value, sizeof value);
    buffer.setNotNull(i);
}

std::string_view CommonVar::textAt(unsigned int i) const
{
    const Oracle::ODbDynamicVariable& buffer = *storage_;
    if (buffer.getFtype() == Oracle::extString && i < buffer.getArraySize() && buffer.getIndicators()[i] != -1) {
        // The library copies an element without its terminator; this leaves it to do so.
        const char* text = reinterpret_cast<const char*>(buffer.val(i));
        if (const void* end = std::memchr(text, '\0', buffer.getElemSize()))
            return std::string_view(text, static_cast<std::size_t>(static_cast<const char*>(end) - text));
    }
    const char* text = getCString(i);
    return text == nullptr ? std::string_view() : std::string_view(text);
}

CommonVar CommonVar::numberConstant(const std::string& text)
{
    // The longest leading part that reads as a decimal number: "1.2.3" is 1.2.
    return number(std::strtod(text.c_str(), nullptr), kNumberConstant);
}

CommonVar CommonVar::textConstant(const std::string& text)
{
    CommonVar result;
    const auto length = static_cast<std::int64_t>(text.size());
    result.initAs(TypeCode::Varchar2, checkedSize(std::max<std::int64_t>(length, 1)), 1);
    result.setString(text, 0);  // the empty text is stored as null
    result.name_ = kTextConstant;
    return result;
}

CommonVar CommonVar::rawConstant(const std::string& hexText)
{
    CommonVar result;
    // An odd last digit still makes a byte, so round the byte count up.
    const auto bytes = (static_cast<std::int64_t>(hexText.size()) + 1) / 2;
    result.initAs(TypeCode::Raw, checkedSize(std::max<std::int64_t>(bytes, 1)), 1);
    result.setCString(hexText.c_str(), 0);
    result.name_ = kRawConstant;
    return result;
}

CommonVar CommonVar::number(double value, const std::string& name)
{
    std::unique_ptr<Oracle::ODbDynamicVariable> buffer = numberBuffers.take();
    CommonVar result(buffer ? std::move(buffer) : std::make_unique<Oracle::ODbDynamicVariable>());
    if (result.isInitialised())
        result.type_ = TypeCode::Number;
    else
        result.initAs(TypeCode::Number, -1, 1);
    result.setNumberAt(value, 0);
    result.name_ = name;
    return result;
}

CommonVar CommonVar::arrayConstant(const std::vector<const CommonVar*>& elements)
{
    const CommonVar& first = *elements.front();
    const bool numeric = first.type_ == TypeCode::Number;
    std::int64_t capacity = 0;
    for (const CommonVar* element : elements) {
        element->requireInitialised();
        if (isArrayType(first.type_) || element->type_ != first.type_)
            fail(ErrorCode::WrongType);
        if (!numeric)
            capacity = std::max<std::int64_t>(capacity, element->capacity());
    }
    // Sized so that each element holds as much as the largest given one; a text
    // capacity counts its terminator.
    const std::int64_t size = first.type_ == TypeCode::Varchar2 ? capacity - 1 : capacity;
    CommonVar result;
    const auto count = static_cast<unsigned int>(elements.size());
    result.initAs(typeEntry(first.type_).arrayForm, numeric ? -1 : checkedSize(size), count);
    for (unsigned int i = 0; i < count; ++i) {
        if (numeric)
            result.setNumberAt(elements[i]->numberAt(0), i);
        else
            result.setCString(elements[i]->getCString(0), i);
    }
    result.name_ = kArrayConstant;
    return result;
}

void CommonVar::initAs(TypeCode type, int size, unsigned int count)
{
    const ScriptTypeEntry& entry = typeEntry(type);
    type_ = type;
    lowerBound_ = 1;
    initParam(entry.support, size, count);
}

bool CommonVar::isArray() const
{
    return typeEntry(type_).array;
}

void CommonVar::requireInitialised() const
{
    if (!isInitialised())
        fail(ErrorCode::NotInitialized, name_);
}

CommonVar CommonVar::binary(Operator op, const CommonVar& left, const CommonVar& right)
{
    left.requireInitialised();
    right.requireInitialised();
    if (isComparison(op))
        return compare(op, left, right);
    if (op == Operator::Power)
        return power(left, right);
    return arithmetic(op, left, right);
}

// + - * /: as many elements as the longer operand, typed like it; texts and raw
// values are joined, so the result holds as much as both operands together.
CommonVar CommonVar::arithmetic(Operator op, const CommonVar& left, const CommonVar& right)
{
    if (!acceptsOperands(op, left.type_, right.type_))
        fail(ErrorCode::WrongType);
    const CommonVar& longer = right.count() > left.count() ? right : left;
    const unsigned int count = longer.count();
    const bool numeric = familyOf(left.type_) == TypeCode::Number;
    const std::int64_t size = std::int64_t{left.elementSize()} + right.elementSize();
    CommonVar result;
    result.initAs(longer.type_, numeric ? -1 : checkedSize(size), count);
    for (unsigned int i = 0; i < count; ++i) {
        if (numeric)
            result.setNumberAt(numberOperation(op, pairedNumber(left, i), pairedNumber(right, i)), i);
        else
            result.setString(pairedText(left, i) + pairedText(right, i), i);
    }
    return result;
}

CommonVar CommonVar::power(const CommonVar& left, const CommonVar& right)
{
    if (!acceptsOperands(Operator::Power, left.type_, right.type_))
        fail(ErrorCode::WrongType);
    const double exponent = right.numberAt(0);
    CommonVar result;
    result.initAs(left.type_, -1, left.count());
    for (unsigned int i = 0; i < left.count(); ++i)
        result.setNumberAt(numberOperation(Operator::Power, left.numberAt(i), exponent), i);
    return result;
}

// Element-wise comparison of two values of one type and count: 1 where the
// relation holds, else 0. Numbers compare as doubles, the rest by their text.
CommonVar CommonVar::compare(Operator op, const CommonVar& left, const CommonVar& right)
{
    if (left.count() != right.count())
        fail(ErrorCode::BoundsMismatch);
    if (left.type_ != right.type_)
        fail(ErrorCode::WrongType);
    const unsigned int count = left.count();
    const bool numeric = familyOf(left.type_) == TypeCode::Number;
    CommonVar result;
    result.initAs(count == 1 ? TypeCode::Number : TypeCode::NumberArr, -1, count);
    for (unsigned int i = 0; i < count; ++i) {
        const double holds =
            numeric ? numberOperation(op, left.numberAt(i), right.numberAt(i))
                    : (relationHolds(op, pairedText(left, i), pairedText(right, i)) ? 1.0 : 0.0);
        result.setNumberAt(holds, i);
    }
    return result;
}

CommonVar CommonVar::negated() const
{
    requireInitialised();
    if (familyOf(type_) != TypeCode::Number)
        fail(ErrorCode::WrongType);
    CommonVar result;
    result.initAs(type_, -1, count());
    for (unsigned int i = 0; i < count(); ++i)
        result.setNumberAt(-numberAt(i), i);
    return result;
}

CommonVar CommonVar::element(const CommonVar& index) const
{
    requireInitialised();
    index.requireInitialised();
    if (index.type_ != TypeCode::Number)
        fail(ErrorCode::WrongType);
    const std::int64_t k = toInt32(index.numberAt(0));
    if (k < lowerBound_ || k > std::int64_t{count()})
        fail(ErrorCode::InvalidIndex);
    if (count() == 1 || !isArrayType(type_))
        fail(ErrorCode::WrongType);
    const auto i = static_cast<unsigned int>(k - lowerBound_);
    if (type_ == TypeCode::NumberArr)
        return number(numberAt(i));
    CommonVar result;
    switch (type_) {
    case TypeCode::Varchar2Arr: {
        const char* text = getCString(i);
        // An empty (null) element still makes a one-character value holding null.
        const auto length = static_cast<std::int64_t>(std::strlen(text));
        result.initAs(TypeCode::Varchar2, checkedSize(std::max<std::int64_t>(length, 1)), 1);
        result.setCString(text, 0);
        return result;
    }
    default: {
        unsigned char* bytes = nullptr;
        unsigned int length = 0;
        getRaw(&bytes, length, i);
        result.type_ = TypeCode::Raw;  // stays untyped when the element is empty
        if (length > 0) {
            result.initAs(TypeCode::Raw, static_cast<int>(length), 1);
            result.setRaw(bytes, length, 0);
        }
        return result;
    }
    }
}

std::string CommonVar::indexLabel(const CommonVar& index)
{
    if (index.count() != 1)
        return std::string();
    return std::to_string(toInt32(index.numberAt(0)));
}

void CommonVar::assign(const CommonVar& value)
{
    if (!value.isInitialised() || !isInitialised())
        fail(ErrorCode::WrongType);
    if (&value == this) {
        // Reading and writing one buffer would copy an element onto itself.
        const CommonVar copy(value);
        assign(copy);
        return;
    }
    if (!isArrayType(type_)) {
        lowerBound_ = 1;
        if (value.type_ != type_)
            fail(ErrorCode::WrongType);
        if (type_ == TypeCode::Number) {
            setNumberAt(value.numberAt(0), 0);
            return;
        }
        requireCapacity(value);
        setCString(value.getCString(0), 0);
        return;
    }
    if (value.count() == 0)
        throw Exception();
    if (value.count() != count())
        fail(ErrorCode::BoundsMismatch);
    if (value.type_ != type_)
        fail(ErrorCode::WrongType);
    assignElements(value);
}

void CommonVar::assignNumber(double value)
{
    if (!isInitialised() || type_ != TypeCode::Number)
        fail(ErrorCode::WrongType);
    lowerBound_ = 1;
    setNumberAt(value, 0);
}

void CommonVar::assignElements(const CommonVar& value)
{
    if (type_ == TypeCode::NumberArr) {
        for (unsigned int i = 0; i < count(); ++i)
            setNumberAt(value.numberAt(i), i);
        return;
    }
    requireCapacity(value);
    for (unsigned int i = 0; i < count(); ++i)
        setCString(value.getCString(i), i);
}

// Declared capacities are compared, not current contents.
void CommonVar::requireCapacity(const CommonVar& value) const
{
    if (capacity() < value.capacity())
        fail(ErrorCode::SizeMismatch);
}

// The buffer length is the same for every element; element 0 is selected so
// that a stale selection past a shrunken end cannot fail the query.
unsigned int CommonVar::capacity() const
{
    setAind(0);
    return getBufferLength();
}

void CommonVar::storeElement(const CommonVar& index, const CommonVar& value)
{
    if (index.type_ != TypeCode::Number)
        fail(ErrorCode::WrongType);
    index.requireInitialised();
    const std::int64_t k = std::int64_t{toInt32(index.numberAt(0))} - lowerBound_;
    if (k < 0)
        fail(ErrorCode::InvalidBounds);
    requireInitialised();
    value.requireInitialised();
    if (&value == this) {
        const CommonVar copy(value);
        storeElement(index, copy);
        return;
    }
    // An index past the end is refused by the library's element check.
    const auto i = static_cast<unsigned int>(k);
    switch (type_) {
    case TypeCode::RawArr: {
        unsigned char* bytes = nullptr;
        unsigned int length = 0;
        value.getRaw(&bytes, length, 0);
        if (length > 0)
            setRaw(bytes, length, i);
        return;
    }
    case TypeCode::NumberArr:
        setNumberAt(value.numberAt(0), i);
        return;
    case TypeCode::Varchar2Arr:
        setCString(value.getCString(0), i);
        return;
    default:
        typeEntry(type_);  // an unknown code is an internal failure
        fail(ErrorCode::WrongType);
    }
}

} // namespace Transl

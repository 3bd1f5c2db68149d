#include "ODbDynamicVariable.h"

#include <algorithm>
#include <cstring>

#include "ODbException.h"
#include "ODbLimits.h"
#include "ODbLob.h"

namespace Oracle {

namespace {

constexpr short NullIndicator = -1;

// Whether an element size suits the layout of a type: numbers and dates have
// their fixed sizes, raw values room for their length prefix.
bool sizeFitsLayout(ExtTypes type, int elemSize)
{
    switch (type) {
    case extFloat:
        return elemSize == static_cast<int>(sizeof(double));
    case extDate:
        return elemSize == 7;
    case extVarRaw:
        return elemSize >= 2;
    case extLongVarRaw:
        return elemSize >= 4;
    case extNone:
        return false;
    default:
        return true;
    }
}

bool isChained(ExtTypes type)
{
    return type == extLong || type == extLongRaw;
}

// A new array of n entries, all equal to fill.
template <class T> std::unique_ptr<T[]> filledArray(std::size_t n, T fill)
{
    std::unique_ptr<T[]> array(new T[n]);
    std::fill_n(array.get(), n, fill);
    return array;
}

// Reallocates array to n entries keeping the first min(old, n); new entries get fill.
template <class T> void resizeFilled(std::unique_ptr<T[]>& array, std::size_t old, std::size_t n, T fill)
{
    std::unique_ptr<T[]> resized(new T[n]);
    const std::size_t kept = std::min(old, n);
    std::copy_n(array.get(), kept, resized.get());
    std::fill(resized.get() + kept, resized.get() + n, fill);
    array = std::move(resized);
}

template <class T> void copyEntries(T* target, const T* source, ODbIndex from, ODbIndex count)
{
    std::copy_n(source + from, count, target);
}

} // namespace

ODbDynamicVariable::ODbDynamicVariable()
    : extType_(extNone), elemSize_(0), handle_(nullptr), arraySize_(0), supportType_(supNone), frozen_(false),
      curElements_(0), plSqlTab_(false)
{
}

ODbDynamicVariable::ODbDynamicVariable(ExtTypes type, int elemSize, ODbIndex arraySize) : ODbDynamicVariable()
{
    init(type, elemSize, arraySize);
}

ODbDynamicVariable::ODbDynamicVariable(const ODbDynamicVariable& other) : ODbDynamicVariable()
{
    if (other.extType_ != extNone)
        copyState(other);
}

ODbDynamicVariable& ODbDynamicVariable::operator=(const ODbDynamicVariable& other)
{
    if (this == &other || other.extType_ == extNone)
        return *this;
    ODbDynamicVariable copy(other); // build first: a failed copy leaves the target as it was
    deleteData();
    copyState(copy);
    return *this;
}

ODbDynamicVariable::~ODbDynamicVariable() = default;

void ODbDynamicVariable::copyState(const ODbDynamicVariable& src)
{
    init(src.extType_, src.elemSize_, src.arraySize_);
    assignData(src);
    if (src.lob_)
        *lob_ = *src.lob_; // a copy owns a copy of the chain
    supportType_ = src.supportType_;
    frozen_ = src.frozen_;
    curElements_ = src.curElements_;
    plSqlTab_ = src.plSqlTab_;
}

void ODbDynamicVariable::init(ExtTypes type, int elemSize, ODbIndex arraySize)
{
    if (extType_ != extNone || elemSize < 1 || elemSize > Limits::MaxElementSize || !sizeFitsLayout(type, elemSize))
        throw ODbException();
    const std::size_t n = arraySize;
    const auto size = static_cast<unsigned short>(elemSize);
    if (isChained(type))
        lob_.reset(new ODbLob);
    else
        data_.reset(new unsigned char[n * size]());
    indicators_ = filledArray<short>(n, NullIndicator);
    lengths_ = filledArray<unsigned short>(n, size);
    pieceLengths_ = filledArray<unsigned int>(n, size);
    returnCodes_ = filledArray<unsigned short>(n, 0);
    extType_ = type;
    elemSize_ = size;
    arraySize_ = arraySize;
    curElements_ = 0;
    supportType_ = supNone;
}

void ODbDynamicVariable::deleteData()
{
    if (extType_ == extNone)
        return;
    reset();
}

void ODbDynamicVariable::reset()
{
    freeData();
    indicators_.reset();
    lengths_.reset();
    pieceLengths_.reset();
    returnCodes_.reset();
    extType_ = extNone;
    elemSize_ = 0;
    arraySize_ = 0;
    curElements_ = 0;
    supportType_ = supNone;
    frozen_ = false;
    plSqlTab_ = false;
}

void ODbDynamicVariable::checkCompatible(const ODbDynamicVariable& src) const
{
    if (extType_ == extNone || src.extType_ != extType_ || src.elemSize_ != elemSize_)
        throw ODbException();
}

void ODbDynamicVariable::assignData(const ODbDynamicVariable& src, ODbIndex from, ODbIndex count)
{
    checkCompatible(src);
    const unsigned long long end = static_cast<unsigned long long>(from) + count;
    if (end > src.arraySize_ || count > arraySize_)
        throw ODbException();
    copyElements(src, from, count);
}

void ODbDynamicVariable::assignData(const ODbDynamicVariable& src)
{
    checkCompatible(src);
    if (src.arraySize_ != arraySize_)
        throw ODbException();
    copyElements(src, 0, arraySize_);
}

// Chained variables copy the per-element arrays only; each keeps its own chain.
void ODbDynamicVariable::copyElements(const ODbDynamicVariable& src, ODbIndex from, ODbIndex count)
{
    if (count == 0 || this == &src)
        return;
    if (data_ && src.data_)
        std::memmove(data_.get(), src.val(from), static_cast<std::size_t>(count) * elemSize_);
    copyEntries(indicators_.get(), src.indicators_.get(), from, count);
    copyEntries(lengths_.get(), src.lengths_.get(), from, count);
    copyEntries(returnCodes_.get(), src.returnCodes_.get(), from, count);
    copyEntries(pieceLengths_.get(), src.pieceLengths_.get(), from, count);
}

void ODbDynamicVariable::resizeArray(ODbIndex n)
{
    if (extType_ == extNone || n == arraySize_)
        return;
    const std::size_t old = arraySize_;
    if (data_) {
        std::unique_ptr<unsigned char[]> resized(new unsigned char[static_cast<std::size_t>(n) * elemSize_]());
        std::memcpy(resized.get(), data_.get(), std::min<std::size_t>(old, n) * elemSize_);
        data_ = std::move(resized);
    }
    resizeFilled<short>(indicators_, old, n, NullIndicator);
    resizeFilled<unsigned short>(lengths_, old, n, elemSize_);
    resizeFilled<unsigned int>(pieceLengths_, old, n, elemSize_);
    resizeFilled<unsigned short>(returnCodes_, old, n, 0);
    arraySize_ = n;
}

bool ODbDynamicVariable::isFrozen() const
{
    return frozen_;
}

bool ODbDynamicVariable::nonNativeData(bool create)
{
    if (!isChained(extType_))
        return true;
    if (create)
        lob_.reset(new ODbLob);
    return false;
}

void ODbDynamicVariable::freeData()
{
    data_.reset();
    lob_.reset();
}

ODbLob& ODbDynamicVariable::chain() const
{
    if (!lob_)
        throw ODbException();
    return *lob_;
}

void ODbDynamicVariable::checkIndex(ODbIndex i) const
{
    if (i >= arraySize_)
        throw ODbException();
}

void ODbDynamicVariable::setNull(ODbIndex i)
{
    checkIndex(i);
    indicators_[i] = NullIndicator;
}

void ODbDynamicVariable::setNotNull(ODbIndex i)
{
    checkIndex(i);
    indicators_[i] = static_cast<short>(elemSize_);
}

bool ODbDynamicVariable::isNull(ODbIndex i) const
{
    checkIndex(i);
    return indicators_[i] == NullIndicator;
}

short ODbDynamicVariable::getIndVar(ODbIndex i) const
{
    checkIndex(i);
    return indicators_[i];
}

unsigned short ODbDynamicVariable::getLenVar(ODbIndex i) const
{
    checkIndex(i);
    return lengths_[i];
}

void ODbDynamicVariable::setArrayNull()
{
    std::fill_n(indicators_.get(), arraySize_, NullIndicator);
}

void ODbDynamicVariable::setArrayNotNull()
{
    std::fill_n(indicators_.get(), arraySize_, static_cast<short>(elemSize_));
}

} // namespace Oracle

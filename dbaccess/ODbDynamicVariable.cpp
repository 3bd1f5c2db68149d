#include "ODbDynamicVariable.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

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

// resizeFilled for an array that has been made; one not made yet stays so.
template <class T> void resizeIfMade(std::unique_ptr<T[]>& array, std::size_t old, std::size_t n, T fill)
{
    if (array)
        resizeFilled(array, old, n, fill);
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
        data_ = zeroedBytes(n * size);
    indicators_ = filledArray<short>(n, NullIndicator);
    extType_ = type;
    elemSize_ = size;
    arraySize_ = arraySize;
    curElements_ = 0;
    supportType_ = supNone;
}

void ODbDynamicVariable::FreeBytes::operator()(unsigned char* bytes) const
{
    std::free(bytes);
}

// At least one byte, so that an initialised variable of no elements still has a buffer.
ODbDynamicVariable::Bytes ODbDynamicVariable::zeroedBytes(std::size_t count)
{
    Bytes bytes(static_cast<unsigned char*>(std::calloc(std::max<std::size_t>(count, 1), 1)));
    if (!bytes)
        throw std::bad_alloc();
    return bytes;
}

template <class T> T* ODbDynamicVariable::entries(std::unique_ptr<T[]>& array, T fill) const
{
    if (!array && extType_ != extNone)
        array = filledArray<T>(arraySize_, fill);
    return array.get();
}

unsigned short* ODbDynamicVariable::getLengths() const
{
    return entries<unsigned short>(lengths_, elemSize_);
}

unsigned int* ODbDynamicVariable::getPieceLengths() const
{
    return entries<unsigned int>(pieceLengths_, elemSize_);
}

unsigned short* ODbDynamicVariable::getReturnCodes() const
{
    return entries<unsigned short>(returnCodes_, 0);
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
    std::copy_n(src.indicators_.get() + from, count, indicators_.get());
    copyEntries<unsigned short>(lengths_, src.lengths_, elemSize_, from, count);
    copyEntries<unsigned short>(returnCodes_, src.returnCodes_, 0, from, count);
    copyEntries<unsigned int>(pieceLengths_, src.pieceLengths_, elemSize_, from, count);
}

// Entries src does not have yet hold `fill`; none are made on either side for them.
template <class T>
void ODbDynamicVariable::copyEntries(std::unique_ptr<T[]>& target, const std::unique_ptr<T[]>& source, T fill,
                                     ODbIndex from, ODbIndex count)
{
    if (source)
        std::copy_n(source.get() + from, count, entries(target, fill));
    else if (target)
        std::fill_n(target.get(), count, fill);
}

void ODbDynamicVariable::resizeArray(ODbIndex n)
{
    if (extType_ == extNone || n == arraySize_)
        return;
    const std::size_t old = arraySize_;
    if (data_) {
        Bytes resized = zeroedBytes(static_cast<std::size_t>(n) * elemSize_);
        std::memcpy(resized.get(), data_.get(), std::min<std::size_t>(old, n) * elemSize_);
        data_ = std::move(resized);
    }
    resizeFilled<short>(indicators_, old, n, NullIndicator);
    resizeIfMade<unsigned short>(lengths_, old, n, elemSize_);
    resizeIfMade<unsigned int>(pieceLengths_, old, n, elemSize_);
    resizeIfMade<unsigned short>(returnCodes_, old, n, 0);
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
    return lengths_ ? lengths_[i] : elemSize_;
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

#include "ODbMap.h"

#include <iterator>

#include "ODbColumnDesc.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbLimits.h"
#include "ODbMessages.h"

// The external type codes are the call interface's own: keep them in step.
#include <ocidfn.h>
static_assert(Oracle::extInt == SQLT_INT && Oracle::extFloat == SQLT_FLT && Oracle::extString == SQLT_STR,
              "external type codes differ from the call interface");
static_assert(Oracle::extLong == SQLT_LNG && Oracle::extDate == SQLT_DAT && Oracle::extVarRaw == SQLT_VBI,
              "external type codes differ from the call interface");
static_assert(Oracle::extLongRaw == SQLT_LBI && Oracle::extLongVarRaw == SQLT_LVB,
              "external type codes differ from the call interface");
static_assert(Oracle::extClob == SQLT_CLOB && Oracle::extBlob == SQLT_BLOB && Oracle::extBfile == SQLT_BFILEE,
              "external type codes differ from the call interface");
// Described data types arrive as the same codes.
static_assert(Oracle::intVarchar2 == SQLT_CHR && Oracle::intNumber == SQLT_NUM && Oracle::intLong == SQLT_LNG &&
                  Oracle::intRowid == SQLT_RID && Oracle::intDate == SQLT_DAT && Oracle::intRaw == SQLT_BIN &&
                  Oracle::intLongRaw == SQLT_LBI && Oracle::intChar == SQLT_AFC,
              "internal type codes differ from the call interface");

namespace Oracle {

namespace {

// Raw values of this many bytes or more need the 4-byte length prefix.
constexpr int LongRawThreshold = 2000;
// Length prefixes of the two raw layouts.
constexpr int VarRawPrefix = 2;
constexpr int LongVarRawPrefix = 4;
// ROWID text: 18 characters and the NUL, whatever size the describe reports.
constexpr int RowidElementSize = 19;

// How a support type is laid out; sized kinds add the caller's size.
struct SupportRule {
    SupportTypes type;
    ExtTypes ext;
    int elemSize; // fixed size, or the overhead added to the caller's size
    bool sized;   // the caller's size counts (and must be at least 1)
};

constexpr SupportRule SupportRules[] = {
    {supShortInt, extInt, 2, false},
    {supLongInt, extInt, 4, false},
    {supDouble, extFloat, 8, false},
    {supCString, extString, 1, true},
    {supBool, extString, 2, false},
    {supRaw, extVarRaw, VarRawPrefix, true},
    {supDate, extDate, 7, false},
    {supLongRaw, extLongRaw, 4, false},
    {supLong, extLong, 4, false},
};
static_assert(std::size(SupportRules) == supLong + 1, "one rule per support type 0..8");

constexpr bool rulesInOrder()
{
    for (std::size_t i = 0; i < std::size(SupportRules); ++i)
        if (SupportRules[i].type != static_cast<int>(i))
            return false;
    return true;
}
static_assert(rulesInOrder(), "support rules are indexed by their type");

struct IntRule {
    int type;
    ExtTypes ext;
};

constexpr IntRule IntRules[] = {
    {intVarchar2, extString}, {intRowid, extString}, {intChar, extString},
    {intNumber, extFloat},    // NUMBER travels as double whatever its precision
    {intLong, extLong},       {intDate, extDate},    {intRaw, extVarRaw},
    {intLongRaw, extLongRaw}, {intClob, extClob},    {intBlob, extBlob},
    {intBfile, extBfile},
};

const IntRule* findIntRule(int type)
{
    for (const IntRule& rule : IntRules)
        if (rule.type == type)
            return &rule;
    return nullptr;
}

[[noreturn]] void throwCannotProceed()
{
    throw ODbException(Messages::CannotProceedType, 0, nullptr);
}

// A size below 1 where one is needed: an exception with no message.
void requireSize(int size)
{
    if (size < 1)
        throw ODbException();
}

int checkedElementSize(long long size)
{
    if (size > Limits::MaxElementSize)
        throw ODbException();
    return static_cast<int>(size);
}

} // namespace

ODbMap::ODbMap() = default;

ODbMap::ODbMap(const ODbMap&) = default;

ODbMap::ODbMap(ODbDynamicVariable& var, const ODbColumnDesc& desc, ODbIndex arraySize)
{
    initVar(var, desc, arraySize);
}

ODbMap::~ODbMap() = default;

ODbMap& ODbMap::operator=(const ODbMap&)
{
    return *this;
}

void ODbMap::initVar(ODbDynamicVariable& var, const ODbColumnDesc& desc, ODbIndex arraySize) const
{
    if (var.getFtype() != extNone)
        return;
    if (findIntRule(desc.dataType) == nullptr)
        throwCannotProceed();
    const int size = desc.dataSize >= 1 ? desc.dataSize : getDefSizes(desc.dataType);
    ExtTypes ext = extNone;
    int elemSize = 0;
    mapFtype(static_cast<IntTypes>(desc.dataType), size, ext, elemSize);
    var.init(ext, elemSize, arraySize);
}

void ODbMap::mapFtype(SupportTypes type, int size, ExtTypes& ext, int& elemSize) const
{
    const int code = static_cast<int>(type);
    if (code < 0 || code > supLong)
        throwCannotProceed();
    const SupportRule& rule = SupportRules[code];
    if (!rule.sized) {
        ext = rule.ext;
        elemSize = rule.elemSize;
        return;
    }
    requireSize(size);
    if (type == supRaw && size >= LongRawThreshold) {
        elemSize = checkedElementSize(static_cast<long long>(size) + LongVarRawPrefix);
        ext = extLongVarRaw;
        return;
    }
    elemSize = checkedElementSize(static_cast<long long>(size) + rule.elemSize);
    ext = rule.ext;
}

void ODbMap::mapFtype(IntTypes type, int size, ExtTypes& ext, int& elemSize) const
{
    const ExtTypes mapped = int2ext(type);
    elemSize = datatypeSize(mapped, size, type);
    ext = mapped;
}

int ODbMap::datatypeSize(ExtTypes ext, int size, IntTypes type) const
{
    switch (ext) {
    case extString:
        return type == intRowid ? RowidElementSize : checkedElementSize(static_cast<long long>(size) + 1);
    case extFloat:
        return 8;
    case extDate:
        return 7;
    default:
        break;
    }
    requireSize(size);
    switch (ext) {
    case extVarRaw:
        return checkedElementSize(static_cast<long long>(size) + VarRawPrefix);
    case extLongVarRaw:
        return checkedElementSize(static_cast<long long>(size) + LongVarRawPrefix);
    case extLongRaw:
    case extLong:
        return 4;
    default:
        throwCannotProceed();
    }
}

ExtTypes ODbMap::int2ext(IntTypes type) const
{
    const IntRule* rule = findIntRule(static_cast<int>(type));
    if (rule == nullptr)
        throwCannotProceed();
    return rule->ext;
}

int ODbMap::getDefSizes(short) const
{
    return 1;
}

} // namespace Oracle

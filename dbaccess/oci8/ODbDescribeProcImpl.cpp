// Description of the arguments of one stored procedure or function over the
// release-8 call interface.
#include "ODbDescribeProcImpl.h"

#include <strings.h>

#include <cstring>
#include <memory>
#include <string>

#include "ODbConnectImpl.h"
#include "ODbException.h"
#include "ODbStatementMessages.h"
#include "OciDescribeAny.h"

namespace Oracle {

namespace {

// A standalone object is described by itself; a package with its lists, so
// that its subprograms and their arguments can be walked.
constexpr ub1 StandaloneInfoLevel = 0;
constexpr ub1 PackageInfoLevel = 1;

// The argument modes as the call interface reports them (OCI_ATTR_IOMODE).
constexpr ub4 ModeIn = 0;
constexpr ub4 ModeOut = 1;
constexpr ub4 ModeInOut = 2;

// A name is asked for as a function first, then as a procedure; when both
// fail, the second failure (the server's text for the procedure) is reported.
std::unique_ptr<OciDescribeAny> describeFunctionOrProcedure(ODbConnectImpl& connection, const char* name)
{
    try {
        return std::make_unique<OciDescribeAny>(connection, name, OCI_PTYPE_FUNC, StandaloneInfoLevel);
    } catch (const ODbException&) {
        return std::make_unique<OciDescribeAny>(connection, name, OCI_PTYPE_PROC, StandaloneInfoLevel);
    }
}

int argumentMode(ub4 ioMode)
{
    if (ioMode != ModeIn && ioMode != ModeOut && ioMode != ModeInOut)
        throw ODbException(Messages::InternalDescribe, 0, nullptr);
    return static_cast<int>(ioMode);
}

// One argument's own attributes; its nested arguments are added by the caller.
ODbColumnDesc argument(const OciParam& arg)
{
    ODbColumnDesc desc = arg.column(OciParam::DescribePrecision);
    std::memcpy(desc.uniqueName, desc.name, sizeof desc.name);
    desc.hasDefault = arg.get<ub1>(OCI_ATTR_HAS_DEFAULT) != 0;
    desc.mode = argumentMode(arg.get<ub4>(OCI_ATTR_IOMODE));
    return desc;
}

} // namespace

ODbDescribeProcImpl::ODbDescribeProcImpl(ODbConnect& connection, const char* name, const char* package)
    : ODbDescribeProc(connection, name, package), connection_(&ODbConnectImpl::of(connection))
{
    requiredName(name);
    if (package == nullptr || *package == '\0')
        describeStandalone(name);
    else
        describePackaged(name, package);
}

ODbDescribeProcImpl::~ODbDescribeProcImpl() = default;

void ODbDescribeProcImpl::describeStandalone(const char* name)
{
    const std::unique_ptr<OciDescribeAny> describe = describeFunctionOrProcedure(*connection_, name);
    const OciParam object = describe->object();
    setProcedure(isProc(object.get<ub1>(OCI_ATTR_PTYPE)));
    doProcess(object, nullptr);
}

// The first subprogram whose whole name matches, without regard to case: of
// several overloads only the first in the package's order is described.
void ODbDescribeProcImpl::describePackaged(const char* name, const char* package)
{
    const OciDescribeAny describe(*connection_, package, OCI_PTYPE_PKG, PackageInfoLevel);
    const OciParam subprograms = describe.object().descriptor(OCI_ATTR_LIST_SUBPROGRAMS);
    const ub2 count = subprograms.isNull() ? 0 : subprograms.get<ub2>(OCI_ATTR_NUM_PARAMS);
    for (ub4 i = 0; i < count; ++i) {
        const OciParam subprogram = subprograms.at(i);
        const std::string found = subprogram.text(OCI_ATTR_NAME, ODbColumnDesc::NameCapacity - 1);
        if (strcasecmp(found.c_str(), name) != 0)
            continue;
        setProcedure(isProc(subprogram.get<ub1>(OCI_ATTR_PTYPE)));
        doProcess(subprogram, nullptr);
        return;
    }
    throw ODbException();
}

bool ODbDescribeProcImpl::isProc(ub1 type)
{
    if (type == OCI_PTYPE_PROC)
        return true;
    if (type == OCI_PTYPE_FUNC)
        return false;
    throw ODbException(Messages::NotProcedureOrFunction, 0, nullptr);
}

void ODbDescribeProcImpl::doProcess(const OciParam& object, ODbColumnDesc* parent)
{
    const OciParam arguments = object.descriptor(OCI_ATTR_LIST_ARGUMENTS);
    if (arguments.isNull())
        return;
    const ub2 count = arguments.get<ub2>(OCI_ATTR_NUM_PARAMS);
    const int start = parent != nullptr || !isFunction() ? 1 : 0;
    for (int position = start; position < start + count; ++position) {
        const OciParam arg = arguments.at(static_cast<ub4>(position));
        ODbColumnDesc desc = argument(arg);
        doProcess(arg, &desc);
        if (parent != nullptr) {
            parent->elements.push_back(std::move(desc));
            continue;
        }
        getNumcols()[desc.name] = position;
        getDescription()[position] = std::move(desc);
    }
}

} // namespace Oracle

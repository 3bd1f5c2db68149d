// Description of the arguments of one stored procedure or function over the
// release-7 call interface.
#include "ODbDescribeProcImpl.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include <ocidem.h>

#include "ODbConnectImpl.h"
#include "ODbException.h"
#include "ODbStatementMessages.h"
#include "OciCheck.h"
#include "OciLimits.h"
#include "OciText.h"

namespace Oracle {

// The result arrays of the procedure describe, one entry per row.
struct ProcedureRows {
    static constexpr std::size_t Capacity = OciLimits::DescribeRows;

    ub2 overload[Capacity] = {};
    ub2 position[Capacity] = {};
    ub2 level[Capacity] = {};
    char names[Capacity][OciLimits::ArgumentNameSlot] = {}; // fixed slots, not terminated
    ub2 nameLength[Capacity] = {};
    ub2 dataType[Capacity] = {};
    ub1 hasDefault[Capacity] = {};
    ub1 mode[Capacity] = {};
    ub4 dataSize[Capacity] = {};
    sb2 precision[Capacity] = {};
    sb2 scale[Capacity] = {};
    ub1 radix[Capacity] = {};
    ub4 spare[Capacity] = {};
    std::size_t count = 0; // rows of the first overload
};

namespace {

// Codes of the arguments that hold nested rows.
constexpr ub2 PlSqlRecord = 250;
constexpr ub2 PlSqlTable = 251;
// The server's answer when the rows do not fit the arrays.
constexpr ub2 DescribeArraysTooSmall = 6513;

// A packaged subprogram as "PACKAGE.NAME", a standalone one by its name alone.
std::string objectName(const char* name, const char* package)
{
    if (package == nullptr || *package == '\0')
        return name;
    return std::string(package) + "." + name;
}

[[noreturn]] void internalDescribeFailure()
{
    throw ODbException(Messages::InternalDescribe, 0, nullptr);
}

// In stays in; out and in/out both read back as in/out.
int argumentMode(ub1 mode)
{
    if (mode == OCI7_MODE_IN)
        return 0;
    if (mode == OCI7_MODE_OUT || mode == OCI7_MODE_INOUT)
        return 2;
    internalDescribeFailure();
}

// The rows of `name`, cut to those of its first overload.
void describeRows(ODbConnectImpl& connection, const std::string& name, ProcedureRows& rows)
{
    ub4 count = ProcedureRows::Capacity;
    cda_def& login = connection.loginArea();
    const ub2 result = OciCheck(login, nullptr)(
        odessp(&login, callText(name), static_cast<std::size_t>(TerminatedText), nullptr, 0,
               nullptr, 0, rows.overload, rows.position, rows.level, reinterpret_cast<OraText**>(rows.names),
               rows.nameLength, rows.dataType, rows.hasDefault, rows.mode, rows.dataSize, rows.precision,
               rows.scale, rows.radix, rows.spare, &count),
        {DescribeArraysTooSmall});
    if (result != 0 || count > ProcedureRows::Capacity)
        internalDescribeFailure();
    std::size_t first = 0;
    while (first < count && rows.overload[first] == rows.overload[0])
        ++first;
    rows.count = first;
}

ODbColumnDesc argument(const ProcedureRows& rows, std::size_t row)
{
    ODbColumnDesc desc;
    const std::size_t length = std::min<std::size_t>(rows.nameLength[row], OciLimits::ArgumentNameSlot);
    std::memcpy(desc.name, rows.names[row], length);
    std::memcpy(desc.uniqueName, desc.name, sizeof desc.name);
    desc.nameLength = static_cast<unsigned int>(length);
    desc.position = static_cast<short>(rows.position[row]);
    desc.dataSize = static_cast<int>(rows.dataSize[row]);
    desc.spareSize = desc.dataSize;
    desc.dataType = static_cast<short>(rows.dataType[row]);
    desc.precision = rows.precision[row];
    desc.scale = rows.scale[row];
    desc.hasDefault = rows.hasDefault[row] != 0;
    desc.mode = argumentMode(rows.mode[row]);
    return desc;
}

} // namespace

ODbDescribeProcImpl::ODbDescribeProcImpl(ODbConnect& connection, const char* name, const char* package)
    : ODbDescribeProc(connection, name, package), connection_(&ODbConnectImpl::of(connection))
{
    const std::unique_ptr<ProcedureRows> rows(new ProcedureRows);
    describeRows(*connection_, objectName(requiredName(name), package), *rows);
    setProcedure(true);
    doProcess(*rows, 0, nullptr);
}

ODbDescribeProcImpl::~ODbDescribeProcImpl() = default;

// A position of 0 is a function's return value.
std::size_t ODbDescribeProcImpl::doProcess(const ProcedureRows& rows, std::size_t row, ODbColumnDesc* parent)
{
    const ub2 level = row < rows.count ? rows.level[row] : 0;
    while (row < rows.count && rows.level[row] == level) {
        ODbColumnDesc desc = argument(rows, row);
        const ub2 type = rows.dataType[row++];
        if ((type == PlSqlTable || type == PlSqlRecord) && row < rows.count && rows.level[row] > level)
            row = doProcess(rows, row, &desc);
        while (row < rows.count && rows.level[row] > level)
            ++row; // nested rows under an argument that holds none are not its
        if (parent != nullptr) {
            parent->elements.push_back(std::move(desc));
            continue;
        }
        if (desc.position == 0)
            setProcedure(false);
        getNumcols()[desc.name] = desc.position;
        getDescription()[desc.position] = std::move(desc);
    }
    return row;
}

} // namespace Oracle

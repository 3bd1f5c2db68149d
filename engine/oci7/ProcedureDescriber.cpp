// The argument rows of a stored program.
#include "oci7/ProcedureDescriber.h"

#include "base/OraError.h"
#include "base/StoredNames.h"
#include "oci7/LoginArea.h"
#include "oci7/ReleaseEightCalls.h"

namespace engine {
namespace {

constexpr int kObjectMissing = 4043;  // ORA-04043

// `name` split at the dots outside double quotes.
std::vector<std::string> nameParts(const std::string& name) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : name) {
        if (c == '"') quoted = !quoted;
        if (c == '.' && !quoted) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

template <typename T>
T attribute(const void* parameter, ub4 attribute, OCIError* errors) {
    T value{};
    require(OCIAttrGet(parameter, OCI_DTYPE_PARAM, &value, nullptr, attribute, errors), errors);
    return value;
}

std::string textAttribute(const void* parameter, ub4 attribute, OCIError* errors) {
    OraText* text = nullptr;
    ub4 length = 0;
    require(OCIAttrGet(parameter, OCI_DTYPE_PARAM, &text, &length, attribute, errors), errors);
    return std::string(reinterpret_cast<const char*>(text), length);
}

}  // namespace

ProcedureDescriber::ProcedureDescriber(LoginArea& session) : session_(session) {
    describe_ = static_cast<OCIDescribe*>(allocateHandle(session.environment(), OCI_HTYPE_DESCRIBE));
}

ProcedureDescriber::~ProcedureDescriber() { OCIHandleFree(describe_, OCI_HTYPE_DESCRIBE); }

std::vector<ArgumentRow> ProcedureDescriber::describe(const std::string& name) {
    const std::vector<std::string> parts = nameParts(name);
    std::vector<void*> routines;
    // A stand-alone program; ".NAME" is one whose package part is empty.
    const bool standAlone = parts.size() == 1 || (parts.size() == 2 && parts[0].empty());
    if (standAlone) {
        void* found = describeObject(parts.back(), OCI_PTYPE_FUNC);
        if (found == nullptr) found = describeObject(parts.back(), OCI_PTYPE_PROC);
        if (found != nullptr) routines.push_back(found);
    } else if (parts.size() == 2) {
        routines = packagedRoutines(parts[0], parts[1]);
    }
    if (routines.empty()) throw OraError(OraCode::ObjectMissing, {standAlone ? parts.back() : name});
    std::vector<ArgumentRow> rows;
    for (std::size_t i = 0; i < routines.size(); ++i) {
        const ub2 overload = routines.size() > 1 ? static_cast<ub2>(i + 1) : 0;
        const bool function = attribute<ub1>(routines[i], OCI_ATTR_PTYPE, session_.errors()) == OCI_PTYPE_FUNC;
        addArguments(routines[i], function ? 0 : 1, overload, rows);
    }
    return rows;
}

void* ProcedureDescriber::describeObject(const std::string& name, ub1 ptype) {
    OCIError* errors = session_.errors();
    const sword status = OCIDescribeAny(session_.context(), errors, clientText(name), static_cast<ub4>(name.size()),
                                        OCI_OTYPE_NAME, 0, ptype, describe_);
    if (status != OCI_SUCCESS) {
        const OraError failure = failureOf(status, errors);
        if (failure.number() == kObjectMissing) return nullptr;
        throw failure;
    }
    void* root = nullptr;
    require(OCIAttrGet(describe_, OCI_HTYPE_DESCRIBE, &root, nullptr, OCI_ATTR_PARAM, errors), errors);
    return root;
}

// Every subprogram of `package` named `routine`, in declaration order.
std::vector<void*> ProcedureDescriber::packagedRoutines(const std::string& package, const std::string& routine) {
    void* root = describeObject(package, OCI_PTYPE_PKG);
    if (root == nullptr) return {};
    OCIError* errors = session_.errors();
    void* list = attribute<void*>(root, OCI_ATTR_LIST_SUBPROGRAMS, errors);
    const ub2 count = attribute<ub2>(list, OCI_ATTR_NUM_PARAMS, errors);
    const std::string wanted = identifierName(routine);
    std::vector<void*> routines;
    for (ub4 i = 0; i < count; ++i) {
        void* subprogram = nullptr;
        require(OCIParamGet(list, OCI_DTYPE_PARAM, errors, &subprogram, i), errors);
        if (textAttribute(subprogram, OCI_ATTR_NAME, errors) == wanted) routines.push_back(subprogram);
    }
    return routines;
}

// The rows of the arguments of `owner` (a program or a composite argument),
// each followed by the rows of its own fields or element.
void ProcedureDescriber::addArguments(void* owner, ub4 firstPosition, ub2 overload, std::vector<ArgumentRow>& rows) {
    OCIError* errors = session_.errors();
    void* list = attribute<void*>(owner, OCI_ATTR_LIST_ARGUMENTS, errors);
    if (list == nullptr) return;
    const ub2 count = attribute<ub2>(list, OCI_ATTR_NUM_PARAMS, errors);
    for (ub4 i = 0; i < count; ++i) {
        void* argument = nullptr;
        require(OCIParamGet(list, OCI_DTYPE_PARAM, errors, &argument, firstPosition + i), errors);
        rows.push_back(argumentRow(argument, overload));
        addArguments(argument, 1, overload, rows);
    }
}

ArgumentRow ProcedureDescriber::argumentRow(void* argument, ub2 overload) {
    OCIError* errors = session_.errors();
    ArgumentRow row;
    row.overload = overload;
    row.position = attribute<ub2>(argument, OCI_ATTR_POSITION, errors);
    row.level = attribute<ub2>(argument, OCI_ATTR_LEVEL, errors);
    row.name = textAttribute(argument, OCI_ATTR_NAME, errors);
    row.type = attribute<ub2>(argument, OCI_ATTR_DATA_TYPE, errors);
    row.hasDefault = attribute<ub1>(argument, OCI_ATTR_HAS_DEFAULT, errors);
    row.mode = static_cast<ub1>(attribute<ub4>(argument, OCI_ATTR_IOMODE, errors));
    row.size = attribute<ub2>(argument, OCI_ATTR_DATA_SIZE, errors);
    row.precision = attribute<ub1>(argument, OCI_ATTR_PRECISION, errors);
    row.scale = attribute<sb1>(argument, OCI_ATTR_SCALE, errors);
    row.radix = attribute<ub1>(argument, OCI_ATTR_RADIX, errors);
    return row;
}

}  // namespace engine

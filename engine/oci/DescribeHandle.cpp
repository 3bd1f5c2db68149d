// Object describes: tables, views and schemas.
#include "oci/DescribeHandle.h"

#include "base/CallError.h"
#include "base/OraError.h"
#include "plsql/PlsqlSession.h"
#include "session/Connection.h"
#include "sql/SqlDialect.h"

namespace engine {

void DescribeHandle::getAttribute(ub4 attribute, void* value, ub4* size) const {
    if (attribute != OCI_ATTR_PARAM || root_ == nullptr) Handle::getAttribute(attribute, value, size);
    putAttribute<void*>(value, size, static_cast<Handle*>(root_.get()));
}

void DescribeHandle::describe(Connection& connection, const std::string& name, ub1 ptype) {
    root_.reset();
    switch (ptype) {
    case OCI_PTYPE_SCHEMA: root_ = describeSchema(connection, name); break;
    case OCI_PTYPE_TABLE:
    case OCI_PTYPE_VIEW: root_ = describeRelation(connection, name, ptype); break;
    case OCI_PTYPE_UNK:
        root_ = connection.catalog().objectKind(name) ? describeRelation(connection, name, ptype)
                                                      : describeSchema(connection, name);
        break;
    case OCI_PTYPE_PROC:
    case OCI_PTYPE_FUNC:
    case OCI_PTYPE_PKG: root_ = describeProgram(connection, name, ptype); break;
    default: throw OraError(OraCode::ObjectMissing, {name});
    }
}

// A stored procedure, function or package of that kind, valid, or ORA-04043.
std::unique_ptr<ParamDescriptor> DescribeHandle::describeProgram(Connection& connection, const std::string& name,
                                                                 ub1 ptype) const {
    const PlsqlUnit::Kind kind = ptype == OCI_PTYPE_PROC   ? PlsqlUnit::Kind::Procedure
                                 : ptype == OCI_PTYPE_FUNC ? PlsqlUnit::Kind::Function
                                                           : PlsqlUnit::Kind::Package;
    std::shared_ptr<const PlsqlUnit> unit = PlsqlSession::of(connection).unit(identifierName(name), kind);
    if (!unit || !unit->valid) throw OraError(OraCode::ObjectMissing, {name});
    if (kind == PlsqlUnit::Kind::Package) return ParamDescriptor::package(*unit);
    return ParamDescriptor::routine(*unit->routines.front());
}

std::unique_ptr<ParamDescriptor> DescribeHandle::describeSchema(Connection& connection,
                                                                const std::string& name) const {
    // One database holds one shared namespace: every one of its users sees it.
    const std::string user = identifierName(name);
    if (!connection.catalog().findUser(user)) throw OraError(OraCode::ObjectMissing, {name});
    return ParamDescriptor::schema(user, connection.catalog().listObjects());
}

std::unique_ptr<ParamDescriptor> DescribeHandle::describeRelation(Connection& connection, const std::string& name,
                                                                  ub1 ptype) const {
    const std::optional<ObjectKind> kind = connection.catalog().objectKind(name);
    const bool isTable = kind == ObjectKind::Table;
    const bool isView = kind == ObjectKind::View;
    const bool wanted = ptype == OCI_PTYPE_TABLE ? isTable : ptype == OCI_PTYPE_VIEW ? isView : isTable || isView;
    if (!wanted) throw OraError(OraCode::ObjectMissing, {name});
    const ub1 actual = isTable ? OCI_PTYPE_TABLE : OCI_PTYPE_VIEW;
    return ParamDescriptor::table(actual, identifierName(name), connection.catalog().describeObject(name));
}

}  // namespace engine

// A parameter descriptor (OCI_DTYPE_PARAM): one node of a describe's result.
//
// A node is a column (of a select list, table or view), an object (table, view,
// schema, schema entry) or a list of such nodes; objects point at their lists
// (columns, schema objects) through attributes, and OCIParamGet walks a list.
// Nodes are owned by their parent (statement, describe handle or list), never
// freed by the client. Procedures, functions and packages add kinds of node
// (argument and subprogram lists) without changing this shape.
#pragma once

#include "oci/Handle.h"
#include "plsql/PlsqlProgram.h"
#include "sql/Catalog.h"

#include <memory>
#include <string>
#include <vector>

namespace engine {

class ParamDescriptor : public Handle {
public:
    // A select-list item (`selectList`) or a table or view column at `position`.
    static std::unique_ptr<ParamDescriptor> column(const ColumnDescription& column, ub2 position, bool selectList);
    // A table or view (`ptype`) with its columns.
    static std::unique_ptr<ParamDescriptor> table(ub1 ptype, const std::string& name,
                                                  const std::vector<ColumnDescription>& columns);
    // A schema with its objects.
    static std::unique_ptr<ParamDescriptor> schema(const std::string& name, const std::vector<SchemaObject>& objects);
    // A procedure or function with its arguments (a function's return value
    // at position 0), and a package with its subprograms in declaration order.
    static std::unique_ptr<ParamDescriptor> routine(const PlsqlRoutine& routine);
    static std::unique_ptr<ParamDescriptor> package(const PlsqlUnit& header);

    void getAttribute(ub4 attribute, void* value, ub4* size) const override;
    // OCIParamGet on a list: entry `position` (columns count from 1, schema
    // objects from 0); ORA-24334 when there is none.
    ParamDescriptor& entry(ub4 position) const;

private:
    explicit ParamDescriptor(ub1 ptype);
    // A list of `entries` of list type `listType`, numbered from `first`.
    static std::unique_ptr<ParamDescriptor> list(ub2 listType, ub4 first,
                                                 std::vector<std::unique_ptr<ParamDescriptor>> entries);
    bool getColumnAttribute(ub4 attribute, void* value, ub4* size) const;
    bool getListAttribute(ub4 attribute, void* value, ub4* size) const;
    bool getArgumentAttribute(ub4 attribute, void* value, ub4* size) const;
    // An argument (or a nested element or field, `level` deep) of `type`.
    static std::unique_ptr<ParamDescriptor> argument(const std::string& name, const TypeRef& type, ub4 mode,
                                                     bool hasDefault, ub2 position, ub2 level);
    static std::unique_ptr<ParamDescriptor> nested(const TypeRef& type, ub2 level);

    ub1 ptype_;                 // OCI_PTYPE_* of this node
    std::string name_;          // column or object name, as the dictionary has it
    ColumnDescription column_;  // for OCI_PTYPE_COL
    ub2 position_ = 0;          // 1-based column position
    bool selectList_ = false;   // select-list item: PRECISION is an sb2, else a ub1
    std::unique_ptr<ParamDescriptor> list_;  // columns of a table or view, objects of a schema
    std::vector<std::unique_ptr<ParamDescriptor>> entries_;  // for OCI_PTYPE_LIST
    ub2 listType_ = OCI_LTYPE_UNK;  // for OCI_PTYPE_LIST
    ub4 firstPosition_ = 1;         // for OCI_PTYPE_LIST: position of entries_[0]
    TypeRef argumentType_;          // for OCI_PTYPE_ARG: the declared type
    ub4 mode_ = OCI_TYPEPARAM_IN;   // for OCI_PTYPE_ARG
    bool hasDefault_ = false;       // for OCI_PTYPE_ARG
    ub2 level_ = 0;                 // for OCI_PTYPE_ARG: nesting depth, 0 for an argument
};

}  // namespace engine

// Describe results and their attributes.
#include "oci/ParamDescriptor.h"

#include "base/CallError.h"

namespace engine {
namespace {

void putText(void* value, ub4* size, const std::string& text) {
    *static_cast<const OraText**>(value) = reinterpret_cast<const OraText*>(text.c_str());
    if (size != nullptr) *size = static_cast<ub4>(text.size());
}

ub1 objectType(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::Table: return OCI_PTYPE_TABLE;
    case ObjectKind::View: return OCI_PTYPE_VIEW;
    case ObjectKind::Sequence: return OCI_PTYPE_SEQ;
    case ObjectKind::Procedure: return OCI_PTYPE_PROC;
    case ObjectKind::Function: return OCI_PTYPE_FUNC;
    case ObjectKind::Package: return OCI_PTYPE_PKG;
    }
    return OCI_PTYPE_UNK;
}

}  // namespace

ParamDescriptor::ParamDescriptor(ub1 ptype) : Handle(OCI_DTYPE_PARAM), ptype_(ptype) {}

std::unique_ptr<ParamDescriptor> ParamDescriptor::column(const ColumnDescription& column, ub2 position,
                                                         bool selectList) {
    std::unique_ptr<ParamDescriptor> node(new ParamDescriptor(OCI_PTYPE_COL));
    node->name_ = column.name;
    node->column_ = column;
    node->position_ = position;
    node->selectList_ = selectList;
    return node;
}

std::unique_ptr<ParamDescriptor> ParamDescriptor::list(ub2 listType, ub4 first,
                                                       std::vector<std::unique_ptr<ParamDescriptor>> entries) {
    std::unique_ptr<ParamDescriptor> node(new ParamDescriptor(OCI_PTYPE_LIST));
    node->listType_ = listType;
    node->firstPosition_ = first;
    node->entries_ = std::move(entries);
    return node;
}

std::unique_ptr<ParamDescriptor> ParamDescriptor::table(ub1 ptype, const std::string& name,
                                                        const std::vector<ColumnDescription>& columns) {
    std::vector<std::unique_ptr<ParamDescriptor>> entries;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        entries.push_back(column(columns[i], static_cast<ub2>(i + 1), false));
    }
    std::unique_ptr<ParamDescriptor> node(new ParamDescriptor(ptype));
    node->name_ = name;
    node->list_ = list(OCI_LTYPE_COLUMN, 1, std::move(entries));
    return node;
}

std::unique_ptr<ParamDescriptor> ParamDescriptor::schema(const std::string& name,
                                                         const std::vector<SchemaObject>& objects) {
    std::vector<std::unique_ptr<ParamDescriptor>> entries;
    for (const SchemaObject& object : objects) {
        std::unique_ptr<ParamDescriptor> entry(new ParamDescriptor(objectType(object.kind)));
        entry->name_ = object.name;
        entries.push_back(std::move(entry));
    }
    std::unique_ptr<ParamDescriptor> node(new ParamDescriptor(OCI_PTYPE_SCHEMA));
    node->name_ = name;
    node->list_ = list(OCI_LTYPE_SCH_OBJ, 0, std::move(entries));
    return node;
}

std::unique_ptr<ParamDescriptor> ParamDescriptor::routine(const PlsqlRoutine& routine) {
    std::vector<std::unique_ptr<ParamDescriptor>> entries;
    if (routine.isFunction) entries.push_back(argument("", routine.returnType, OCI_TYPEPARAM_OUT, false, 0, 0));
    for (std::size_t i = 0; i < routine.arguments.size(); ++i) {
        const PlsqlArgument& each = routine.arguments[i];
        entries.push_back(argument(each.name, each.type, static_cast<ub4>(each.mode), each.defaultValue != nullptr,
                                   static_cast<ub2>(i + 1), 0));
    }
    std::unique_ptr<ParamDescriptor> node(new ParamDescriptor(routine.isFunction ? OCI_PTYPE_FUNC : OCI_PTYPE_PROC));
    node->name_ = routine.name;
    node->list_ = list(routine.isFunction ? OCI_LTYPE_ARG_FUNC : OCI_LTYPE_ARG_PROC, routine.isFunction ? 0 : 1,
                       std::move(entries));
    return node;
}

std::unique_ptr<ParamDescriptor> ParamDescriptor::package(const PlsqlUnit& header) {
    std::vector<std::unique_ptr<ParamDescriptor>> entries;
    for (const auto& each : header.routines) entries.push_back(routine(*each));
    std::unique_ptr<ParamDescriptor> node(new ParamDescriptor(OCI_PTYPE_PKG));
    node->name_ = header.name;
    node->list_ = list(OCI_LTYPE_SUBPRG, 0, std::move(entries));
    return node;
}

std::unique_ptr<ParamDescriptor> ParamDescriptor::argument(const std::string& name, const TypeRef& type, ub4 mode,
                                                           bool hasDefault, ub2 position, ub2 level) {
    std::unique_ptr<ParamDescriptor> node(new ParamDescriptor(OCI_PTYPE_ARG));
    node->name_ = name;
    node->argumentType_ = type;
    node->mode_ = mode;
    node->hasDefault_ = hasDefault;
    node->position_ = position;
    node->level_ = level;
    node->list_ = nested(type, static_cast<ub2>(level + 1));
    return node;
}

// The nested arguments of a composite type: a table's element, a record's
// fields; none (a null list) for a scalar.
std::unique_ptr<ParamDescriptor> ParamDescriptor::nested(const TypeRef& type, ub2 level) {
    std::vector<std::unique_ptr<ParamDescriptor>> entries;
    if (type && type->kind == PlsqlType::Kind::Table) {
        entries.push_back(argument("", type->element, OCI_TYPEPARAM_IN, false, 1, level));
    } else if (type && type->kind == PlsqlType::Kind::Record) {
        for (std::size_t i = 0; i < type->fields.size(); ++i) {
            entries.push_back(argument(type->fields[i].name, type->fields[i].type, OCI_TYPEPARAM_IN, false,
                                       static_cast<ub2>(i + 1), level));
        }
    } else {
        return nullptr;
    }
    return list(OCI_LTYPE_ARG_PROC, 1, std::move(entries));
}

bool ParamDescriptor::getArgumentAttribute(ub4 attribute, void* value, ub4* size) const {
    const PlsqlType* type = argumentType_.get();
    switch (attribute) {
    case OCI_ATTR_DATA_TYPE: putAttribute<ub2>(value, size, type ? type->internalCode() : 0); return true;
    case OCI_ATTR_DATA_SIZE: putAttribute<ub2>(value, size, static_cast<ub2>(type ? type->describedSize() : 0)); return true;
    case OCI_ATTR_PRECISION: putAttribute<ub1>(value, size, static_cast<ub1>(type ? type->precision : 0)); return true;
    case OCI_ATTR_SCALE: putAttribute<sb1>(value, size, static_cast<sb1>(type ? type->scale : 0)); return true;
    case OCI_ATTR_IS_NULL: putAttribute<ub1>(value, size, 1); return true;
    case OCI_ATTR_HAS_DEFAULT: putAttribute<ub1>(value, size, hasDefault_ ? 1 : 0); return true;
    case OCI_ATTR_IOMODE: putAttribute<ub4>(value, size, mode_); return true;
    case OCI_ATTR_LEVEL: putAttribute<ub2>(value, size, level_); return true;
    case OCI_ATTR_POSITION: putAttribute<ub2>(value, size, position_); return true;
    case OCI_ATTR_OVERLOAD: putAttribute<ub2>(value, size, 0); return true;
    case OCI_ATTR_RADIX: putAttribute<ub1>(value, size, type && type->kind == PlsqlType::Kind::Number ? 10 : 0); return true;
    default: return false;
    }
}

ParamDescriptor& ParamDescriptor::entry(ub4 position) const {
    if (ptype_ != OCI_PTYPE_LIST || position < firstPosition_ || position - firstPosition_ >= entries_.size()) {
        throw CallError(CallCode::NoDescriptor);
    }
    return *entries_[position - firstPosition_];
}

bool ParamDescriptor::getColumnAttribute(ub4 attribute, void* value, ub4* size) const {
    switch (attribute) {
    case OCI_ATTR_DATA_TYPE: putAttribute<ub2>(value, size, static_cast<ub2>(column_.type)); return true;
    case OCI_ATTR_DATA_SIZE: putAttribute<ub2>(value, size, static_cast<ub2>(column_.size)); return true;
    case OCI_ATTR_SCALE: putAttribute<sb1>(value, size, static_cast<sb1>(column_.scale)); return true;
    case OCI_ATTR_IS_NULL: putAttribute<ub1>(value, size, column_.nullable ? 1 : 0); return true;
    case OCI_ATTR_POSITION: putAttribute<ub2>(value, size, position_); return true;
    case OCI_ATTR_PRECISION:
        if (selectList_) {
            putAttribute<sb2>(value, size, static_cast<sb2>(column_.precision));
        } else {
            putAttribute<ub1>(value, size, static_cast<ub1>(column_.precision));
        }
        return true;
    default: return false;
    }
}

bool ParamDescriptor::getListAttribute(ub4 attribute, void* value, ub4* size) const {
    switch (attribute) {
    case OCI_ATTR_NUM_PARAMS: putAttribute<ub2>(value, size, static_cast<ub2>(entries_.size())); return true;
    case OCI_ATTR_LTYPE: putAttribute<ub2>(value, size, listType_); return true;
    default: return false;
    }
}

void ParamDescriptor::getAttribute(ub4 attribute, void* value, ub4* size) const {
    if (ptype_ == OCI_PTYPE_COL && getColumnAttribute(attribute, value, size)) return;
    if (ptype_ == OCI_PTYPE_LIST && getListAttribute(attribute, value, size)) return;
    if (ptype_ == OCI_PTYPE_ARG && getArgumentAttribute(attribute, value, size)) return;
    switch (attribute) {
    case OCI_ATTR_PTYPE: putAttribute<ub1>(value, size, ptype_); return;
    case OCI_ATTR_NAME:
    case OCI_ATTR_OBJ_NAME:
        if (ptype_ != OCI_PTYPE_LIST) return putText(value, size, name_);
        break;
    case OCI_ATTR_NUM_COLS:
        if (ptype_ == OCI_PTYPE_TABLE || ptype_ == OCI_PTYPE_VIEW) {
            return putAttribute<ub2>(value, size, static_cast<ub2>(list_->entries_.size()));
        }
        break;
    case OCI_ATTR_LIST_ARGUMENTS:
        if (ptype_ == OCI_PTYPE_PROC || ptype_ == OCI_PTYPE_FUNC || ptype_ == OCI_PTYPE_ARG) {
            return putAttribute<void*>(value, size, list_ ? static_cast<Handle*>(list_.get()) : nullptr);
        }
        break;
    case OCI_ATTR_LIST_SUBPROGRAMS:
        if (ptype_ == OCI_PTYPE_PKG) return putAttribute<void*>(value, size, static_cast<Handle*>(list_.get()));
        break;
    case OCI_ATTR_LIST_COLUMNS:
    case OCI_ATTR_LIST_OBJECTS:
        if (list_ != nullptr && (attribute == OCI_ATTR_LIST_OBJECTS) == (ptype_ == OCI_PTYPE_SCHEMA)) {
            return putAttribute<void*>(value, size, static_cast<Handle*>(list_.get()));
        }
        break;
    default: break;
    }
    Handle::getAttribute(attribute, value, size);
}

}  // namespace engine

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

// The call interface's side of running a block: its binds as host variables.
#include "plsql/PlsqlExecution.h"

#include "base/OraError.h"
#include "plsql/PlsqlSession.h"

#include <algorithm>

namespace engine {

PlsqlExecution::PlsqlExecution(Connection& connection, const std::string& text)
    : session_(PlsqlSession::of(connection)), block_(session_.compileBlock(text)) {}

void PlsqlExecution::run(ub4 element, const std::vector<BlockBind*>& binds) {
    binds_ = binds;
    element_ = element;
    values_.clear();
    assigned_.clear();
    session_.refresh();
    PlsqlInterpreter(session_, this).runBlock(*block_);
}

PlsqlValue PlsqlExecution::read(int occurrence) {
    BlockBind* bind = binds_.at(static_cast<std::size_t>(occurrence));
    const auto found = values_.find(bind);
    if (found != values_.end()) return found->second;
    PlsqlValue value;
    if (bind->isTable()) {
        value.kind = PlsqlValue::Kind::Table;
        value.composite = std::make_shared<PlsqlComposite>();
        for (ub4 i = 0; i < bind->tableLength(); ++i)
            value.composite->elements.append(static_cast<std::int64_t>(i) + 1, elementOf(*bind, i, true));
    } else {
        value = elementOf(*bind, element_, false);
    }
    return values_.insert_or_assign(bind, std::move(value)).first->second;
}

// Element `element` of `bind` as SQLite would read it after binding.
PlsqlValue PlsqlExecution::elementOf(BlockBind& bind, ub4 element, bool table) {
    HeldValue held;
    table ? bind.tableElement(held, element) : bind.element(held, element, false);
    return PlsqlValue::of(ColumnValue(held));
}

// A value assigned to a bind is converted at once, so that one that does not
// fit fails the statement that assigned it; the converted form is what goes
// to the client's buffers at the end.
void PlsqlExecution::write(int occurrence, const PlsqlValue& value) {
    BlockBind* bind = binds_.at(static_cast<std::size_t>(occurrence));
    ConvertedElements converted;
    if (bind->isTable()) {
        if (value.kind != PlsqlValue::Kind::Table) throw OraError(OraCode::NumericOrValue, {""});
        converted.reserve(value.composite->elements.size());
        for (const auto& [index, element] : value.composite->elements) convert(*bind, element, converted);
    } else {
        convert(*bind, value, converted);
    }
    values_.insert_or_assign(bind, value);
    assigned_.insert_or_assign(bind, std::move(converted));
}

// Adds `value` to `into` as the client's type, converted as a column of the same SQLite value.
void PlsqlExecution::convert(BlockBind& bind, const PlsqlValue& value, ConvertedElements& into) {
    HeldValue held;
    value.bindTo(held, false);
    bind.convertOut(ColumnValue(held), into);
}

bool PlsqlExecution::deliveryMayFail() const {
    return std::any_of(assigned_.begin(), assigned_.end(), [](const auto& entry) { return entry.first->isTable(); });
}

// The values the block left in its binds go to the client's buffers; a
// table goes whole, its elements in index order.
void PlsqlExecution::deliver() {
    for (const auto& [bind, converted] : assigned_) {
        if (bind->isTable()) {
            bind->storeTable(converted);
        } else {
            bind->storeOut(converted[0], element_);
        }
    }
}

}  // namespace engine

// One stored procedure call on a connection.
#include "ODbSproc.h"

#include <strings.h>

#include "ODbClassfactory.h"
#include "ODbCursor.h"
#include "ODbException.h"
#include "ODbFailureGuard.h"
#include "ODbLimits.h"
#include "ODbSprocDescrObj.h"
#include "ODbStatementMessages.h"

namespace Oracle {

namespace {

// Described data types of composite arguments, beside the internal types.
constexpr short PlSqlRecord = 250;
constexpr short PlSqlTable = 251;
// Argument mode of an IN argument (1 is OUT, 2 IN OUT).
constexpr int ModeIn = 0;

// The argument as it is typed: a text or raw argument described without a size
// gets one that holds what a column can.
ODbColumnDesc sizedForBinding(const ODbColumnDesc& argument)
{
    ODbColumnDesc sized = argument;
    const bool unsizedText = argument.dataType == intVarchar2 || argument.dataType == intChar ||
                             argument.dataType == intRaw;
    if (unsizedText && argument.dataSize < 1)
        sized.dataSize = Limits::UnsizedArgumentBytes;
    return sized;
}

// An OUT or IN OUT table: bound through the callbacks, which hand the call
// interface one element at a time and resize the table to what comes back.
bool isDynamicTable(const ODbDynamicVariable& var)
{
    return var.isPlSqlTab() && !var.isFrozen();
}

} // namespace

ODbSproc::ODbSproc(ODbConnect& connection)
    : ODbConnectBase(connection), open_(false), bound_(false), description_(nullptr)
{
}

ODbSproc::ODbSproc(ODbConnect& connection, const char* name, const char* package) : ODbSproc(connection)
{
    open(name, package);
}

ODbSproc::ODbSproc(ODbConnect& connection, const ODbSprocDescrObj& description) : ODbSproc(connection)
{
    open(description);
}

ODbSproc::~ODbSproc()
{
    release();
}

void ODbSproc::open(const char* name, const char* package)
{
    if (open_)
        throw ODbException(Messages::SprocMustBeClosed, 0, nullptr);
    ownDescription_.reset(new ODbSprocDescrObj(getOraConnect(), name, package));
    description_ = ownDescription_.get();
    open();
}

void ODbSproc::open(const ODbSprocDescrObj& description)
{
    if (open_)
        throw ODbException(Messages::SprocMustBeClosed, 0, nullptr);
    ownDescription_.reset();
    description_ = &description;
    open();
}

// A failure part-way leaves the object closed with no cursor or variables.
void ODbSproc::open()
{
    if (open_)
        throw ODbException(Messages::SprocMustBeClosed, 0, nullptr);
    if (description_ == nullptr || !description_->isInitialised())
        throw ODbException(Messages::NoSprocDescription, 0, nullptr);
    const ODbFailureGuard closeAgain([this] { release(); });
    binder_.create(description_->getArgumentCount());
    prepare();
    open_ = true;
}

void ODbSproc::exec(ODbSignedIndex iters)
{
    requireOpen();
    if (iters < 1)
        throw ODbException(Messages::IterationsTooFew, 0, nullptr);
    followConnection();
    if (bound_ && bindingMoved(static_cast<ODbIndex>(iters))) {
        prepare();
        bound_ = false;
    }
    if (!bound_)
        bindVar(static_cast<ODbIndex>(iters));
    for (int i = 1; i <= binder_.getCount(); ++i) {
        ODbBindVariable& var = *binder_.getVariable(i);
        if (isDynamicTable(var))
            var.setCurElements(var.getArraySize());
    }
    cursor_->exec(static_cast<ODbIndex>(iters));
}

// The binding is made again on a fresh cursor, so no earlier bind of the
// statement can point at a buffer that is gone.
void ODbSproc::reset()
{
    if (!open_)
        throw ODbException();
    followConnection();
    if (bound_)
        prepare();
    bound_ = false;
}

void ODbSproc::close()
{
    if (binder_.getCount() < 0)
        throw ODbException();
    release();
}

ODbArrayData& ODbSproc::paramByPos(int position)
{
    variableAt(position);
    return binder_.getBindObj(position);
}

ODbArrayData& ODbSproc::paramByName(const char* name)
{
    requireOpen();
    for (const auto& [argument, position] : description_->getFieldNamesMap())
        if (name != nullptr && strcasecmp(argument.c_str(), name) == 0)
            return paramByPos(position);
    throw ODbException(Messages::NoSuchArgument, 0, nullptr);
}

ODbArrayData& ODbSproc::getParam(int position)
{
    return paramByPos(position);
}

int ODbSproc::getParamCount()
{
    return open_ ? binder_.getCount() : 0;
}

const ODbSprocDescrObj& ODbSproc::getDescrObj()
{
    if (description_ == nullptr)
        throw ODbException(Messages::NoSprocDescription, 0, nullptr);
    return *description_;
}

bool ODbSproc::isOpen() const
{
    return open_;
}

// A new cursor on the current connection with the call block, and every
// argument variable typed (a variable typed already keeps its type and values).
void ODbSproc::prepare()
{
    cursor_.release();
    cursor_ = ODbClassfactory::createODbCursor(getOraConnect());
    cursor_->open(description_->getBlock());
    for (int i = 1; i <= binder_.getCount(); ++i)
        typeArgument(*binder_.getVariable(i), description_->getColumnDescr(i));
}

// A record, or a table of records, cannot be bound: an empty-message failure.
void ODbSproc::typeArgument(ODbBindVariable& var, const ODbColumnDesc& argument)
{
    if (argument.dataType == PlSqlRecord)
        throw ODbException();
    if (argument.dataType != PlSqlTable) {
        initVar(var, sizedForBinding(argument), 1);
        return;
    }
    if (argument.elements.empty() || argument.elements.front().dataType == PlSqlRecord)
        throw ODbException();
    initVar(var, sizedForBinding(argument.elements.front()), 1);
    var.setFrozen(argument.mode == ModeIn);
    var.setPlSqlTab(true);
}

// Each variable is bound to its placeholder, which carries the argument's
// described name; the list is registered so that LONG and LONG RAW arguments
// go through the piecewise protocol.
void ODbSproc::bindVar(ODbIndex iters)
{
    if (bound_)
        throw ODbException(Messages::HostVariablesBound, 0, nullptr);
    boundAt_.clear();
    for (int i = 1; i <= binder_.getCount(); ++i) {
        ODbBindVariable& var = *binder_.getVariable(i);
        cursor_->bind(description_->getColumnDescr(i).name, var, iters);
        boundAt_.push_back({var.getData(), var.getArraySize(), iters});
    }
    cursor_->registerBindItemList(binder_.getList());
    bound_ = true;
}

// A static bind points at the variable's elements as they lay when bound; an
// argument resized since (or an exec with more iterations) needs a new bind.
// Tables bound through the callbacks are handed over element by element.
bool ODbSproc::bindingMoved(ODbIndex iters) const
{
    for (int i = 1; i <= binder_.getCount(); ++i) {
        const ODbBindVariable& var = *binder_.getVariable(i);
        const BoundArgument& at = boundAt_[static_cast<std::size_t>(i - 1)];
        if (iters != at.iters || (!isDynamicTable(var) && (var.getData() != at.data ||
                                                             var.getArraySize() != at.arraySize)))
            return true;
    }
    return false;
}

// After the object moved to another connection, the call is prepared there
// and the arguments typed afresh: their earlier values are gone.
void ODbSproc::followConnection()
{
    if (&cursor_->getConnection() == &getOraConnect())
        return;
    for (int i = 1; i <= binder_.getCount(); ++i)
        binder_.getVariable(i)->deleteData();
    prepare();
    bound_ = false;
}

void ODbSproc::release()
{
    cursor_.release();
    if (binder_.getCount() >= 0)
        binder_.destroy();
    boundAt_.clear();
    if (ownDescription_ != nullptr) {
        ownDescription_.reset();
        description_ = nullptr; // a borrowed description stays for open()
    }
    bound_ = false;
    open_ = false;
}

void ODbSproc::requireOpen() const
{
    if (!open_)
        throw ODbException(Messages::SprocMustBeOpen, 0, nullptr);
}

ODbBindVariable& ODbSproc::variableAt(int position)
{
    requireOpen();
    if (position < 1 || position > binder_.getCount())
        throw ODbException(Messages::NoSuchArgument, 0, nullptr);
    return *binder_.getVariable(position);
}

} // namespace Oracle

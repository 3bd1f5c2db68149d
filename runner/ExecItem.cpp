// The worker side of an EXECUTE item: runs the statement on its connection and
// moves values as text between script variables and the library's parameters and
// columns, each move under the OraProc lock.
#include "ExecItem.h"

#include "CommonVar.h"
#include "OraProc.h"

#include "ODbData.h"
#include "ODbException.h"
#include "ODbLong.h"
#include "ODbLongArr.h"
#include "ODbLongRaw.h"
#include "ODbLongRawArr.h"
#include "ODbParam.h"
#include "ODbQuery.h"
#include "ODbSproc.h"
#include "ODbSprocDescrObj.h"

#include <algorithm>

namespace Transl {

namespace {

// Thrown inside a worker whose item the interpreter has given up on; it unwinds
// the worker without touching script variables.
struct Abandoned {};

const char* const kUnknownSqlError = "Unknow SQL execution error";
const char* const kUnknownSprocError = "Unknow stored procedure execution error";
const char* const kRowsExceedArray = "Number of being fetched rows exceed the allocated array bounds";
const char* const kElementsExceedArray = "Number of returned elements exceed the allocated array bounds";
constexpr int kOutArgument = 1; // the described mode of an OUT argument

// The text of a library failure; one without a text gets `unknown`, since an
// empty message tells the script that the item succeeded.
std::string failureText(const Oracle::ODbException& failure, const char* unknown)
{
    const char* text = failure.getErrMsg();
    return text != nullptr && *text != '\0' ? std::string(text) : std::string(unknown);
}

// "1 column", "2 columns".
std::string counted(std::size_t count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// A statement asks for more values than the script supplied: a failure of the item
// rather than a read past the end of its variable list.
void requireVariables(int needed, std::size_t given, const char* what, const char* variables,
                      const char* owner = "statement")
{
    if (needed < 0 || static_cast<std::size_t>(needed) <= given)
        return;
    const std::string text = "Too few " + std::string(variables) + "s: the " + owner + " has " +
                             counted(static_cast<std::size_t>(needed), what) + " and the item names " +
                             std::to_string(given);
    throw Oracle::ODbException(text.c_str(), -1, nullptr);
}

// Element `row` of `output` := the column's current value as text; LONG and LONG
// RAW arrive as piece chains. An absent text stores NULL, as an empty one does.
void storeColumn(Oracle::ODbData& field, CommonVar& output, unsigned int row)
{
    switch (field.getDynamicVariable()->getFtype()) {
    case Oracle::extLong:
        output.setCString(field.getLong().getCString(), row);
        break;
    case Oracle::extLongRaw:
        output.setCString(field.getLongRaw().getCString(), row);
        break;
    default:
        output.setTextOf(field, row);
    }
}

// Types a parameter like the script variable bound to it and copies its elements.
void copyIn(Oracle::ODbParam& param, CommonVar& variable)
{
    param.initParam(variable.getSupportType(), static_cast<int>(variable.getBufferLength()),
                    variable.count());
    const unsigned int count = std::min(param.getArraySize(), variable.count());
    for (unsigned int j = 0; j < count; ++j)
        param.setCString(variable.getCString(j), j);
}

void copyOut(Oracle::ODbParam& param, CommonVar& variable)
{
    const unsigned int count = std::min(param.getArraySize(), variable.count());
    for (unsigned int j = 0; j < count; ++j)
        variable.setCString(param.getCString(j), j);
}

// Element j of a procedure argument as text; LONG and LONG RAW values are read
// through their piece views, a LONG RAW as hexadecimal text.
const char* argumentText(Oracle::ODbArrayData& argument, unsigned int j)
{
    switch (argument.getDynamicVariable()->getFtype()) {
    case Oracle::extLong:
        return argument.getLong().getCString(static_cast<int>(j));
    case Oracle::extLongRaw:
        return argument.getLongRaw().getCString(static_cast<int>(j));
    default:
        return argument.getCString(j);
    }
}

// A LONG argument takes its text through its piece view; every other argument
// converts the text itself (a LONG RAW argument cannot take text).
void setArgumentText(Oracle::ODbArrayData& argument, const char* text, unsigned int j)
{
    if (argument.getDynamicVariable()->getFtype() != Oracle::extLong) {
        argument.setCString(text, j);
        return;
    }
    Oracle::ODbLongArr& view = argument.getLong();
    view.setCString(text, static_cast<int>(j));
    argument.setLong(view);
}

// A procedure argument takes the variable's element count (a PL/SQL table is
// passed with that many elements) and, unless the procedure only writes it
// (`read` false: an OUT argument), its elements.
void copyArgumentIn(Oracle::ODbArrayData& argument, CommonVar& variable, bool read)
{
    argument.resizeArray(variable.count());
    for (unsigned int j = 0; read && j < variable.count(); ++j)
        setArgumentText(argument, variable.getCString(j), j);
}

// Copies as many elements as both hold; false when the argument holds more.
bool copyArgumentOut(Oracle::ODbArrayData& argument, CommonVar& variable)
{
    const unsigned int count = std::min(argument.getArraySize(), variable.count());
    for (unsigned int j = 0; j < count; ++j)
        variable.setCString(argumentText(argument, j), j);
    return argument.getArraySize() <= variable.count();
}

} // namespace

void ExecItem::runSql()
{
    try {
        setMessage(std::string());
        Oracle::ODbQuery query(owner_.connection(connectionNumber));
        query.open(statementText.c_str(), false);
        bindParameters(query);
        if (query.isSelStmt())
            fetchRows(query);
        else
            query.exec(repeatCount);
        copyBack(query);
    } catch (const Abandoned&) {
    } catch (const Oracle::ODbException& failure) {
        setMessage(failureText(failure, kUnknownSqlError));
    } catch (...) {
        setMessage(kUnknownSqlError);
    }
}

void ExecItem::runSproc()
{
    try {
        setMessage(std::string());
        Oracle::ODbSproc procedure(owner_.connection(connectionNumber));
        procedure.open(procedureName.c_str(), procedurePrefix.c_str());
        bindArguments(procedure);
        procedure.exec(repeatCount);
        copyArgumentsBack(procedure);
    } catch (const Abandoned&) {
    } catch (const Oracle::ODbException& failure) {
        setMessage(failureText(failure, kUnknownSprocError));
    } catch (...) {
        setMessage(kUnknownSprocError);
    }
}

void ExecItem::setMessage(const std::string& text)
{
    OraProc::Lock lock(owner_);
    message_ = text;
}

void ExecItem::leaveIfAbandoned() const
{
    if (abandoned_)
        throw Abandoned();
}

void ExecItem::bindParameters(Oracle::ODbQuery& query)
{
    const int count = query.getParamCount();
    requireVariables(count, boundVariables.size(), "parameter", "bind variable");
    OraProc::Lock lock(owner_);
    leaveIfAbandoned();
    for (int i = 1; i <= count; ++i)
        copyIn(query.getParam(i), *boundVariables[static_cast<std::size_t>(i - 1)]);
}

// Row r goes to element r - 1 of every output variable; rows stored before a
// failure stay stored.
void ExecItem::fetchRows(Oracle::ODbQuery& query)
{
    const int columns = query.getColumnCount();
    requireVariables(columns, outputVariables.size(), "column", "output variable");
    for (unsigned int row = 0; query.next(); ++row)
        storeRow(query, columns, row);
}

void ExecItem::storeRow(Oracle::ODbQuery& query, int columns, unsigned int row)
{
    OraProc::Lock lock(owner_);
    leaveIfAbandoned();
    for (int c = 1; c <= columns; ++c) {
        CommonVar& output = *outputVariables[static_cast<std::size_t>(c - 1)];
        if (row >= output.count())
            throw Oracle::ODbException(kRowsExceedArray, -1, nullptr);
        storeColumn(query.fieldByPos(c), output, row);
    }
}

void ExecItem::bindArguments(Oracle::ODbSproc& procedure)
{
    const int count = procedure.getParamCount();
    requireVariables(count, boundVariables.size(), "argument", "bind variable", "procedure");
    OraProc::Lock lock(owner_);
    leaveIfAbandoned();
    const Oracle::ODbSprocDescrObj& description = procedure.getDescrObj();
    for (int i = 1; i <= count; ++i)
        copyArgumentIn(procedure.getParam(i), *boundVariables[static_cast<std::size_t>(i - 1)],
                       description.getColumnDescr(i).mode != kOutArgument);
}

// Every argument goes back, input ones too. A table that returned more elements
// than its variable holds fills the variable and fails the item once every
// other argument has been copied.
void ExecItem::copyArgumentsBack(Oracle::ODbSproc& procedure)
{
    OraProc::Lock lock(owner_);
    leaveIfAbandoned();
    bool allFitted = true;
    const int count = procedure.getParamCount();
    for (int i = 1; i <= count; ++i)
        allFitted &= copyArgumentOut(procedure.getParam(i), *boundVariables[static_cast<std::size_t>(i - 1)]);
    if (!allFitted)
        throw Oracle::ODbException(kElementsExceedArray, -1, nullptr);
}

// Every parameter goes back, so values returned through bind variables reach the
// script.
void ExecItem::copyBack(Oracle::ODbQuery& query)
{
    OraProc::Lock lock(owner_);
    leaveIfAbandoned();
    const int count = query.getParamCount();
    for (int i = 1; i <= count; ++i)
        copyOut(query.getParam(i), *boundVariables[static_cast<std::size_t>(i - 1)]);
}

} // namespace Transl

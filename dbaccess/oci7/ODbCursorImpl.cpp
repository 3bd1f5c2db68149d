// A statement cursor over the release-7 call interface.
#include "ODbCursorImpl.h"

#include <algorithm>

#include <ocidem.h>

#include "ODbConnectImpl.h"
#include "ODbDescribeSql.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbFailureGuard.h"
#include "ODbPiecewise.h"
#include "ODbStatementMessages.h"
#include "OciLimits.h"
#include "OciStatement.h"
#include "OciText.h"

namespace Oracle {

namespace {

static_assert(PieceExchange::OnePiece == OCI_ONE_PIECE && PieceExchange::FirstPiece == OCI_FIRST_PIECE &&
                  PieceExchange::NextPiece == OCI_NEXT_PIECE && PieceExchange::LastPiece == OCI_LAST_PIECE,
              "piece codes pass between the library and the call interface unchanged");

// Bytes of element buffers held for an OUT PL/SQL table that the caller did
// not size: the table may receive as many elements as fit, up to the
// element maximum, without the call interface writing beyond the buffer.
constexpr std::size_t OutTableBufferBytes = 16 * 1024 * 1024;

// A placeholder name as the call interface takes it: with its colon.
std::string placeholder(const char* name)
{
    return *name == ':' ? std::string(name) : ":" + std::string(name);
}

// Elements an OUT (or IN OUT) table can receive: its own size at least.
ODbIndex outTableCapacity(const ODbDynamicVariable& var)
{
    const ODbIndex fitting = static_cast<ODbIndex>(OutTableBufferBytes / std::max<std::size_t>(var.getElemSize(), 1));
    const ODbIndex wanted = std::max(var.getArraySize(), fitting);
    return std::min<ODbIndex>(wanted, OciLimits::MaxPlSqlTableElements);
}

} // namespace

ODbCursorImpl::ODbCursorImpl(ODbConnect& connection)
    : connection_(&ODbConnectImpl::of(connection)), rowsProcessed_(0), lastResult_(0)
{
    pieceVariables_.create();
}

ODbCursorImpl::~ODbCursorImpl() = default;

void ODbCursorImpl::open(const char* stmText)
{
    checkOpenable(stmText);
    statement_.reset(new OciStatement(*connection_, stmText));
    rowsProcessed_ = 0;
    lastResult_ = 0;
    setOpen(stmText);
}

void ODbCursorImpl::close()
{
    if (!isOpen())
        throw ODbException(Messages::CursorClosed, 0, nullptr);
    // The cursor is closed even when closing the area reports a failure.
    const std::unique_ptr<OciStatement> statement = std::move(statement_);
    forgetState();
    statement->free();
}

void ODbCursorImpl::forgetState()
{
    pieceVariables_.create();
    tables_.clear();
    ODbCursor::close();
}

void ODbCursorImpl::exec(ODbIndex iters)
{
    prepareTables();
    const ODbFailureGuard restoreTables([this] { settleTables(false); });
    setResult(execute(iters));
    settleTables(true);
}

// A block's escaping NO_DATA_FOUND is its failure; any other statement that
// reports the end of rows has simply run out of them.
ub2 ODbCursorImpl::execute(ODbIndex iters)
{
    const bool endAccepted = !isBlock();
    cda_def* cursor = area();
    const auto call = [cursor, iters] { return oexn(cursor, static_cast<sword>(iters), 0); };
    if (isPiecewise())
        return runPiecewise(call, endAccepted);
    return endAccepted ? check()(call(), {NO_DATA_FOUND}) : check()(call());
}

bool ODbCursorImpl::isBlock() const
{
    const SQLKind kind = ODbDescribeSql::kindFromText(statement().text());
    return kind == SqlBegin || kind == SqlDeclare;
}

void ODbCursorImpl::bind(const char* name, ODbDynamicVariable& var, ODbIndex iters)
{
    if (name == nullptr || *name == '\0')
        throw ODbException(Messages::PlaceholderNameEmpty, 0, nullptr);
    checkBindable(var, iters);
    bindVariable(placeholder(name), var);
}

// A plain variable is bound by its position; a LONG, an array or a PL/SQL
// table needs the extended bind, which takes the placeholder's name.
void ODbCursorImpl::bind(int pos, ODbDynamicVariable& var, ODbIndex iters)
{
    checkBindable(var, iters);
    if (isPiecewiseType(var.getFtype()) || var.isPlSqlTab() || var.getArraySize() >= 2)
        return bindVariable(placeholderAt(pos), var);
    var.setCurElements(static_cast<unsigned int>(var.getArraySize()));
    check()(obndrn(area(), pos, var.getData(), var.getElemSize(), var.getFtype(), NoScale, var.getIndicators(),
                   nullptr, TerminatedText, TerminatedText));
}

void ODbCursorImpl::bindVariable(const std::string& name, ODbDynamicVariable& var)
{
    if (isPiecewiseType(var.getFtype()))
        return bindLong(name, var);
    var.setCurElements(static_cast<unsigned int>(var.getArraySize()));
    if (var.isPlSqlTab()) {
        tables_.push_back({name, &var, var.getArraySize()});
        return bindTable(tables_.back(), static_cast<ub4>(var.getArraySize()));
    }
    if (var.getArraySize() >= 2)
        return bindArray(name, var, 0, nullptr);
    check()(obndrv(area(), callText(name), TerminatedText, var.getData(), var.getElemSize(), var.getFtype(),
                   NoScale, var.getIndicators(), nullptr, TerminatedText, TerminatedText));
}

// The variable itself is the context the call interface hands back when it
// asks for a piece.
void ODbCursorImpl::bindLong(const std::string& name, ODbDynamicVariable& var)
{
    check()(obindps(area(), OCI7_PIECEWISE, callText(name), TerminatedText, reinterpret_cast<ub1*>(&var),
                    OciLimits::MaxLongBytes, var.getFtype(), NoScale, var.getIndicators(), nullptr, nullptr, 0,
                    0, 0, 0, 0, nullptr, nullptr, TerminatedText, TerminatedText));
    addPieceVariable(var);
    setPiecewise();
}

void ODbCursorImpl::bindArray(const std::string& name, ODbDynamicVariable& var, ub4 maxElements,
                              ub4* curElements)
{
    check()(obindps(area(), OCI7_ARRAY, callText(name), TerminatedText, var.getData(), var.getElemSize(),
                    var.getFtype(), NoScale, var.getIndicators(), var.getLengths(), var.getReturnCodes(),
                    var.getElemSize(), sizeof(sb2), sizeof(ub2), sizeof(ub2), maxElements, curElements, nullptr,
                    TerminatedText, TerminatedText));
}

// The current-elements count is the number of elements going in; the call
// interface replaces it by the number coming back.
void ODbCursorImpl::bindTable(const TableBind& table, ub4 maxElements)
{
    bindArray(table.name, *table.var, maxElements, table.var->getCurElementsPtr());
}

// An IN table offers its elements; a table that may receive elements gets
// room for as many as its capacity, and the call interface is told no more
// than the buffer holds. Bound anew, as the buffer may have moved.
void ODbCursorImpl::prepareTables()
{
    for (TableBind& table : tables_) {
        ODbDynamicVariable& var = *table.var;
        table.sizeBefore = var.getArraySize();
        var.setCurElements(static_cast<unsigned int>(table.sizeBefore));
        if (!var.isFrozen())
            var.resizeArray(outTableCapacity(var));
        bindTable(table, static_cast<ub4>(var.getArraySize()));
    }
}

// After an execute, a table that received elements takes their number as its
// size; one that received none, or whose execute failed, its size before.
void ODbCursorImpl::settleTables(bool executed)
{
    for (const TableBind& table : tables_) {
        ODbDynamicVariable& var = *table.var;
        if (var.isFrozen())
            continue;
        const ODbIndex received = executed ? var.getCurElements() : 0;
        var.resizeArray(received != 0 && received <= var.getArraySize() ? received : table.sizeBefore);
    }
}

std::string ODbCursorImpl::placeholderAt(int pos) const
{
    const std::vector<std::string> names = ODbDescribeSql::scanPlaceholders(statement().text());
    if (pos < 1 || static_cast<std::size_t>(pos) > names.size())
        throw ODbException(Messages::NoSuchParameter, 0, statement().text());
    return ":" + names[static_cast<std::size_t>(pos - 1)];
}

ODbIndex ODbCursorImpl::getRowProc() const
{
    return rowsProcessed_;
}

ODbConnect& ODbCursorImpl::getConnection() const
{
    return *connection_;
}

OciStatement& ODbCursorImpl::statement() const
{
    if (statement_ == nullptr)
        throw ODbException(Messages::CursorClosed, 0, nullptr);
    return *statement_;
}

cda_def* ODbCursorImpl::area() const
{
    return statement().get();
}

OciCheck ODbCursorImpl::check() const
{
    return statement().check();
}

void ODbCursorImpl::setResult(ub2 result)
{
    rowsProcessed_ = area()->rpc;
    lastResult_ = result;
}

ub2 ODbCursorImpl::runPiecewise(const std::function<sword()>& call, bool endAccepted)
{
    for (;;) {
        const ub2 result = endAccepted
                               ? check()(call(), {NO_DATA_FOUND, NEED_NEXT_IN_PIECE, NEED_NEXT_OUT_PIECE})
                               : check()(call(), {NEED_NEXT_IN_PIECE, NEED_NEXT_OUT_PIECE});
        if (result != NEED_NEXT_IN_PIECE && result != NEED_NEXT_OUT_PIECE)
            return result;
        exchangePiece(result == NEED_NEXT_IN_PIECE);
    }
}

void ODbCursorImpl::exchangePiece(bool in)
{
    ub1 piece = 0;
    void* context = nullptr;
    ub4 iteration = 0;
    ub4 index = 0;
    check()(ogetpi(area(), &piece, &context, &iteration, &index));
    ODbDynamicVariable& var = pieceVariable(context);
    const auto requested = static_cast<PieceExchange::Piece>(piece);
    const PieceExchange::Transfer transfer =
        in ? pieces_.supply(var, iteration, requested) : PieceExchange::receive(var, iteration, requested);
    check()(osetpi(area(), transfer.piece, transfer.buffer, transfer.length));
}

// The context must be one of this cursor's LONG variables: anything else is
// a protocol fault, not an address to write to.
ODbDynamicVariable& ODbCursorImpl::pieceVariable(const void* context) const
{
    for (int i = 1; i <= pieceVariables_.getCount(); ++i)
        if (pieceVariables_.getItem(i) == context)
            return *pieceVariables_.getItem(i);
    throw ODbException();
}

} // namespace Oracle

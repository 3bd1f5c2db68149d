// Fetching rows in batches, and LONG values in pieces.
#include "oci/QueryCursor.h"

#include "base/CallError.h"
#include "base/ValueCodec.h"
#include "oci/DefineHandle.h"
#include "session/Connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace engine {

QueryCursor::~QueryCursor() { close(); }

void QueryCursor::open(Connection& connection, sqlite3_stmt* stmt) {
    close();
    connection_ = &connection;
    stmt_ = stmt;
    rowCount_ = 0;
    done_ = false;
    connection.addCursor(*this);
}

void QueryCursor::setDefines(const std::vector<const DefineHandle*>& defines) {
    static_.assign(defines.size(), nullptr);
    dynamic_.assign(defines.size(), nullptr);
    dynamicColumns_.clear();
    for (std::size_t column = 0; column < defines.size(); ++column) {
        const DefineHandle* define = defines[column];
        if (define != nullptr && define->dynamic()) {
            dynamic_[column] = define;
            dynamicColumns_.push_back(static_cast<int>(column));
        } else {
            static_[column] = define;
        }
    }
}

void QueryCursor::close() {
    if (stmt_ == nullptr) return;
    if (!keeping_) sqlite3_reset(stmt_);
    connection_->removeCursor(*this);
    stmt_ = nullptr;
    rowPending_ = false;
    keeping_ = false;
    kept_.clear();
    current_.clear();
    request_ = PieceRequest{};
}

sword QueryCursor::fetch(ub4 rows) {
    if (stmt_ == nullptr) throw CallError(CallCode::FetchOutOfSequence);
    if (!awaitingPiece()) {
        wanted_ = rows;
        batch_ = 0;
        truncated_ = false;
    }
    while (batch_ < wanted_) {
        if (!rowPending_ && !readRow()) break;
        if (!fillDynamicColumns()) return OCI_NEED_DATA;
        rowPending_ = false;
        ++batch_;
        ++rowCount_;
    }
    return batch_ < wanted_ ? OCI_NO_DATA : OCI_SUCCESS;
}

// Moves the statement to its next row; false at the end.
bool QueryCursor::stepStatement() {
    if (done_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    done_ = true;
    // Ends the statement's read transaction at once.
    const int error = sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE) connection_->fail(error != SQLITE_OK ? error : rc);
    return false;
}

ColumnValue QueryCursor::valueOf(int column) const {
    return keeping_ ? ColumnValue(current_[static_cast<std::size_t>(column)].get()) : ColumnValue(stmt_, column);
}

bool QueryCursor::readRow() {
    if (keeping_) {
        if (kept_.empty()) return false;
        current_ = std::move(kept_.front());
        kept_.pop_front();
    } else if (!stepStatement()) {
        return false;
    }
    for (std::size_t column = 0; column < static_.size(); ++column) {
        if (static_[column] != nullptr && static_[column]->fetchInto(valueOf(static_cast<int>(column)), batch_)) {
            truncated_ = true;
        }
    }
    rowPending_ = true;
    dynamicIndex_ = 0;
    offset_ = 0;
    return true;
}

bool QueryCursor::fillDynamicColumns() {
    for (; dynamicIndex_ < dynamicColumns_.size(); ++dynamicIndex_, offset_ = 0) {
        const int column = dynamicColumns_[dynamicIndex_];
        const DefineHandle& define = *dynamic_[column];
        if (!request_.answered) {
            ask(define, offset_ == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE);
            return false;
        }
        const std::string_view value = ValueCodec::columnBytes(valueOf(column), scratch_);
        if (!deliverPiece(value)) {
            ask(define, OCI_NEXT_PIECE);
            return false;
        }
    }
    return true;
}

// Writes the next piece of `value` into the answered buffer; true when the
// value is through.
bool QueryCursor::deliverPiece(const std::string_view& value) {
    const PieceRequest answer = request_;
    request_ = PieceRequest{};
    const std::size_t room = answer.length != nullptr ? *answer.length : 0;
    const std::size_t n = answer.buffer != nullptr ? std::min(room, value.size() - offset_) : 0;
    if (n > 0) std::memcpy(answer.buffer, value.data() + offset_, n);
    offset_ += n;
    if (answer.length != nullptr) *answer.length = static_cast<ub4>(n);
    if (answer.indicator != nullptr) *answer.indicator = value.empty() ? -1 : 0;
    if (answer.returnCode != nullptr) *answer.returnCode = 0;
    if (offset_ < value.size() && n == 0) throw CallError(CallCode::NextPieceToFetch);
    return offset_ >= value.size();
}

void QueryCursor::keepRemainingRows() {
    if (keeping_ || rowPending_ || stmt_ == nullptr) return;
    const int columns = sqlite3_column_count(stmt_);
    while (stepStatement()) {
        Row row;
        for (int column = 0; column < columns; ++column) {
            row.emplace_back(sqlite3_value_dup(sqlite3_column_value(stmt_, column)));
            if (!row.back()) throw std::bad_alloc();
        }
        kept_.push_back(std::move(row));
    }
    keeping_ = true;
}

void QueryCursor::ask(const DefineHandle& define, ub1 piece) {
    request_ = PieceRequest{};
    request_.handle = const_cast<DefineHandle*>(&define);
    request_.handleType = OCI_HTYPE_DEFINE;
    request_.direction = OCI_PARAM_OUT;
    request_.iteration = batch_;
    request_.piece = piece;
}

void QueryCursor::answer(const Handle& define, void* buffer, ub4* length, const void* indicator,
                         ub2* returnCode) {
    if (!awaitingPiece() || request_.handle != &define) throw CallError(CallCode::FetchOutOfSequence);
    request_.buffer = buffer;
    request_.length = length;
    request_.indicator = static_cast<sb2*>(const_cast<void*>(indicator));
    request_.returnCode = returnCode;
    request_.answered = true;
}

}  // namespace engine

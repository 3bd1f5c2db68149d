// Errors the call interface itself raises (as opposed to the SQL layer's
// OraError): misuse of handles and buffers, conversion faults while moving
// values, and the protocol errors of fetches and pieces. Each carries the
// server's number and text, so a client sees "ORA-NNNNN: text" either way.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace engine {

enum class CallCode {
    InvalidCursor,          // ORA-01001
    FetchOutOfSequence,     // ORA-01002
    NotInSelectList,        // ORA-01007
    NotAllVariablesBound,   // ORA-01008
    MissingParameter,       // ORA-01009
    NotLoggedOn,            // ORA-01012
    NullPassword,           // ORA-01005
    FetchedNull,            // ORA-01405
    FetchedTruncated,       // ORA-01406
    IntegerOverflow,        // ORA-01455
    ReadOnlyTransaction,    // ORA-01456
    InvalidLength,          // ORA-01458
    TransactionNotFirst,    // ORA-01453
    InconsistentTypes,      // ORA-00932
    UnsupportedType,        // ORA-03115
    NextPieceToInsert,      // ORA-03129
    NextPieceToFetch,       // ORA-03130
    CannotSerialize,        // ORA-08177
    InvalidArgument,        // ORA-21560 (argument name)
    IllegalAttribute,       // ORA-24315
    NoDescriptor,           // ORA-24334
    ZeroIterations,         // ORA-24333
    NotExecuted,            // ORA-24338
    NotPrepared,            // ORA-24337
    NoServerAttach,         // ORA-24327
    UnresolvedAlias,        // ORA-12154
    Count
};

class CallError : public std::runtime_error {
public:
    // `detail` fills the one "%s" of texts that have one.
    explicit CallError(CallCode code, const std::string& detail = {});

    int number() const noexcept { return number_; }
    CallCode code() const noexcept { return code_; }

    // "ORA-NNNNN: text" of error `number` when it is one of these, its
    // detail left empty; nothing otherwise.
    static std::optional<std::string> textOf(int number);

private:
    CallCode code_;  // which error
    int number_;     // the server's error number
};

// A handle argument that is null, freed or of the wrong type. Reported as
// OCI_INVALID_HANDLE with an ORA-21560 record naming the argument.
class InvalidHandle : public CallError {
public:
    explicit InvalidHandle(const std::string& argument)
        : CallError(CallCode::InvalidArgument, argument) {}
};

}  // namespace engine

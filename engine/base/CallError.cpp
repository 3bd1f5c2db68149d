// The texts of the call interface's own errors, one table checked against CallCode.
#include "base/CallError.h"

#include <array>
#include <cstdio>

namespace engine {
namespace {

struct CallErrorText {
    CallCode code;
    int number;
    const char* text;  // at most one "%s", filled by the detail
};

constexpr std::array<CallErrorText, static_cast<std::size_t>(CallCode::Count)> kTexts{{
    {CallCode::InvalidCursor, 1001, "invalid cursor"},
    {CallCode::FetchOutOfSequence, 1002, "fetch out of sequence"},
    {CallCode::NotInSelectList, 1007, "variable not in select list"},
    {CallCode::NotAllVariablesBound, 1008, "not all variables bound"},
    {CallCode::MissingParameter, 1009, "missing mandatory parameter"},
    {CallCode::NotLoggedOn, 1012, "not logged on"},
    {CallCode::NullPassword, 1005, "null password given; logon denied"},
    {CallCode::FetchedNull, 1405, "fetched column value is NULL"},
    {CallCode::FetchedTruncated, 1406, "fetched column value was truncated"},
    {CallCode::IntegerOverflow, 1455, "converting column overflows integer datatype"},
    {CallCode::ReadOnlyTransaction, 1456,
     "may not perform insert/delete/update operation inside a READ ONLY transaction"},
    {CallCode::InvalidLength, 1458, "invalid length inside variable character string"},
    {CallCode::TransactionNotFirst, 1453, "SET TRANSACTION must be first statement of transaction"},
    {CallCode::InconsistentTypes, 932, "inconsistent datatypes%s"},
    {CallCode::UnsupportedType, 3115, "unsupported network datatype or representation"},
    {CallCode::NextPieceToInsert, 3129, "the next piece to be inserted is required"},
    {CallCode::NextPieceToFetch, 3130, "the buffer for the next piece to be fetched is required"},
    {CallCode::CannotSerialize, 8177, "can't serialize access for this transaction"},
    {CallCode::InvalidArgument, 21560, "argument %s is null, invalid, or out of range"},
    {CallCode::IllegalAttribute, 24315, "illegal attribute type"},
    {CallCode::NoDescriptor, 24334, "no descriptor for this position"},
    {CallCode::ZeroIterations, 24333, "zero iteration count"},
    {CallCode::NotExecuted, 24338, "statement handle not executed"},
    {CallCode::NotPrepared, 24337, "statement handle not prepared"},
    {CallCode::NoServerAttach, 24327, "need explicit attach before authenticating a user"},
    {CallCode::UnresolvedAlias, 12154, "TNS:could not resolve the connect identifier specified"},
}};

constexpr bool textsFollowEnum() {
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (static_cast<std::size_t>(kTexts[i].code) != i) return false;
    }
    return true;
}
static_assert(textsFollowEnum(), "kTexts must list every CallCode in enum order");

std::string format(const CallErrorText& entry, const std::string& detail) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", entry.number);
    std::string text = entry.text;
    const std::size_t mark = text.find("%s");
    if (mark != std::string::npos) text.replace(mark, 2, detail);
    return prefix + text;
}

}  // namespace

CallError::CallError(CallCode code, const std::string& detail)
    : std::runtime_error(format(kTexts[static_cast<std::size_t>(code)], detail)),
      code_(code),
      number_(kTexts[static_cast<std::size_t>(code)].number) {}

std::optional<std::string> CallError::textOf(int number) {
    for (const CallErrorText& entry : kTexts) {
        if (entry.number == number) return format(entry, {});
    }
    return std::nullopt;
}

}  // namespace engine

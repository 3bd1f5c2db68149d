// A cursor data area of one connection with a parsed statement.
#include "OciStatement.h"

#include <ocidem.h>

#include "ODbConnectImpl.h"
#include "ODbException.h"
#include "ODbFailureGuard.h"
#include "ODbStatementMessages.h"
#include "OciText.h"

namespace Oracle {

namespace {

// The server's default number of rows to read ahead.
constexpr sword DefaultAreaSize = -1;

} // namespace

OciStatement::OciStatement(ODbConnectImpl& connection, const char* text, const char* reportedText)
    : connection_(connection),
      text_(text),
      reportedText_(reportedText != nullptr ? reportedText : text),
      sessionId_(connection.sessionId()),
      area_(),
      open_(false)
{
    check()(oopen(&area_, &connection.loginArea(), nullptr, TerminatedText, DefaultAreaSize, nullptr,
                  TerminatedText));
    open_ = true;
    const ODbFailureGuard closeCursor([this] { OciCheck::teardown(oclose(&area_)); });
    check()(oparse(&area_, callText(text_), TerminatedText, DEFER_PARSE,
                   NATIVE));
}

// A cursor whose session has ended is still closed, so that the call
// interface forgets the area; it may answer that the session is gone.
OciStatement::~OciStatement()
{
    if (open_)
        OciCheck::teardown(oclose(&area_));
}

cda_def* OciStatement::get()
{
    if (stale())
        throw ODbException(Messages::NotConnected, 0, nullptr);
    return &area_;
}

void OciStatement::free()
{
    if (!open_)
        return;
    open_ = false;
    if (stale())
        OciCheck::teardown(oclose(&area_));
    else
        check()(oclose(&area_));
}

bool OciStatement::stale() const
{
    return sessionId_ != connection_.sessionId();
}

} // namespace Oracle

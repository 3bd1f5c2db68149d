// Logon, logoff and the transaction calls of a login area.
#include "oci7/LoginArea.h"

#include "oci7/AreaRegistry.h"
#include "oci7/ReleaseEightCalls.h"

#include <vector>

namespace engine {

LoginArea::LoginArea(cda_def& fields) : DataArea(fields) {
    OCIEnv* environment = nullptr;
    if (OCIEnvInit(&environment, OCI_DEFAULT, 0, nullptr) != OCI_SUCCESS) throw OraError(OraCode::OutOfMemory);
    environment_.reset(environment);
    errors_ = static_cast<OCIError*>(allocateHandle(environment, OCI_HTYPE_ERROR));
    server_ = static_cast<OCIServer*>(allocateHandle(environment, OCI_HTYPE_SERVER));
    context_ = static_cast<OCISvcCtx*>(allocateHandle(environment, OCI_HTYPE_SVCCTX));
    session_ = static_cast<OCISession*>(allocateHandle(environment, OCI_HTYPE_SESSION));
}

// A session nobody logged off (its login area was logged on again, or the
// registry let it go) ends as a logoff would end it.
LoginArea::~LoginArea() {
    if (!loggedOn_) return;
    OCISessionEnd(context_, errors_, session_, OCI_DEFAULT);
    OCIServerDetach(server_, errors_, OCI_DEFAULT);
}

void LoginArea::logon(const Credentials& credentials) {
    require(OCIServerAttach(server_, errors_, clientText(credentials.database),
                            static_cast<sb4>(credentials.database.size()), OCI_DEFAULT),
            errors_);
    require(OCIAttrSet(context_, OCI_HTYPE_SVCCTX, server_, 0, OCI_ATTR_SERVER, errors_), errors_);
    require(OCIAttrSet(session_, OCI_HTYPE_SESSION, clientText(credentials.user),
                       static_cast<ub4>(credentials.user.size()), OCI_ATTR_USERNAME, errors_),
            errors_);
    require(OCIAttrSet(session_, OCI_HTYPE_SESSION, clientText(credentials.password),
                       static_cast<ub4>(credentials.password.size()), OCI_ATTR_PASSWORD, errors_),
            errors_);
    const sword status = OCISessionBegin(context_, errors_, session_, OCI_CRED_RDBMS, OCI_DEFAULT);
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
        const OraError failure = failureOf(status, errors_);
        OCIServerDetach(server_, errors_, OCI_DEFAULT);
        throw failure;
    }
    require(OCIAttrSet(context_, OCI_HTYPE_SVCCTX, session_, 0, OCI_ATTR_SESSION, errors_), errors_);
    loggedOn_ = true;
}

void LoginArea::logoff() {
    closeCursors();
    loggedOn_ = false;
    const sword status = OCISessionEnd(context_, errors_, session_, OCI_DEFAULT);
    OCIServerDetach(server_, errors_, OCI_DEFAULT);
    require(status, errors_);
}

void LoginArea::commit() { require(OCITransCommit(context_, errors_, OCI_DEFAULT), errors_); }

void LoginArea::rollback() { require(OCITransRollback(context_, errors_, OCI_DEFAULT), errors_); }

void LoginArea::addCursor(const DataArea& cursor) {
    std::lock_guard<std::mutex> lock(cursorsMutex_);
    cursors_.insert(&cursor);
}

void LoginArea::removeCursor(const DataArea& cursor) {
    std::lock_guard<std::mutex> lock(cursorsMutex_);
    cursors_.erase(&cursor);
}

void LoginArea::closeCursors() {
    std::set<const DataArea*> open;
    {
        std::lock_guard<std::mutex> lock(cursorsMutex_);
        open.swap(cursors_);
    }
    for (const DataArea* cursor : open) AreaRegistry::instance().remove(*cursor);
}

}  // namespace engine

// Logon, statements and error texts for engine tests.
#include "OciTestSession.h"

#include <gtest/gtest.h>

#include <cstring>

namespace engine_test {
namespace {

template <typename T>
T* allocate(OCIEnv* env, ub4 type) {
    void* handle = nullptr;
    if (OCIHandleAlloc(env, &handle, type, 0, nullptr) != OCI_SUCCESS) ADD_FAILURE() << "handle type " << type;
    return static_cast<T*>(handle);
}

const OraText* text(const std::string& s) { return reinterpret_cast<const OraText*>(s.c_str()); }

}  // namespace

std::string errorText(OCIError* error) {
    OraText buffer[2048];
    sb4 code = 0;
    if (OCIErrorGet(error, 1, nullptr, &code, buffer, sizeof buffer, OCI_HTYPE_ERROR) != OCI_SUCCESS) return {};
    std::string message(reinterpret_cast<char*>(buffer));
    if (!message.empty() && message.back() == '\n') message.pop_back();
    return message;
}

OciTestSession::OciTestSession() {
    OCIInitialize(OCI_THREADED, nullptr, nullptr, nullptr, nullptr);
    if (OCIEnvInit(&env_, OCI_DEFAULT, 0, nullptr) != OCI_SUCCESS) ADD_FAILURE() << "OCIEnvInit";
    svc_ = allocate<OCISvcCtx>(env_, OCI_HTYPE_SVCCTX);
    err_ = allocate<OCIError>(env_, OCI_HTYPE_ERROR);
    server_ = allocate<OCIServer>(env_, OCI_HTYPE_SERVER);
    session_ = allocate<OCISession>(env_, OCI_HTYPE_SESSION);
    trans_ = allocate<OCITrans>(env_, OCI_HTYPE_TRANS);
}

OciTestSession::~OciTestSession() {
    if (loggedOn_) logoff();
    for (OCIStmt* stmt : statements_) OCIHandleFree(stmt, OCI_HTYPE_STMT);
    OCIHandleFree(env_, OCI_HTYPE_ENV);
}

sword OciTestSession::logon(const std::string& user, const std::string& password, const std::string& alias) {
    sword status = OCIServerAttach(server_, err_, text(alias), static_cast<sb4>(alias.size()), OCI_DEFAULT);
    if (status != OCI_SUCCESS) return status;
    OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, server_, 0, OCI_ATTR_SERVER, err_);
    OCIAttrSet(session_, OCI_HTYPE_SESSION, const_cast<char*>(user.c_str()), static_cast<ub4>(user.size()),
               OCI_ATTR_USERNAME, err_);
    OCIAttrSet(session_, OCI_HTYPE_SESSION, const_cast<char*>(password.c_str()), static_cast<ub4>(password.size()),
               OCI_ATTR_PASSWORD, err_);
    status = OCISessionBegin(svc_, err_, session_, OCI_CRED_RDBMS, OCI_DEFAULT);
    if (status != OCI_SUCCESS) return status;
    OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, session_, 0, OCI_ATTR_SESSION, err_);
    OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, trans_, 0, OCI_ATTR_TRANS, err_);
    loggedOn_ = true;
    return OCI_SUCCESS;
}

void OciTestSession::logoff() {
    EXPECT_EQ(OCISessionEnd(svc_, err_, session_, OCI_DEFAULT), OCI_SUCCESS) << lastError();
    OCIServerDetach(server_, err_, OCI_DEFAULT);
    loggedOn_ = false;
}

void OciTestSession::abandon() {
    for (OCIStmt* stmt : statements_) OCIHandleFree(stmt, OCI_HTYPE_STMT);
    statements_.clear();
    OCIHandleFree(session_, OCI_HTYPE_SESSION);
    session_ = allocate<OCISession>(env_, OCI_HTYPE_SESSION);
    loggedOn_ = false;
}

OCIStmt* OciTestSession::prepare(const std::string& sql) {
    OCIStmt* stmt = allocate<OCIStmt>(env_, OCI_HTYPE_STMT);
    statements_.push_back(stmt);
    EXPECT_EQ(OCIStmtPrepare(stmt, err_, text(sql), static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS)
        << sql << ": " << lastError();
    return stmt;
}

sword OciTestSession::execute(const std::string& sql, OCIStmt** stmtOut) {
    OCIStmt* stmt = prepare(sql);
    if (stmtOut != nullptr) *stmtOut = stmt;
    ub2 type = 0;
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, err_);
    const ub4 iterations = type == OCI_STMT_SELECT ? 0 : 1;
    return OCIStmtExecute(svc_, stmt, err_, iterations, 0, nullptr, nullptr, OCI_DEFAULT);
}

void OciTestSession::run(const std::string& sql) {
    ASSERT_EQ(execute(sql), OCI_SUCCESS) << sql << ": " << lastError();
}

std::vector<std::string> OciTestSession::column(const std::string& sql) {
    OCIStmt* stmt = nullptr;
    std::vector<std::string> values;
    if (execute(sql, &stmt) != OCI_SUCCESS) {
        ADD_FAILURE() << sql << ": " << lastError();
        return values;
    }
    char buffer[4001];
    sb2 indicator = 0;
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, err_, 1, buffer, sizeof buffer, SQLT_STR, &indicator, nullptr, nullptr,
                   OCI_DEFAULT);
    sword status;
    while ((status = OCIStmtFetch(stmt, err_, 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS) {
        values.push_back(indicator == -1 ? "<null>" : buffer);
    }
    EXPECT_EQ(status, OCI_NO_DATA) << sql << ": " << lastError();
    return values;
}

std::string OciTestSession::value(const std::string& sql) {
    const std::vector<std::string> values = column(sql);
    EXPECT_EQ(values.size(), 1u) << sql;
    return values.empty() ? std::string() : values.front();
}

}  // namespace engine_test

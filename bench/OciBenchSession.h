// One logged-on session of the engine for the benchmarks, driven through the
// call interface as a client drives it. A failing call ends the benchmark
// with the server's text.
#pragma once

#include "oci.h"

#include <cstdio>
#include <cstdlib>
#include <string>

class OciBenchSession {
public:
    // Logs user "bench" on to the database `alias`.
    explicit OciBenchSession(const std::string& alias) {
        OCIInitialize(OCI_THREADED, nullptr, nullptr, nullptr, nullptr);
        OCIEnvInit(&env_, OCI_DEFAULT, 0, nullptr);
        err_ = allocate<OCIError>(OCI_HTYPE_ERROR);
        server_ = allocate<OCIServer>(OCI_HTYPE_SERVER);
        svc_ = allocate<OCISvcCtx>(OCI_HTYPE_SVCCTX);
        session_ = allocate<OCISession>(OCI_HTYPE_SESSION);
        check(OCIServerAttach(server_, err_, reinterpret_cast<const OraText*>(alias.c_str()),
                              static_cast<sb4>(alias.size()), OCI_DEFAULT),
              "attach");
        OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, server_, 0, OCI_ATTR_SERVER, err_);
        OCIAttrSet(session_, OCI_HTYPE_SESSION, const_cast<char*>("bench"), 5, OCI_ATTR_USERNAME, err_);
        OCIAttrSet(session_, OCI_HTYPE_SESSION, const_cast<char*>("bench"), 5, OCI_ATTR_PASSWORD, err_);
        check(OCISessionBegin(svc_, err_, session_, OCI_CRED_RDBMS, OCI_DEFAULT), "logon");
        OCIAttrSet(svc_, OCI_HTYPE_SVCCTX, session_, 0, OCI_ATTR_SESSION, err_);
    }
    ~OciBenchSession() {
        OCISessionEnd(svc_, err_, session_, OCI_DEFAULT);
        OCIServerDetach(server_, err_, OCI_DEFAULT);
        OCIHandleFree(env_, OCI_HTYPE_ENV);
    }
    OciBenchSession(const OciBenchSession&) = delete;
    OciBenchSession& operator=(const OciBenchSession&) = delete;

    void check(sword status, const std::string& what) const {
        if (status == OCI_SUCCESS) return;
        OraText text[1024] = "";
        sb4 code = 0;
        OCIErrorGet(err_, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR);
        std::fprintf(stderr, "benchmark: %s: %s\n", what.c_str(), reinterpret_cast<char*>(text));
        std::exit(1);
    }
    OCIStmt* prepare(const std::string& sql) {
        OCIStmt* stmt = allocate<OCIStmt>(OCI_HTYPE_STMT);
        check(OCIStmtPrepare(stmt, err_, reinterpret_cast<const OraText*>(sql.c_str()), static_cast<ub4>(sql.size()),
                             OCI_NTV_SYNTAX, OCI_DEFAULT),
              "prepare");
        return stmt;
    }
    // Executes `stmt` once.
    void execute(OCIStmt* stmt, const std::string& what) {
        check(OCIStmtExecute(svc_, stmt, err_, 1, 0, nullptr, nullptr, OCI_DEFAULT), what);
    }
    void run(const std::string& sql) {
        OCIStmt* stmt = prepare(sql);
        execute(stmt, sql);
        OCIHandleFree(stmt, OCI_HTYPE_STMT);
    }

protected:
    template <typename T>
    T* allocate(ub4 type) {
        void* handle = nullptr;
        OCIHandleAlloc(env_, &handle, type, 0, nullptr);
        return static_cast<T*>(handle);
    }

    OCIEnv* env_ = nullptr;
    OCIError* err_ = nullptr;
    OCIServer* server_ = nullptr;
    OCISvcCtx* svc_ = nullptr;
    OCISession* session_ = nullptr;
};

// The exported functions of the release-8 call interface.
//
// Each one validates its error handle (or environment), then runs its body
// through CallGuard: the body looks its other handle arguments up in the
// registry (a bad one is OCI_INVALID_HANDLE with ORA-21560) and delegates to
// the handle's class. Nothing here knows SQL or SQLite.
#include "base/CallError.h"
#include "oci/CallGuard.h"
#include "oci/DescribeHandle.h"
#include "oci/Environment.h"
#include "oci/ErrorHandle.h"
#include "oci/HandleRegistry.h"
#include "oci/ServerHandle.h"
#include "oci/ServiceContext.h"
#include "oci/SessionHandle.h"
#include "oci/Statement.h"
#include "oci/TextArgument.h"
#include "session/Connection.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

using namespace engine;

namespace {

// The environments OCIEnvInit made, freed by OCIHandleFree.
//
// Deliberately never destroyed: at process exit a thread may still be inside
// a call (a cancelled statement unwinding while the program ends), and
// tearing its handles down under it would crash the exit. What a client did
// not free is reclaimed by the operating system; open work is lost, as for
// any session that ends abnormally.
class RootEnvironments {
public:
    static RootEnvironments& instance() {
        static RootEnvironments* const roots = new RootEnvironments;
        return *roots;
    }

    Environment& create() {
        auto environment = std::make_unique<Environment>();
        Environment& result = *environment;
        std::lock_guard<std::mutex> lock(mutex_);
        owned_.emplace(&result, std::move(environment));
        return result;
    }

    void destroy(Environment& environment) {
        std::unique_ptr<Environment> doomed;
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = owned_.find(&environment);
        if (found == owned_.end()) throw InvalidHandle("hndlp");
        doomed = std::move(found->second);
        owned_.erase(found);
    }

private:
    std::mutex mutex_;  // guards owned_
    std::unordered_map<Environment*, std::unique_ptr<Environment>> owned_;
};

// Runs a call whose failures go to the error handle `errhp`, validated first.
template <typename Body>
sword withErrors(OCIError* errhp, Body&& body) {
    Handle* handle = HandleRegistry::instance().find(errhp, OCI_HTYPE_ERROR);
    if (handle == nullptr) return OCI_INVALID_HANDLE;
    ErrorRecords& errors = static_cast<ErrorHandle*>(handle)->records();
    return CallGuard::run(&errors, [&]() -> sword { return body(errors); });
}

void notNull(const void* pointer, const char* name) {
    if (pointer == nullptr) throw CallError(CallCode::InvalidArgument, name);
}

template <typename T>
T& required(T* pointer, const char* name) {
    if (pointer == nullptr) throw CallError(CallCode::InvalidArgument, name);
    return *pointer;
}

Statement& statementArgument(OCIStmt* stmtp) {
    return handleArgument<Statement>(stmtp, OCI_HTYPE_STMT, "stmtp");
}

ServiceContext& contextArgument(OCISvcCtx* svchp) {
    return handleArgument<ServiceContext>(svchp, OCI_HTYPE_SVCCTX, "svchp");
}

// Runs `work` as one call on the session of `svchp`.
template <typename Work>
sword onSession(OCISvcCtx* svchp, Work&& work) {
    std::shared_ptr<Connection> connection = contextArgument(svchp).connection();
    Connection::Call call(*connection);
    work(*connection);
    return OCI_SUCCESS;
}

}  // namespace

extern "C" {

sword OCIInitialize(ub4, dvoid*, dvoid* (*)(dvoid*, size_t), dvoid* (*)(dvoid*, dvoid*, size_t),
                    void (*)(dvoid*, dvoid*)) {
    // The engine keeps no process-wide state to set up; custom allocators are
    // not used (memory is the engine's own).
    return OCI_SUCCESS;
}

sword OCIEnvInit(OCIEnv** envp, ub4, size_t xtramem_sz, dvoid** usrmempp) {
    if (envp == nullptr) return OCI_INVALID_HANDLE;
    *envp = nullptr;
    if (xtramem_sz > 0 || usrmempp != nullptr) return OCI_ERROR;
    return CallGuard::run(nullptr, [&]() -> sword {
        *envp = clientAddress<OCIEnv>(&RootEnvironments::instance().create());
        return OCI_SUCCESS;
    });
}

sword OCIHandleAlloc(CONST dvoid* parenth, dvoid** hndlpp, CONST ub4 type, CONST size_t xtramem_sz,
                     dvoid** usrmempp) {
    Handle* parent = HandleRegistry::instance().find(parenth, OCI_HTYPE_ENV);
    if (parent == nullptr) return OCI_INVALID_HANDLE;
    auto& environment = static_cast<Environment&>(*parent);
    return CallGuard::run(&environment.records(), [&]() -> sword {
        required(hndlpp, "hndlpp") = nullptr;
        if (xtramem_sz > 0 || usrmempp != nullptr) throw CallError(CallCode::InvalidArgument, "xtramem_sz");
        *hndlpp = &environment.allocate(type);
        return OCI_SUCCESS;
    });
}

sword OCIHandleFree(dvoid* hndlp, CONST ub4 type) {
    Handle* handle = HandleRegistry::instance().find(hndlp, type);
    if (handle == nullptr) return OCI_INVALID_HANDLE;
    return CallGuard::run(nullptr, [&]() -> sword {
        if (type == OCI_HTYPE_ENV) {
            RootEnvironments::instance().destroy(static_cast<Environment&>(*handle));
        } else if (handle->owner() != nullptr) {
            handle->owner()->release(*handle);
        }
        // Binds, defines and descriptors belong to their statement or describe.
        return OCI_SUCCESS;
    });
}

sword OCIErrorGet(dvoid* hndlp, ub4 recordno, OraText*, sb4* errcodep, OraText* bufp, ub4 bufsiz, ub4 type) {
    Handle* handle = HandleRegistry::instance().find(hndlp, type);
    if (handle == nullptr || (type != OCI_HTYPE_ERROR && type != OCI_HTYPE_ENV)) return OCI_INVALID_HANDLE;
    return CallGuard::run(nullptr, [&]() -> sword {
        ErrorRecords& records = type == OCI_HTYPE_ERROR ? static_cast<ErrorHandle*>(handle)->records()
                                                        : static_cast<Environment*>(handle)->records();
        ErrorRecord record;
        if (recordno != 1 || !records.get(record)) return OCI_NO_DATA;
        if (errcodep != nullptr) *errcodep = record.number;
        if (bufp != nullptr && bufsiz > 0) {
            // The server's message ends with a newline, as the vendor's does.
            const std::string text = record.text + "\n";
            const std::size_t n = std::min<std::size_t>(text.size(), bufsiz - 1);
            std::memcpy(bufp, text.data(), n);
            bufp[n] = '\0';
        }
        return OCI_SUCCESS;
    });
}

sword OCIAttrGet(CONST dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep, ub4* sizep, ub4 attrtype,
                 OCIError* errhp) {
    return withErrors(errhp, [&](ErrorRecords&) {
        const Handle& target = handleArgument<Handle>(trgthndlp, trghndltyp, "trgthndlp");
        notNull(attributep, "attributep");
        target.getAttribute(attrtype, attributep, sizep);
        return OCI_SUCCESS;
    });
}

sword OCIAttrSet(dvoid* trgthndlp, ub4 trghndltyp, dvoid* attributep, ub4 size, ub4 attrtype, OCIError* errhp) {
    return withErrors(errhp, [&](ErrorRecords&) {
        handleArgument<Handle>(trgthndlp, trghndltyp, "trgthndlp").setAttribute(attrtype, attributep, size);
        return OCI_SUCCESS;
    });
}

sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, CONST OraText* dblink, sb4 dblink_len, ub4) {
    return withErrors(errhp, [&](ErrorRecords&) {
        auto& server = handleArgument<ServerHandle>(srvhp, OCI_HTYPE_SERVER, "srvhp");
        server.attach(textArgument(dblink, dblink_len, "dblink"));
        return OCI_SUCCESS;
    });
}

sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4) {
    return withErrors(errhp, [&](ErrorRecords&) {
        handleArgument<ServerHandle>(srvhp, OCI_HTYPE_SERVER, "srvhp").detach();
        return OCI_SUCCESS;
    });
}

sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4) {
    return withErrors(errhp, [&](ErrorRecords&) {
        ServiceContext& context = contextArgument(svchp);
        auto& session = handleArgument<SessionHandle>(usrhp, OCI_HTYPE_SESSION, "usrhp");
        if (credt != OCI_CRED_RDBMS) throw CallError(CallCode::InvalidArgument, "credt");
        ServerHandle& server = context.server();
        server.addSession(session.begin(server.databasePath()));
        context.setAttribute(OCI_ATTR_SESSION, usrhp, 0);
        return OCI_SUCCESS;
    });
}

sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4) {
    return withErrors(errhp, [&](ErrorRecords&) {
        contextArgument(svchp).session(usrhp).end();
        return OCI_SUCCESS;
    });
}

sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp) {
    return withErrors(errhp, [&](ErrorRecords&) {
        ServiceContext& context = contextArgument(svchp);
        SessionHandle& session = context.session();
        context.server().detach();
        session.end();
        return OCI_SUCCESS;
    });
}

sword OCITransStart(OCISvcCtx* svchp, OCIError* errhp, uword, ub4 flags) {
    return withErrors(errhp, [&](ErrorRecords&) {
        return onSession(svchp, [flags](Connection& connection) { connection.startTransaction(flags); });
    });
}

sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4) {
    return withErrors(errhp, [&](ErrorRecords&) {
        return onSession(svchp, [](Connection& connection) { connection.commit(); });
    });
}

sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4) {
    return withErrors(errhp, [&](ErrorRecords&) {
        return onSession(svchp, [](Connection& connection) { connection.rollback(); });
    });
}

sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, CONST OraText* stmt, ub4 stmt_len, ub4, ub4) {
    return withErrors(errhp, [&](ErrorRecords&) {
        Statement& statement = statementArgument(stmtp);
        notNull(stmt, "stmt");
        statement.prepare(textArgument(stmt, static_cast<long>(stmt_len), "stmt"));
        return OCI_SUCCESS;
    });
}

sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, dvoid* valuep, sb4 value_sz,
                   ub2 dty, dvoid* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode) {
    return withErrors(errhp, [&](ErrorRecords&) {
        Statement& statement = statementArgument(stmtp);
        OCIBind*& result = required(bindp, "bindp");
        const BindSpec spec{{valuep, value_sz, dty, static_cast<sb2*>(indp), alenp, rcodep, mode}, maxarr_len, curelep};
        result = clientAddress<OCIBind>(&statement.bindByPosition(position, spec));
        return OCI_SUCCESS;
    });
}

sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, CONST OraText* placeholder, sb4 placeh_len,
                    dvoid* valuep, sb4 value_sz, ub2 dty, dvoid* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len,
                    ub4* curelep, ub4 mode) {
    return withErrors(errhp, [&](ErrorRecords&) {
        Statement& statement = statementArgument(stmtp);
        OCIBind*& result = required(bindp, "bindp");
        notNull(placeholder, "placeholder");
        const std::string name = textArgument(placeholder, placeh_len, "placeholder");
        const BindSpec spec{{valuep, value_sz, dty, static_cast<sb2*>(indp), alenp, rcodep, mode}, maxarr_len, curelep};
        result = clientAddress<OCIBind>(&statement.bindByName(name, spec));
        return OCI_SUCCESS;
    });
}

sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4 indskip, ub4 alskip, ub4 rcskip) {
    return withErrors(errhp, [&](ErrorRecords&) {
        handleArgument<BindHandle>(bindp, OCI_HTYPE_BIND, "bindp").setSkips(pvskip, indskip, alskip, rcskip);
        return OCI_SUCCESS;
    });
}

sword OCIBindDynamic(OCIBind* bindp, OCIError* errhp, dvoid* ictxp, OCICallbackInBind icbfp, dvoid* octxp,
                     OCICallbackOutBind ocbfp) {
    return withErrors(errhp, [&](ErrorRecords&) {
        handleArgument<BindHandle>(bindp, OCI_HTYPE_BIND, "bindp").setCallbacks(ictxp, icbfp, octxp, ocbfp);
        return OCI_SUCCESS;
    });
}

sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position, dvoid* valuep,
                     sb4 value_sz, ub2 dty, dvoid* indp, ub2* rlenp, ub2* rcodep, ub4 mode) {
    return withErrors(errhp, [&](ErrorRecords&) {
        Statement& statement = statementArgument(stmtp);
        OCIDefine*& result = required(defnp, "defnp");
        const DefineSpec spec{valuep, value_sz, dty, static_cast<sb2*>(indp), rlenp, rcodep, mode};
        result = clientAddress<OCIDefine>(&statement.define(position, spec));
        return OCI_SUCCESS;
    });
}

sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                     CONST OCISnapshot*, OCISnapshot*, ub4 mode) {
    return withErrors(errhp, [&](ErrorRecords& errors) {
        const ServiceContext& context = contextArgument(svchp);
        return statementArgument(stmtp).execute(context, iters, rowoff, mode, errors);
    });
}

sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4) {
    return withErrors(errhp, [&](ErrorRecords& errors) {
        return statementArgument(stmtp).fetch(nrows, orientation, errors);
    });
}

sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError* errhp, dvoid** hndlpp, ub4* typep, ub1* in_outp, ub4* iterp,
                          ub4* idxp, ub1* piecep) {
    return withErrors(errhp, [&](ErrorRecords&) {
        const PieceRequest& request = statementArgument(stmtp).pieceRequest();
        required(hndlpp, "hndlpp") = request.handle;
        required(typep, "typep") = request.handleType;
        required(in_outp, "in_outp") = request.direction;
        required(iterp, "iterp") = request.iteration;
        required(idxp, "idxp") = 0;
        required(piecep, "piecep") = request.piece;
        return OCI_SUCCESS;
    });
}

sword OCIStmtSetPieceInfo(dvoid* hndlp, ub4 type, OCIError* errhp, CONST dvoid* bufp, ub4* alenp, ub1 piece,
                          CONST dvoid* indp, ub2* rcodep) {
    return withErrors(errhp, [&](ErrorRecords&) {
        if (type == OCI_HTYPE_BIND) {
            auto& bind = handleArgument<BindHandle>(hndlp, OCI_HTYPE_BIND, "hndlp");
            bind.statement().answerPiece(bind, bufp, alenp, piece, indp, rcodep);
        } else {
            auto& define = handleArgument<DefineHandle>(hndlp, OCI_HTYPE_DEFINE, "hndlp");
            define.statement().answerPiece(define, bufp, alenp, piece, indp, rcodep);
        }
        return OCI_SUCCESS;
    });
}

sword OCIParamGet(CONST dvoid* hndlp, ub4 htype, OCIError* errhp, dvoid** parmdpp, ub4 pos) {
    return withErrors(errhp, [&](ErrorRecords&) {
        dvoid*& result = required(parmdpp, "parmdpp");
        ParamDescriptor* parameter = nullptr;
        if (htype == OCI_HTYPE_STMT) {
            parameter = &statementArgument(static_cast<OCIStmt*>(const_cast<dvoid*>(hndlp))).selectItem(pos);
        } else {
            parameter = &handleArgument<ParamDescriptor>(hndlp, OCI_DTYPE_PARAM, "hndlp").entry(pos);
        }
        result = static_cast<Handle*>(parameter);
        return OCI_SUCCESS;
    });
}

sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, dvoid* objptr, ub4 objnm_len, ub1 objptr_typ, ub1,
                     ub1 objtyp, OCIDescribe* dschp) {
    return withErrors(errhp, [&](ErrorRecords&) {
        auto& describe = handleArgument<DescribeHandle>(dschp, OCI_HTYPE_DESCRIBE, "dschp");
        if (objptr_typ != OCI_OTYPE_NAME) throw CallError(CallCode::InvalidArgument, "objptr_typ");
        notNull(objptr, "objptr");
        const std::string name =
            textArgument(static_cast<const OraText*>(objptr), static_cast<long>(objnm_len), "objptr");
        return onSession(svchp, [&](Connection& connection) { describe.describe(connection, name, objtyp); });
    });
}

sword OCIBreak(dvoid* hndlp, OCIError* errhp) {
    return withErrors(errhp, [&](ErrorRecords&) {
        Handle* handle = HandleRegistry::instance().find(hndlp);
        if (handle == nullptr) throw InvalidHandle("hndlp");
        switch (handle->type()) {
        case OCI_HTYPE_SVCCTX:
            static_cast<ServiceContext*>(handle)->connection()->cancelState().request();
            break;
        case OCI_HTYPE_SERVER: static_cast<ServerHandle*>(handle)->cancelSessions(); break;
        default: throw InvalidHandle("hndlp");
        }
        return OCI_SUCCESS;
    });
}

}  // extern "C"

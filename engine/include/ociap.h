/* Function prototypes of the release-8 call interface exported by the engine.
 * Every function validates its handle arguments and returns a status; details
 * of a failure are read with OCIErrorGet from the error handle passed in. */
#ifndef VOR_OCIAP_H
#define VOR_OCIAP_H

#include "oratypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef sb4 (*OCICallbackInBind)(dvoid *ictxp, OCIBind *bindp, ub4 iter, ub4 index,
                                 dvoid **bufpp, ub4 *alenp, ub1 *piecep, dvoid **indp);
typedef sb4 (*OCICallbackOutBind)(dvoid *octxp, OCIBind *bindp, ub4 iter, ub4 index,
                                  dvoid **bufpp, ub4 **alenp, ub1 *piecep, dvoid **indp,
                                  ub2 **rcodep);
typedef sb4 (*OCICallbackDefine)(dvoid *octxp, OCIDefine *defnp, ub4 iter, dvoid **bufpp,
                                 ub4 **alenp, ub1 *piecep, dvoid **indp, ub2 **rcodep);

VOR_OCI_API sword OCIInitialize(ub4 mode, dvoid *ctxp,
                                dvoid *(*malocfp)(dvoid *ctxp, size_t size),
                                dvoid *(*ralocfp)(dvoid *ctxp, dvoid *memptr, size_t newsize),
                                void (*mfreefp)(dvoid *ctxp, dvoid *memptr));
VOR_OCI_API sword OCIEnvInit(OCIEnv **envp, ub4 mode, size_t xtramem_sz, dvoid **usrmempp);
VOR_OCI_API sword OCIHandleAlloc(CONST dvoid *parenth, dvoid **hndlpp, CONST ub4 type,
                                 CONST size_t xtramem_sz, dvoid **usrmempp);
VOR_OCI_API sword OCIHandleFree(dvoid *hndlp, CONST ub4 type);

VOR_OCI_API sword OCIServerAttach(OCIServer *srvhp, OCIError *errhp, CONST OraText *dblink,
                                  sb4 dblink_len, ub4 mode);
VOR_OCI_API sword OCIServerDetach(OCIServer *srvhp, OCIError *errhp, ub4 mode);

VOR_OCI_API sword OCIAttrSet(dvoid *trgthndlp, ub4 trghndltyp, dvoid *attributep, ub4 size,
                             ub4 attrtype, OCIError *errhp);
VOR_OCI_API sword OCIAttrGet(CONST dvoid *trgthndlp, ub4 trghndltyp, dvoid *attributep,
                             ub4 *sizep, ub4 attrtype, OCIError *errhp);

VOR_OCI_API sword OCISessionBegin(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp,
                                  ub4 credt, ub4 mode);
VOR_OCI_API sword OCISessionEnd(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp,
                                ub4 mode);
VOR_OCI_API sword OCILogoff(OCISvcCtx *svchp, OCIError *errhp);

VOR_OCI_API sword OCITransStart(OCISvcCtx *svchp, OCIError *errhp, uword timeout, ub4 flags);
VOR_OCI_API sword OCITransCommit(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);
VOR_OCI_API sword OCITransRollback(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);

VOR_OCI_API sword OCIErrorGet(dvoid *hndlp, ub4 recordno, OraText *sqlstate, sb4 *errcodep,
                              OraText *bufp, ub4 bufsiz, ub4 type);

VOR_OCI_API sword OCIStmtPrepare(OCIStmt *stmtp, OCIError *errhp, CONST OraText *stmt,
                                 ub4 stmt_len, ub4 language, ub4 mode);
VOR_OCI_API sword OCIBindByPos(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp,
                               ub4 position, dvoid *valuep, sb4 value_sz, ub2 dty,
                               dvoid *indp, ub2 *alenp, ub2 *rcodep, ub4 maxarr_len,
                               ub4 *curelep, ub4 mode);
VOR_OCI_API sword OCIBindByName(OCIStmt *stmtp, OCIBind **bindp, OCIError *errhp,
                                CONST OraText *placeholder, sb4 placeh_len, dvoid *valuep,
                                sb4 value_sz, ub2 dty, dvoid *indp, ub2 *alenp,
                                ub2 *rcodep, ub4 maxarr_len, ub4 *curelep, ub4 mode);
VOR_OCI_API sword OCIBindArrayOfStruct(OCIBind *bindp, OCIError *errhp, ub4 pvskip,
                                       ub4 indskip, ub4 alskip, ub4 rcskip);
VOR_OCI_API sword OCIBindDynamic(OCIBind *bindp, OCIError *errhp, dvoid *ictxp,
                                 OCICallbackInBind icbfp, dvoid *octxp,
                                 OCICallbackOutBind ocbfp);
VOR_OCI_API sword OCIDefineByPos(OCIStmt *stmtp, OCIDefine **defnp, OCIError *errhp,
                                 ub4 position, dvoid *valuep, sb4 value_sz, ub2 dty,
                                 dvoid *indp, ub2 *rlenp, ub2 *rcodep, ub4 mode);
VOR_OCI_API sword OCIStmtExecute(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp,
                                 ub4 iters, ub4 rowoff, CONST OCISnapshot *snap_in,
                                 OCISnapshot *snap_out, ub4 mode);
VOR_OCI_API sword OCIStmtFetch(OCIStmt *stmtp, OCIError *errhp, ub4 nrows, ub2 orientation,
                               ub4 mode);
VOR_OCI_API sword OCIStmtGetPieceInfo(OCIStmt *stmtp, OCIError *errhp, dvoid **hndlpp,
                                      ub4 *typep, ub1 *in_outp, ub4 *iterp, ub4 *idxp,
                                      ub1 *piecep);
VOR_OCI_API sword OCIStmtSetPieceInfo(dvoid *hndlp, ub4 type, OCIError *errhp,
                                      CONST dvoid *bufp, ub4 *alenp, ub1 piece,
                                      CONST dvoid *indp, ub2 *rcodep);

VOR_OCI_API sword OCIParamGet(CONST dvoid *hndlp, ub4 htype, OCIError *errhp,
                              dvoid **parmdpp, ub4 pos);
VOR_OCI_API sword OCIDescribeAny(OCISvcCtx *svchp, OCIError *errhp, dvoid *objptr,
                                 ub4 objnm_len, ub1 objptr_typ, ub1 info_level, ub1 objtyp,
                                 OCIDescribe *dschp);

/* Cancels the call running on the service context from another thread; the
 * cancelled call fails with ORA-01013. Prototype unconfirmed: no public source
 * at hand states it; hndlp is the service context. */
VOR_OCI_API sword OCIBreak(dvoid *hndlp, OCIError *errhp);

#ifdef __cplusplus
}
#endif

#endif /* VOR_OCIAP_H */

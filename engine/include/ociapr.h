/* The release-7 call interface: the operations that work on login and cursor
 * data areas. Every call returns 0 on success; on failure the area's `rc`
 * holds the server's error number and oerhms gives its message. Text lengths
 * of -1 mean NUL-terminated text. */
#ifndef VOR_OCIAPR_H
#define VOR_OCIAPR_H

#include "oratypes.h"
#include "ocidfn.h"

#ifdef __cplusplus
extern "C" {
#endif

VOR_OCI_API sword opinit(ub4 mode);
VOR_OCI_API sword olog(struct cda_def* lda, ub1* hda, OraText* uid, sword uidl, OraText* pswd, sword pswdl,
                       OraText* conn, sword connl, ub4 mode);
VOR_OCI_API sword ologof(struct cda_def* lda);
VOR_OCI_API sword ocom(struct cda_def* lda);
VOR_OCI_API sword orol(struct cda_def* lda);
VOR_OCI_API sword oopen(struct cda_def* cursor, struct cda_def* lda, OraText* dbn, sword dbnl, sword arsize,
                        OraText* uid, sword uidl);
VOR_OCI_API sword oparse(struct cda_def* cursor, OraText* sqlstm, sb4 sqllen, sword defflg, ub4 lngflg);
VOR_OCI_API sword oexn(struct cda_def* cursor, sword iters, sword rowoff);
VOR_OCI_API sword oexec(struct cda_def* cursor);
VOR_OCI_API sword oexfet(struct cda_def* cursor, ub4 nrows, sword cancel, sword exact);
VOR_OCI_API sword ofen(struct cda_def* cursor, sword nrows);
VOR_OCI_API sword ocan(struct cda_def* cursor);
VOR_OCI_API sword oclose(struct cda_def* cursor);
VOR_OCI_API sword obndrn(struct cda_def* cursor, sword sqlvn, ub1* progv, sword progvl, sword ftype, sword scale,
                         sb2* indp, OraText* fmt, sword fmtl, sword fmtt);
VOR_OCI_API sword obndrv(struct cda_def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype,
                         sword scale, sb2* indp, OraText* fmt, sword fmtl, sword fmtt);
VOR_OCI_API sword obindps(struct cda_def* cursor, ub1 opcode, OraText* sqlvar, sb4 sqlvl, ub1* pvctx, sb4 progvl,
                          sword ftype, sword scale, sb2* indp, ub2* alen, ub2* arcode, sb4 pv_skip, sb4 ind_skip,
                          sb4 alen_skip, sb4 rc_skip, ub4 maxsiz, ub4* cursiz, OraText* fmt, sb4 fmtl, sword fmtt);
VOR_OCI_API sword odefin(struct cda_def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword scale, sb2* indp,
                         OraText* fmt, sword fmtl, sword fmtt, ub2* rlen, ub2* rcode);
VOR_OCI_API sword odefinps(struct cda_def* cursor, ub1 opcode, sword pos, ub1* bufctx, sb4 bufl, sword ftype,
                           sword scale, sb2* indp, OraText* fmt, sb4 fmtl, sword fmtt, ub2* rlen, ub2* rcode,
                           sb4 pv_skip, sb4 ind_skip, sb4 alen_skip, sb4 rc_skip);
VOR_OCI_API sword ogetpi(struct cda_def* cursor, ub1* piecep, dvoid** ctxpp, ub4* iterp, ub4* indexp);
VOR_OCI_API sword osetpi(struct cda_def* cursor, ub1 piece, dvoid* bufp, ub4* lenp);
VOR_OCI_API sword odescr(struct cda_def* cursor, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf, sb4* cbufl,
                         sb4* dsize, sb2* prec, sb2* scale, sb2* nullok);
VOR_OCI_API sword odessp(struct cda_def* cursor, OraText* objnam, size_t onlen, ub1* rsv1, size_t rsv1ln, ub1* rsv2,
                         size_t rsv2ln, ub2* ovrld, ub2* pos, ub2* level, OraText** argnam, ub2* arnlen, ub2* dtype,
                         ub1* defsup, ub1* mode, ub4* dtsiz, sb2* prec, sb2* scale, ub1* radix, ub4* spare,
                         ub4* arrsiz);
VOR_OCI_API sword oerhms(struct cda_def* lda, sb2 rcode, OraText* buf, sword bufsiz);

#ifdef __cplusplus
}
#endif

#endif /* VOR_OCIAPR_H */

/* External datatype codes (SQLT_*) of the call interface: the form in which a
 * bound or defined buffer is read or written. Internal datatype codes reported
 * by describes use the same numbers. */
#ifndef VOR_OCIDFN_H
#define VOR_OCIDFN_H

#include "oratypes.h"

#define SQLT_CHR    1   /* character string, length given separately */
#define SQLT_NUM    2   /* the server's internal number form */
#define SQLT_INT    3   /* signed integer, native byte order, 1/2/4/8 bytes */
#define SQLT_FLT    4   /* IEEE float or double */
#define SQLT_STR    5   /* NUL-terminated string */
#define SQLT_VNU    6   /* number with a length byte */
#define SQLT_PDN    7   /* packed decimal */
#define SQLT_LNG    8   /* LONG */
#define SQLT_VCS    9   /* string with a 2-byte length prefix */
#define SQLT_NON    10  /* null/empty PCC descriptor entry */
#define SQLT_RID    11  /* ROWID */
#define SQLT_DAT    12  /* 7-byte date */
#define SQLT_VBI    15  /* raw with a 2-byte length prefix */
#define SQLT_BIN    23  /* RAW */
#define SQLT_LBI    24  /* LONG RAW */
#define SQLT_UIN    68  /* unsigned integer */
#define SQLT_SLS    91  /* display sign leading separate */
#define SQLT_LVC    94  /* string with a 4-byte length prefix */
#define SQLT_LVB    95  /* raw with a 4-byte length prefix */
#define SQLT_AFC    96  /* fixed-length CHAR */
#define SQLT_AVC    97  /* CHAR, NUL-terminated */
#define SQLT_CUR    102 /* cursor */
#define SQLT_RDD    104 /* ROWID descriptor */
#define SQLT_NTY    108 /* named object type */
#define SQLT_CLOB   112
#define SQLT_BLOB   113
#define SQLT_BFILEE 114
#define SQLT_BFILE  SQLT_BFILEE
#define SQLT_FILE   SQLT_BFILEE
#define SQLT_CFILEE 115
#define SQLT_RSET   116
/* PL/SQL-only codes; found in later client headers, not in the 8.0 set. */
#define SQLT_REC    250 /* PL/SQL record */
#define SQLT_TAB    251 /* PL/SQL index-by table */
#define SQLT_BOL    252 /* PL/SQL boolean */

/* The release-7 interface's data areas. A login data area (LDA) stands for a
 * session, a cursor data area (CDA) for one statement; the engine reports each
 * call's outcome in the fields below, where the vendor's layout puts them, and
 * keeps its own object behind the reserved pointer `rcsp`. A client zeroes an
 * area before it logs on or opens a cursor with it. */
#define CDA_HEAD_SIZE (sizeof(void*) == 4 ? 48 : 56)
#define CDA_SIZE      (sizeof(void*) == 4 ? 64 : 88)
#define HDA_SIZE      (sizeof(void*) == 4 ? 256 : 512)

struct cda_def {
    sb2 v2_rc;          /* return code in the version-2 numbering */
    ub2 ft;             /* SQL function type of the parsed statement */
    ub4 rpc;            /* rows processed, cumulative over one execute's fetches */
    ub2 peo;            /* parse error offset */
    ub1 fc;             /* call-interface function code of the last call */
    ub1 rcs1;
    ub2 rc;             /* return code: the server's error number, 0 on success */
    ub1 wrn;            /* warning flags */
    ub1 rcs2;
    sword rcs3;
    struct {
        struct {
            ub4 rcs4;
            ub2 rcs5;
            ub1 rcs6;
        } rd;
        ub4 rcs7;
        ub2 rcs8;
    } rid;              /* row id */
    sword ose;          /* operating-system error */
    ub1 chk;
    dvoid* rcsp;        /* the engine's object behind this area */
    ub1 rcs9[CDA_SIZE - CDA_HEAD_SIZE];
};
typedef struct cda_def Cda_Def;
typedef struct cda_def Lda_Def;

#endif /* VOR_OCIDFN_H */

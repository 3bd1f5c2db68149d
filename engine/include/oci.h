/* The release-8 call interface as the embedded engine exports it: handle types,
 * status codes, modes, attribute codes and (through ociap.h) the functions.
 * Names and values follow the vendor's published interface, so a client written
 * against this header builds unchanged against the vendor's client.
 * Values marked "unconfirmed" could not be checked against a public source. */
#ifndef VOR_OCI_H
#define VOR_OCI_H

#include "oratypes.h"
#include "ocidfn.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Opaque handles and descriptors -------------------------------------- */
typedef struct OCIEnv      OCIEnv;
typedef struct OCIError    OCIError;
typedef struct OCISvcCtx   OCISvcCtx;
typedef struct OCIStmt     OCIStmt;
typedef struct OCIBind     OCIBind;
typedef struct OCIDefine   OCIDefine;
typedef struct OCIDescribe OCIDescribe;
typedef struct OCIServer   OCIServer;
typedef struct OCISession  OCISession;
typedef struct OCITrans    OCITrans;
typedef struct OCISnapshot OCISnapshot;
typedef struct OCIParam    OCIParam;

typedef enum OCITypeParamMode {
  OCI_TYPEPARAM_IN = 0,
  OCI_TYPEPARAM_OUT,
  OCI_TYPEPARAM_INOUT,
  OCI_TYPEPARAM_BYREF,
  OCI_TYPEPARAM_OUTNCPY,
  OCI_TYPEPARAM_INOUTNCPY
} OCITypeParamMode;

/* ---- Status codes ---------------------------------------------------------- */
#define OCI_SUCCESS           0
#define OCI_SUCCESS_WITH_INFO 1
#define OCI_NEED_DATA         99
#define OCI_NO_DATA           100
#define OCI_ERROR             (-1)
#define OCI_INVALID_HANDLE    (-2)
#define OCI_STILL_EXECUTING   (-3123)
#define OCI_CONTINUE          (-24200)

/* ---- Modes and flags ------------------------------------------------------- */
#define OCI_DEFAULT  0x00
#define OCI_THREADED 0x01
#define OCI_OBJECT   0x02

#define OCI_NTV_SYNTAX 1
#define OCI_V7_SYNTAX  2
#define OCI_V8_SYNTAX  3

#define OCI_BATCH_MODE        0x01
#define OCI_EXACT_FETCH       0x02
#define OCI_DESCRIBE_ONLY     0x10
#define OCI_COMMIT_ON_SUCCESS 0x20

#define OCI_DATA_AT_EXEC  0x02 /* bind mode */
#define OCI_DYNAMIC_FETCH 0x02 /* define mode */
#define OCI_PIECEWISE     0x04

#define OCI_FETCH_CURRENT 0x01
#define OCI_FETCH_NEXT    0x02

#define OCI_ONE_PIECE   0
#define OCI_FIRST_PIECE 1
#define OCI_NEXT_PIECE  2
#define OCI_LAST_PIECE  3

#define OCI_PARAM_IN  0x01
#define OCI_PARAM_OUT 0x02

#define OCI_CRED_RDBMS 1
#define OCI_CRED_EXT   2

#define OCI_TRANS_NEW          0x00000001
#define OCI_TRANS_JOIN         0x00000002
#define OCI_TRANS_RESUME       0x00000004
#define OCI_TRANS_READONLY     0x00000100
#define OCI_TRANS_READWRITE    0x00000200
#define OCI_TRANS_SERIALIZABLE 0x00000400
#define OCI_TRANS_LOOSE        0x00010000
#define OCI_TRANS_TIGHT        0x00020000
#define OCI_TRANS_TWOPHASE     0x01000000

#define OCI_OTYPE_NAME 1
#define OCI_OTYPE_REF  2
#define OCI_OTYPE_PTR  3

#define OCI_ERROR_MAXMSG_SIZE 1024

/* ---- Handle and descriptor types ------------------------------------------ */
#define OCI_HTYPE_ENV           1
#define OCI_HTYPE_ERROR         2
#define OCI_HTYPE_SVCCTX        3
#define OCI_HTYPE_STMT          4
#define OCI_HTYPE_BIND          5
#define OCI_HTYPE_DEFINE        6
#define OCI_HTYPE_DESCRIBE      7
#define OCI_HTYPE_SERVER        8
#define OCI_HTYPE_SESSION       9
#define OCI_HTYPE_TRANS         10
#define OCI_HTYPE_COMPLEXOBJECT 11
#define OCI_HTYPE_SECURITY      12

#define OCI_DTYPE_LOB   50
#define OCI_DTYPE_SNAP  51
#define OCI_DTYPE_RSET  52
#define OCI_DTYPE_PARAM 53
#define OCI_DTYPE_ROWID 54

/* ---- Statement types (OCI_ATTR_STMT_TYPE, ub2) ----------------------------- */
#define OCI_STMT_SELECT  1
#define OCI_STMT_UPDATE  2
#define OCI_STMT_DELETE  3
#define OCI_STMT_INSERT  4
#define OCI_STMT_CREATE  5
#define OCI_STMT_DROP    6
#define OCI_STMT_ALTER   7
#define OCI_STMT_BEGIN   8
#define OCI_STMT_DECLARE 9

/* ---- Parameter types (OCI_ATTR_PTYPE, ub1) --------------------------------- */
#define OCI_PTYPE_UNK         0
#define OCI_PTYPE_TABLE       1
#define OCI_PTYPE_VIEW        2
#define OCI_PTYPE_PROC        3
#define OCI_PTYPE_FUNC        4
#define OCI_PTYPE_PKG         5
#define OCI_PTYPE_TYPE        6
#define OCI_PTYPE_SYN         7
#define OCI_PTYPE_SEQ         8
#define OCI_PTYPE_COL         9
#define OCI_PTYPE_ARG         10
#define OCI_PTYPE_LIST        11
#define OCI_PTYPE_TYPE_ATTR   12
#define OCI_PTYPE_TYPE_COLL   13
#define OCI_PTYPE_TYPE_METHOD 14
#define OCI_PTYPE_TYPE_ARG    15
#define OCI_PTYPE_TYPE_RESULT 16
#define OCI_PTYPE_SCHEMA      17 /* release 8.1 and later */
#define OCI_PTYPE_DATABASE    18 /* release 8.1 and later */

/* ---- List types (OCI_ATTR_LTYPE, ub2; release 8.1 and later) --------------- */
#define OCI_LTYPE_UNK           0
#define OCI_LTYPE_COLUMN        1
#define OCI_LTYPE_ARG_PROC      2
#define OCI_LTYPE_ARG_FUNC      3
#define OCI_LTYPE_SUBPRG        4
#define OCI_LTYPE_TYPE_ATTR     5
#define OCI_LTYPE_TYPE_METHOD   6
#define OCI_LTYPE_TYPE_ARG_PROC 7
#define OCI_LTYPE_TYPE_ARG_FUNC 8
#define OCI_LTYPE_SCH_OBJ       9
#define OCI_LTYPE_DB_SCH        10

/* ---- Attributes (type written by OCIAttrGet / read by OCIAttrSet) ---------- */
#define OCI_ATTR_DATA_SIZE      1   /* ub2 */
#define OCI_ATTR_DATA_TYPE      2   /* ub2 */
#define OCI_ATTR_DISP_SIZE      3   /* ub2 (unconfirmed) */
#define OCI_ATTR_NAME           4   /* OraText* + ub4 length */
#define OCI_ATTR_PRECISION      5   /* sb2 select list, ub1 explicit describe */
#define OCI_ATTR_SCALE          6   /* sb1 */
#define OCI_ATTR_IS_NULL        7   /* ub1, 0 = NOT NULL */
#define OCI_ATTR_TYPE_NAME      8
#define OCI_ATTR_SCHEMA_NAME    9
#define OCI_ATTR_SUB_NAME       10
#define OCI_ATTR_POSITION       11  /* ub2 */
#define OCI_ATTR_PREFETCH_ROWS  11  /* statement handle, ub4 */
#define OCI_ATTR_SERVER         6   /* service context: OCIServer* */
#define OCI_ATTR_SESSION        7   /* service context: OCISession* */
#define OCI_ATTR_TRANS          8   /* service context: OCITrans* */
#define OCI_ATTR_ROW_COUNT      9   /* statement: ub4 */
#define OCI_ATTR_PARAM_COUNT    18  /* statement: ub4 */
#define OCI_ATTR_USERNAME       22  /* session: text + length */
#define OCI_ATTR_PASSWORD       23  /* session: text + length */
#define OCI_ATTR_STMT_TYPE      24  /* statement: ub2 */
#define OCI_ATTR_CHARSET_ID     31
#define OCI_ATTR_CHARSET_FORM   32
#define OCI_ATTR_ROWS_RETURNED  42
#define OCI_ATTR_NUM_COLS       102 /* ub2 */
#define OCI_ATTR_LIST_COLUMNS   103 /* OCIParam* */
#define OCI_ATTR_LIST_ARGUMENTS 108 /* OCIParam* */
#define OCI_ATTR_LIST_SUBPROGRAMS 109 /* OCIParam* */
#define OCI_ATTR_NUM_PARAMS     121 /* ub2 */
#define OCI_ATTR_OBJID          122
#define OCI_ATTR_PTYPE          123 /* ub1 */
#define OCI_ATTR_PARAM          124 /* describe handle: OCIParam* */
#define OCI_ATTR_LTYPE          128 /* ub2; release 8.1 and later */
#define OCI_ATTR_PARSE_ERROR_OFFSET 129
#define OCI_ATTR_OBJ_NAME       134 /* OraText* + ub4 length; 8.1 and later */
#define OCI_ATTR_OBJ_SCHEMA     135 /* OraText* + ub4 length; 8.1 and later */
#define OCI_ATTR_OVERLOAD       210 /* ub2 (unconfirmed) */
#define OCI_ATTR_LEVEL          211 /* ub2 */
#define OCI_ATTR_HAS_DEFAULT    212 /* ub1 */
#define OCI_ATTR_IOMODE         213 /* OCITypeParamMode */
#define OCI_ATTR_RADIX          214 /* ub1 */
#define OCI_ATTR_TYPECODE       216
#define OCI_ATTR_LIST_OBJECTS   261 /* OCIParam*; 8.1 and later */

#ifdef __cplusplus
}
#endif

#include "ociap.h"

#endif /* VOR_OCI_H */

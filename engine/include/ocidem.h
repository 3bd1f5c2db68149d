/* Constants that release-7 clients pass to and read from the call interface. */
#ifndef VOR_OCIDEM_H
#define VOR_OCIDEM_H

/* opinit modes */
#define OCI_EV_DEF 0 /* single-threaded */
#define OCI_EV_TSF 1 /* thread-safe */

/* olog modes */
#define OCI_LM_DEF 0 /* blocking */
#define OCI_LM_NBL 1 /* non-blocking */

/* oparse flags */
#define DEFER_PARSE 1 /* parse together with the first execute or describe */
#define NATIVE      1 /* the server's own SQL behaviour */
#define VERSION_7   2

/* obindps / odefinps operation codes */
#define OCI7_PIECEWISE 0 /* LONG and LONG RAW values moved in pieces */
#define OCI7_ARRAY     1 /* arrays of structures, with skips */

/* Piece codes of ogetpi and osetpi */
#define OCI_ONE_PIECE   0
#define OCI_FIRST_PIECE 1
#define OCI_NEXT_PIECE  2
#define OCI_LAST_PIECE  3

/* Return codes (the `rc` field) a client tests for */
#define VAR_NOT_IN_LIST   1007 /* odescr past the last select-list item */
#define NO_DATA_FOUND     1403 /* no more rows */
#define NULL_VALUE_RETURNED 1405
#define NEED_NEXT_IN_PIECE  3129 /* an execute waits for the next bound piece */
#define NEED_NEXT_OUT_PIECE 3130 /* a fetch waits for the next buffer */

/* SQL function types (the `ft` field) */
#define FT_INSERT 3
#define FT_SELECT 4
#define FT_UPDATE 5
#define FT_DELETE 9

/* Function codes (the `fc` field) of the calls that report one */
#define FC_OEXEC    4  /* oexec and oexn */
#define FC_OFETCH   12 /* ofen */
#define FC_OOPEN    14
#define FC_OCLOSE   16
#define FC_OBNDRV   28
#define FC_OBNDRN   30
#define FC_OCAN     52
#define FC_OPARSE   54
#define FC_OEXFET   56
#define FC_ODESCR   60
#define FC_OBINDPS  63
#define FC_ODEFINPS 64
#define FC_OGETPI   65
#define FC_OSETPI   66

/* odessp modes */
#define OCI7_MODE_IN    0
#define OCI7_MODE_OUT   1
#define OCI7_MODE_INOUT 2

#endif /* VOR_OCIDEM_H */

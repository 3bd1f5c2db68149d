/* Portable scalar types of the release-8 call interface.
 * Widths are those of the vendor's client on 32- and 64-bit Unix: ub4/sb4 are
 * always 32 bits, so buffers laid out by a client agree with the engine. */
#ifndef VOR_ORATYPES_H
#define VOR_ORATYPES_H

#include <stddef.h>

typedef unsigned char  ub1;
typedef signed char    sb1;
typedef unsigned short ub2;
typedef signed short   sb2;
typedef unsigned int   ub4;
typedef signed int     sb4;
typedef char           eb1;
typedef short          eb2;
typedef int            eb4;

typedef signed int   sword;
typedef int          eword;
typedef unsigned int uword;

typedef unsigned char oratext;
typedef oratext       text;
typedef oratext       OraText;

typedef int boolean;

#ifndef dvoid
#define dvoid void
#endif
#ifndef CONST
#define CONST const
#endif

/* Marks the functions the engine exports (it is built with hidden visibility). */
#ifndef VOR_OCI_API
#  if defined(_WIN32)
#    define VOR_OCI_API
#  else
#    define VOR_OCI_API __attribute__((visibility("default")))
#  endif
#endif

#endif /* VOR_ORATYPES_H */

// Export macro of the database access library: only the classes and functions
// marked VORDB_API are visible outside the shared library (the build hides
// everything else by default).
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define VORDB_API __attribute__((visibility("default")))
#else
#define VORDB_API
#endif

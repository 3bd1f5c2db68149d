#!/bin/sh
# Stand-in for Oracle's client programs in the external-tools tests, copied into a
# temporary Oracle home as sqlplus.exe, exp.exe and imp.exe. Records the name it was
# started as, its working directory and each argument, one per line, in the file
# that VOR_STANDIN_RECORD names; written under a temporary name and renamed, so the
# record appears complete.
record=${VOR_STANDIN_RECORD:?VOR_STANDIN_RECORD must name the record file}
{
    basename "$0"
    pwd
    for argument in "$@"; do
        printf '%s\n' "$argument"
    done
} > "$record.tmp" && mv "$record.tmp" "$record"

" Vim syntax file for Vorlan scripts (.vrb).
" Install: copy the syntax/ and ftdetect/ folders into ~/.vim (or a package).
if exists("b:current_syntax")
  finish
endif

" Keywords and type names are case-sensitive: print is a plain name.
syntax case match

syntax keyword vorlanConditional IF ELSE ENDIF
syntax keyword vorlanRepeat      DOWHILE EW
syntax keyword vorlanStatement   PRINT DPRINT CONNECT DISCONNECT EXECUTE TIMEOUT CHECKPROC
syntax keyword vorlanItemKind    SQL SP
syntax keyword vorlanFunction    FUN EFUN OUT
syntax keyword vorlanType        NUMBER VARCHAR2 RAW NUMBERARR VARCHAR2ARR RAWARR
syntax keyword vorlanBuiltin     COS SIN ARRAYSIZE ARRAYRESIZE RESULT

syntax match   vorlanComment     "\<REM\>.*$"
syntax match   vorlanNumber      "\<[0-9][0-9.]*"
syntax match   vorlanOperator    "==\|<>\|<=\|>=\|[-+*/^<>=]"
syntax match   vorlanBind        ":[A-Za-z0-9_]\+" contained
syntax match   vorlanEscape      "\\\_s*\S" contained
syntax region  vorlanString      start=+"+ skip=+\\\_s*\S+ end=+"+ contains=vorlanBind,vorlanEscape
syntax region  vorlanRaw         start=+'+ end=+'\|;+

highlight default link vorlanConditional Conditional
highlight default link vorlanRepeat      Repeat
highlight default link vorlanStatement   Statement
highlight default link vorlanItemKind    Keyword
highlight default link vorlanFunction    Keyword
highlight default link vorlanType        Type
highlight default link vorlanBuiltin     Function
highlight default link vorlanComment     Comment
highlight default link vorlanNumber      Number
highlight default link vorlanOperator    Operator
highlight default link vorlanBind        Identifier
highlight default link vorlanEscape      SpecialChar
highlight default link vorlanString      String
highlight default link vorlanRaw         String

let b:current_syntax = "vorlan"

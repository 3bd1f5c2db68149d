" Vorlan scripts end in .vrb.
autocmd BufRead,BufNewFile *.vrb setfiletype vorlan

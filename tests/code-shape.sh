#!/bin/sh
# code-shape.sh TOP: the code stays easy to read where a newcomer starts. Fails, naming each, on a
# function of src/ or tools/ over 60 lines (by ctags' start and end lines, so that C++17 nested
# namespaces are read too) and on a file of src/render over 350 lines.
set -eu
cd "$1"
status=0
long=$(ctags -R -x --_xformat='%n	%{end}	%F	%N' --kinds-c++=f --languages=C++ --fields=+e src tools |
       awk -F'\t' '$2 - $1 + 1 > 60 { print "  " $3 ":" $1 " " $4 ": " $2 - $1 + 1 " lines" }')
if [ -n "$long" ]; then
    printf 'functions over 60 lines:\n%s\n' "$long"
    status=1
fi
big=$(find src/render -type f -exec wc -l {} + | awk '$2 != "total" && $1 > 350 { print "  " $2 ": " $1 " lines" }')
if [ -n "$big" ]; then
    printf 'files of src/render over 350 lines:\n%s\n' "$big"
    status=1
fi
exit "$status"

#!/bin/sh
# The shipped exe stays small and carries none of the C++ runtime's exception support. One static
# that needs a thread-safe guard, or anything that throws, links that support in at once (about
# 90 KiB, with its "terminate called" texts): the texts show it, whatever the size.
exe="$1"
limit=153600
size=$(wc -c <"$exe")
echo "huepeek.exe: $size bytes, limit $limit"
if x86_64-w64-mingw32-strings -a "$exe" | grep -q -e 'terminate called' -e 'std::exception'; then
    echo "the exe holds the C++ runtime's exception support"
    exit 1
fi
[ "$size" -lt "$limit" ]

#!/bin/sh
# The shipped exe stays under 150 KiB. A static's initialiser that needs libstdc++'s thread-safe
# guard, or anything that throws, links the C++ runtime's exception and thread support in and
# costs about 110 KiB at once: that is the fault this catches early, besides slow growth.
exe="$1"
limit=153600
size=$(wc -c <"$exe")
echo "huepeek.exe: $size bytes, limit $limit"
[ "$size" -lt "$limit" ]

#!/bin/sh
# The shipped exe stays under 150 KiB with every feature. A size far beyond is a sign that the C++
# runtime came in (thread-safe guards of a function's static, exceptions), not of a feature.
exe="$1"
limit=$((150 * 1024))
size=$(wc -c < "$exe")
echo "$exe: $size bytes, the limit $limit bytes"
[ "$size" -lt "$limit" ]

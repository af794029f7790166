#!/usr/bin/env bash
# Command-line tests of tavirel-convert. Usage: test.sh path/to/tavirel-convert
set -u
bin="$1"
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

check() {  # name expected actual
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}
hex() { od -An -tx1 | tr -d ' \n'; }

text='Tiếng Việt có dấu, đường xa; người ta đi học ở trường làng.'
check "unicode to tcvn3 bytes" "5469d56e67" "$(printf 'Tiếng' | "$bin" -t tcvn3 | hex)"
check "tcvn3 bytes back" "Tiếng" "$(printf 'Ti\xd5ng' | "$bin" -f 'TCVN3 (ABC)')"
check "through every table and back" "$text" \
  "$(echo "$text" | "$bin" -t vni | "$bin" -f vni -t viscii | "$bin" -f viscii -t vps | "$bin" -f vps -t cp1258 \
     | "$bin" -f cp1258 -t tohop | "$bin" -f tohop -t tcvn3 | "$bin" -f tcvn3)"
for t in tcvn3 vni viscii vps tohop cp1258 viqr; do
  check "--detect $t" "$text" "$(echo "$text" | "$bin" -t $t | "$bin" --detect 2>/dev/null)"
done
check "--detect names the table" "tavirel-convert: source table: VNI Windows" \
  "$(echo "$text" | "$bin" -t vni | "$bin" --detect 2>&1 >/dev/null)"
check "--upper" "ĐƯỜNG XA" "$(printf 'đường xa' | "$bin" --upper)"
check "--lower from vni" "đường xa" "$(printf 'ĐƯỜNG XA' | "$bin" -t vni | "$bin" -f vni --lower)"
check "--strip-marks" "Duong xa" "$(printf 'Đường xa' | "$bin" --strip-marks)"
check "utf-8 byte-order mark skipped" "Ti" "$(printf '\xef\xbb\xbfTi' | "$bin")"
check "NUL and CR LF kept" "610d0a00ae" "$(printf 'a\r\n\x00đ' | "$bin" -t tcvn3 | hex)"

# Characters the target cannot hold: "?", a count, status 3.
out=$(printf 'a ß €' | "$bin" -t tcvn3 2>"$tmp/err"); status=$?
check "lost characters written as ?" "a ? ?" "$out"
check "lost characters status" "3" "$status"
check "lost characters counted" "tavirel-convert: warning: 2 characters cannot be written in TCVN3 (ABC) and were written as \"?\"" "$(cat "$tmp/err")"

# Files, -o, and the refusal to write over the input.
echo "$text" > "$tmp/in.txt"
"$bin" -t vni -o "$tmp/out.txt" "$tmp/in.txt"
check "-o file" "$text" "$("$bin" -f vni "$tmp/out.txt")"
cp "$tmp/in.txt" "$tmp/before.txt"
"$bin" -t vni -o "$tmp/./in.txt" "$tmp/in.txt" 2>/dev/null
check "output that is the input is refused" "1" "$?"
check "the input is left as it was" "" "$(cmp "$tmp/in.txt" "$tmp/before.txt")"
"$bin" "$tmp/missing.txt" >/dev/null 2>&1
check "missing input" "2" "$?"
"$bin" -t nosuchtable </dev/null 2>/dev/null
check "unknown table" "1" "$?"
"$bin" -t u </dev/null 2>/dev/null
check "ambiguous table" "1" "$?"
"$bin" --frobnicate </dev/null 2>/dev/null
check "unknown option" "1" "$?"
check "--list" "8" "$("$bin" --list | wc -l)"
check "--help" "0" "$("$bin" --help >/dev/null; echo $?)"

# HTML Format data: the fragment converts, the offsets follow.
# In HTML the bytes of a table are characters U+0000..U+00FF in UTF-8.
frag=$(printf 'đường' | "$bin" -t tcvn3 | iconv -f latin1 -t utf-8)
body="<b>$frag</b>"
hdr=$(printf 'Version:0.9\nStartHTML:%08d\nEndHTML:%08d\nStartFragment:%08d\nEndFragment:%08d\n' 0 0 0 0)
start=$(( ${#hdr} + 1 ))
flen=$(printf '%s' "$frag" | wc -c)
data=$(printf 'Version:0.9\nStartHTML:%08d\nEndHTML:%08d\nStartFragment:%08d\nEndFragment:%08d\n%s' \
  $start $((start + flen + 7)) $((start + 3)) $((start + 3 + flen)) "$body")
printf '%s' "$data" | "$bin" --html -f tcvn3 >"$tmp/html"
field() { sed -n "s/^$1:0*//p" "$tmp/html"; }
sf=$(field StartFragment); ef=$(field EndFragment)
check "--html fragment at its new offsets" "đường" "$(tail -c +$((sf + 1)) "$tmp/html" | head -c $((ef - sf)))"
check "--html end offset" "$(wc -c <"$tmp/html")" "$(field EndHTML)"

# One gigabyte through a pipe in bounded memory.
if [ -x /usr/bin/time ]; then
  yes "$text" | head -c 1073741824 | /usr/bin/time -v "$bin" -t vni 2>"$tmp/time" | wc -c >"$tmp/count"
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/time")
  echo "     1 GB: output $(cat "$tmp/count") bytes, peak resident set ${rss} kB"
  check "1 GB in bounded memory" "yes" "$([ "${rss:-999999}" -lt 65536 ] && echo yes || echo no)"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi

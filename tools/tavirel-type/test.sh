#!/usr/bin/env bash
# Command-line tests of tavirel-type. Usage: test.sh path/to/tavirel-type
set -u
bin="$1"
failures=0

check() {  # name expected actual
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

check "telex sentence" "Tiếng Việt rất hay." "$("$bin" -e 'Tieengs Vieetj raats hay.')"
check "telex from stdin, lines kept" $'xin chào\nthế giới' "$(printf 'xin chaof\nthees giowis\n' | "$bin")"
check "crlf lines" $'một\nhai' "$(printf 'mootj\r\nhai\r\n' | "$bin")"
check "vni sentence" "Người Việt" "$("$bin" -m VNI -e 'Ngu7o72i Vie65t')"
check "viqr sentence" "Người Việt" "$("$bin" -m VIQR -e 'Ngu+o+`i Vie^.t')"
check "classic tone placement" "hòa" "$("$bin" -e 'hoaf')"
check "--set BoDauThanhKieu2=1" "hoà" "$("$bin" --set BoDauThanhKieu2=1 -e 'hoaf')"
check "--set Enabled=0 types plain keys" "tieengs" "$("$bin" --set Enabled=0 -e 'tieengs')"
check "backspace character" "vit" "$("$bin" -e $'vieetj\b\bt')"
check "byte table gives the encoded bytes" "7469d56e67" "$("$bin" -b 'TCVN3 (ABC)' -e 'tieengs' | od -An -tx1 | tr -d ' \n')"
check "multi-byte table" "746965e16e67" "$("$bin" -b 'VNI Windows' -e 'tieengs' | od -An -tx1 | tr -d ' \n')"
check "non-US characters pass as typed" "đã có ễ" "$("$bin" -e 'ddax cos ễ')"

"$bin" --set NoSuchKey=1 -e x >/dev/null 2>&1
check "unknown option fails" "2" "$?"
"$bin" -m "No such method" -e x >/dev/null 2>&1
check "unknown method fails" "2" "$?"
check "list of methods has Telex 2" "Telex 2" "$("$bin" --list-methods | grep -x 'Telex 2')"
check "list of tables starts with Unicode" "Unicode" "$("$bin" --list-tables | head -1)"

# Malformed UTF-8 and control bytes never crash.
printf '\xff\xfe a\xc3 \x01\x1b[A dd\xe1\x80\n' | "$bin" >/dev/null
check "malformed input" "0" "$?"

# A large input streams through: every line comes out converted.
tmp=$(mktemp)
for i in $(seq 1 2000); do echo "Tieengs Vieetj raats hay, nguwowif Vieetj Nam vaf thees giowis."; done > "$tmp"
for i in 1 2 3 4 5; do cat "$tmp"; done > "$tmp.big"
out=$("$bin" < "$tmp.big")
check "large input line count" "10000" "$(printf '%s\n' "$out" | wc -l | tr -d ' ')"
check "large input every line" "10000" "$(printf '%s\n' "$out" | grep -cx 'Tiếng Việt rất hay, người Việt Nam và thế giới.')"
rm -f "$tmp" "$tmp.big"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all passed"

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
check "--set SuaLoiChinhTaTuGhep=1 mends a compound" "buồn bã, cặn bã." \
  "$("$bin" --set SuaLoiChinhTaTuGhep=1 -e 'buoonf bar, cawnj bar.')"
check "non-US characters pass as typed" "đã có ễ" "$("$bin" -e 'ddax cos ễ')"

# Suggestions: the list after each line's last key, then an empty line.
check "suggestions per line" $'chương trình\nchương trình nghị sự\n\n\nchương trình\nchương trình nghị sự' \
  "$(printf 'chuwowng tr\nx\nCHUWOWNG TR' | "$bin" --suggestions --set SoLuongTuGoiY=2)"
check "suggestions limit" "12" "$("$bin" --suggestions --set SoLuongTuGoiY=12 -e 'ch' | grep -c .)"

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
# One 8 MB line without a space streams through in little memory (whole, it
# took over ten times its size).
yes tieengsvieetjabc | tr -d '\n' | head -c 8000000 > "$tmp.long"
check "long line in bounded memory" "8000000" "$( (ulimit -v 50000; "$bin" < "$tmp.long") | wc -c | tr -d ' ')"
check "long line kept as typed" "$(tail -c 40 "$tmp.long")" "$("$bin" < "$tmp.long" | tail -c 40)"
rm -f "$tmp" "$tmp.big" "$tmp.long"

# --config reads the three settings files as the Windows program does.
cfg=$(mktemp -d)
printf '\xef\xbb\xbf[LuaChon]\r\nKieuGo = VNI ; by numbers\r\nBoDauThanhKieu2=1\r\n' > "$cfg/LuaChon.ini"
printf 'header\nvn\tVi\xe1\xbb\x87t Nam\n' > "$cfg/GoTat.ini"
printf '[0]\nHotKey=65620\nName=ChuyenKieuGo\nParam=Telex 2\n' > "$cfg/PhimTat.ini"
check "--config options and shorthands" "Việt Nam hoà" "$("$bin" --config "$cfg" -e 'vn hoa2')"
check "--config then -m" "hoà" "$("$bin" --config "$cfg" -m 'Telex 2' -e 'hoaf')"
"$bin" --config "$cfg/none" -e x >/dev/null 2>&1
check "--config of a missing folder fails" "2" "$?"

# The terminal session, on a pseudo-terminal: keys are sent once the status
# line is shown, Ctrl+D once the field shows the expected text.
terminal() {  # config-folder keys expected-field
  local out fifo
  out=$(mktemp); fifo=$(mktemp -u); mkfifo "$fifo"
  ( script -qfec "$bin -i --config $1" "$out" < "$fifo" >/dev/null 2>&1 ) &
  local pid=$!
  exec 7>"$fifo"
  local i
  for i in $(seq 200); do grep -q 'Tavirel |' "$out" 2>/dev/null && break; sleep 0.1; done
  printf '%b' "$2" >&7
  for i in $(seq 200); do grep -qF "$3" "$out" 2>/dev/null && break; sleep 0.1; done
  printf '\004' >&7
  exec 7>&-
  for i in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null
  # The field is printed last, after the session leaves the alternate screen.
  sed -n 's/.*\x1b\[?1049l//p' "$out" | tr -d '\r' | tail -1
  rm -f "$out" "$fifo"
}
if command -v script >/dev/null; then
  empty=$(mktemp -d)
  # Home and End as ESC [1~ / ESC [4~; a key right after Esc is typed.
  check "terminal: Home, End, a key right after Esc" "xcabd" "$(terminal "$empty" 'ab\e[1~x\ec\e[4~d' xcabd)"
  # Alt+T from PhimTat.ini (ESC t) switches VNI to Telex 2 while typing.
  check "terminal: user hotkey from PhimTat.ini" "việt tiếng" "$(terminal "$cfg" 'vie65t \ettieengs' 'tiếng')"
  rm -rf "$empty"
fi
rm -rf "$cfg"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all passed"

#!/usr/bin/env bash
# Writes what the build machine's glibc iconv makes of GBK and UTF-8 samples, one line each:
#   <from> <to> <input hex> <OK|EILSEQ|EINVAL> <output hex, or - when empty>
# The output is what iconv wrote before it stopped.
set -eu
out="$1"
tmp="$out.partial"
: >"$tmp"

hex_to_bytes() { printf "$(printf '%s' "$1" | sed 's/../\\x&/g')"; }

convert() {  # from to hex
  local result status
  hex_to_bytes "$3" | iconv -f "$1" -t "$2" >"$tmp.out" 2>"$tmp.err" || true
  result=$(od -An -v -tx1 <"$tmp.out" | tr -d ' \n')
  status=EILSEQ
  [ -s "$tmp.err" ] || status=OK
  ! grep -q incomplete "$tmp.err" || status=EINVAL
  echo "$1 $2 $3 $status ${result:--}" >>"$tmp"
}

# Every trail byte after lead bytes whose rows are full (B0, D7 but its last five cells),
# hold symbols (A1), have unassigned cells (A8) or end in the user-defined area (FE).
for lead in b0 d7 a8 fe a1; do
  for trail in $(seq 64 255); do
    convert GBK UTF-8 "$lead$(printf '%02x' "$trail")"
  done
done
# Single bytes, lead bytes alone at the end, and a path with Chinese folder names.
for byte in $(seq 128 255); do
  convert GBK UTF-8 "$(printf '%02x' "$byte")"
done
path_gbk=$(printf 'C:\\程序\\时间同步\\Zorvane.exe' | iconv -f UTF-8 -t GBK | od -An -v -tx1 | tr -d ' \n')
convert GBK UTF-8 "$path_gbk"
convert GBK UTF-8 "41b0a1b0"
convert GBK UTF-8 "41b0a1b030"

# Back from UTF-8: what the rows above produced, and sequences that are cut, overlong,
# surrogates, beyond U+10FFFF or without a GBK form.
while read -r from to input status output; do
  if [ "$from" = GBK ] && [ "$status" = OK ] && [ "$output" != - ]; then
    convert UTF-8 GBK "$output"
  fi
done <"$tmp"
for sample in 41 c3a9 e282ac c2a0 e4b8ad e4b8 e4 c3 f09f98 f09f9880 41e4b8ad42ff43 41e4b8e4 \
              80 bf c0 c1 c0af c180 e080 e08041 e0a0 eda0 eda080 edbfbf f4908080 f490 f5 f5808080 \
              f7 f8 fb fc fd fe ff e041; do
  convert UTF-8 GBK "$sample"
done
rm -f "$tmp.out" "$tmp.err"
mv "$tmp" "$out"

#!/usr/bin/env bash
# The executable's export table holds the toolkit's three classes, all of their declared
# operations, and nothing else.
set -euo pipefail

: "${ZORVANE_EXE:?}" "${OBJDUMP:?}"

exported=$("$OBJDUMP" -p "$ZORVANE_EXE" |
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] \(.*\)$/\1/p')

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# stdcall functions carry MinGW's @<argument bytes> suffix.
expected=(
  _ZN4OHUI7ILayout14CreateInstanceEv
  _ZN4OHUI7ILayout14DeleteInstanceEPS0_
  _ZN4OHUI7ILayoutC1Ev
  _ZN4OHUI7ILayoutC2Ev
  _ZN4OHUI7ILayoutD0Ev
  _ZN4OHUI7ILayoutD1Ev
  _ZN4OHUI7ILayoutD2Ev
  _ZN4OHUI7ILayout4DrawEP5HDC__
  _ZN4OHUI7ILayout10UpdateSizeEiiii
  _ZN4OHUI7ILayout8__init__Ev
  _ZN4OHUI7ILayout8AddChildEPS0_
  _ZN4OHUI7ILayout12SetFloatTypeENS_10eFloatTypeE
  _ZNK4OHUI7ILayout12GetFloatTypeEv
  _ZN4OHUI7ILayout10SetBgColorEi
  _ZN4OHUI7ILayout7SetFontEPKc
  _ZN4OHUI7ILayout8SetWidthEf
  _ZN4OHUI7ILayout9SetHeightEf
  _ZN4OHUI7ILayout13UpdatePaddingEiiii
  _ZN4OHUI7ILayout13UpdateMargingEiiii
  _ZN4OHUI7ILayout7GetRectEv
  _ZTVN4OHUI7ILayoutE
  _ZTIN4OHUI7ILayoutE
  _ZN4OHUI9IWndShape14CreateInstanceEP6HWND__
  _ZN4OHUI9IWndShapeC1EP6HWND__
  _ZN4OHUI9IWndShapeC2EP6HWND__
  _ZN4OHUI9IWndShapeD0Ev
  _ZN4OHUI9IWndShapeD1Ev
  _ZN4OHUI9IWndShapeD2Ev
  _ZN4OHUI9IWndShape4DrawEP5HDC__
  _ZN4OHUI9IWndShape10UpdateSizeEiiii
  _ZTVN4OHUI9IWndShapeE
  _ZTIN4OHUI9IWndShapeE
  _ZN8CBaseDlgC1EP6HWND__
  _ZN8CBaseDlgC2EP6HWND__
  _ZN8CBaseDlgD0Ev
  _ZN8CBaseDlgD1Ev
  _ZN8CBaseDlgD2Ev
  _ZN8CBaseDlg4DrawEP5HDC__
  _ZN8CBaseDlg7WndProcEjjl
  _ZN8CBaseDlg6CreateEP6HWND__P11HINSTANCE__
  _ZN8CBaseDlg6CreateEPU7stdcallFlP6HWND__jjlEPKcS1_P11HINSTANCE__
  _ZN8CBaseDlg9STWndProcEP6HWND__jjl@16
  _ZNK8CBaseDlg7GetHwndEv
  _ZNK8CBaseDlg9GetParentEv
  _ZN8CBaseDlg9SetParentEP6HWND__
  _ZNK8CBaseDlg7GetRectEv
  _ZN8CBaseDlg10SetBgColorEi
  _ZTV8CBaseDlg
  _ZTI8CBaseDlg
)

[ -n "$exported" ] || fail "no exported names in $ZORVANE_EXE"

for name in "${expected[@]}"; do
  grep -qxF -- "$name" <<<"$exported" || fail "not exported: $name"
done

# Members (N/NK), vtables (TV), typeinfo (TI) and typeinfo names (TS) of the three classes.
own='^_Z(NK?(4OHUI7ILayout|4OHUI9IWndShape|8CBaseDlg)|T[VIS](N4OHUI7ILayoutE|N4OHUI9IWndShapeE|8CBaseDlg)$)'
while IFS= read -r name; do
  [ -n "$name" ] || continue
  grep -qE -- "$own" <<<"$name" || fail "exported but not the toolkit's: $name"
done <<<"$exported"

count=$(grep -c . <<<"$exported" || true)
echo "$count exported names checked"
[ "$failures" -eq 0 ]

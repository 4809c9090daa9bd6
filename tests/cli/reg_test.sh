#!/usr/bin/env bash
# Drives `vantreel reg` as an administrator does, against a registry of its
# own: standard output, standard error and exit statuses of query, add,
# delete, copy, import and export, and the questions answered from standard
# input (none at all counts as No).
set -u
tool=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTREEL_REGISTRY=$work/registry.db
source "$(dirname "$0")/check.sh"

# reg ARGS...: runs the tool with no standard input; status in $status.
reg() {
    "$tool" reg "$@" </dev/null >"$work/out" 2>"$work/err"
    status=$?
}

# reg_answering ANSWER ARGS...: the same with ANSWER on standard input.
reg_answering() {
    local answer=$1
    shift
    printf '%s\n' "$answer" | "$tool" reg "$@" >"$work/out" 2>"$work/err"
    status=$?
}

out_is() { printf '%s' "$1" | cmp -s - "$work/out"; }
err_is() { printf '%s' "$1" | cmp -s - "$work/err"; }

ok=$'The operation completed successfully.\n'
missing=$'ERROR: The system was unable to find the specified registry key or value.\n'

# ---- add and query ------------------------------------------------------------

reg add 'HKLM\SOFTWARE\Shop' /v Name /d 'Bolt "M6"' /f
check "add exits 0" test $status -eq 0
check "add reports success" out_is "$ok"
check "add writes nothing on standard error" test ! -s "$work/err"

reg add 'hklm\software\shop' /V Count /T reg_dword /D 42
reg add 'HKLM\SOFTWARE\Shop' /ve /d 'the default'
reg add 'HKLM\SOFTWARE\Shop\Sizes' /v List /t REG_MULTI_SZ /d 'M4#M5#M6' /s '#'
reg add 'HKEY_LOCAL_MACHINE\SOFTWARE\Shop\Sizes' /v Big /t REG_QWORD /d 0x100000000
reg add 'HKLM\SOFTWARE\Shop\Sizes\Deep' /v Blob /t REG_BINARY /d 00ff1A
reg add 'HKLM\SOFTWARE\Shop\Sizes\Deep' /v Path /t REG_EXPAND_SZ /d '%TEMP%\x'
reg add 'HKLM\SOFTWARE\Shop\Empty'
check "adding a key alone exits 0" test $status -eq 0

reg query 'HKLM\SOFTWARE\Shop'
check "query exits 0" test $status -eq 0
check "query lists values, then subkeys in alphabetical order" out_is $'
HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop
    Name    REG_SZ    Bolt "M6"
    Count    REG_DWORD    0x2a
    (Default)    REG_SZ    the default

HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop\\Empty
HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop\\Sizes

'

reg query 'hklm\software\shop\' /s
check "query /s lists the whole tree" out_is $'
HKEY_LOCAL_MACHINE\\software\\shop
    Name    REG_SZ    Bolt "M6"
    Count    REG_DWORD    0x2a
    (Default)    REG_SZ    the default

HKEY_LOCAL_MACHINE\\software\\shop\\Empty

HKEY_LOCAL_MACHINE\\software\\shop\\Sizes
    List    REG_MULTI_SZ    M4\\0M5\\0M6
    Big    REG_QWORD    0x100000000

HKEY_LOCAL_MACHINE\\software\\shop\\Sizes\\Deep
    Blob    REG_BINARY    00FF1A
    Path    REG_EXPAND_SZ    %TEMP%\\x

'

reg query 'HKLM\SOFTWARE\Shop' /v count
check "query /v exits 0" test $status -eq 0
check "query /v shows the one value" out_is $'
HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop
    Count    REG_DWORD    0x2a

'

reg query 'HKLM\SOFTWARE\Shop\Empty' /ve
check "query /ve of an unset default exits 0" test $status -eq 0
check "an unset default shows as not set" out_is $'
HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop\\Empty
    (Default)    REG_SZ    (value not set)

'

reg query 'HKLM\SOFTWARE\Shop' /v Path /s
check "query /v /s finds the value below" out_is $'
HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop\\Sizes\\Deep
    Path    REG_EXPAND_SZ    %TEMP%\\x

End of search: 1 match(es) found.
'

reg query 'HKLM\SOFTWARE\Shop' /v Nothing
check "query of a missing value exits 1" test $status -eq 1
check "a missing value is reported on standard error" err_is "$missing"
check "nothing is printed for a missing value" test ! -s "$work/out"

reg query 'HKLM\SOFTWARE\NoSuchKey'
check "query of a missing key exits 1" test $status -eq 1
check "a missing key is reported" err_is "$missing"

# ---- bad command lines --------------------------------------------------------

reg query
check "query without a key exits 1" test $status -eq 1
check "query without a key is invalid syntax" \
    err_is $'ERROR: Invalid syntax.\nType "REG QUERY /?" for usage.\n'

reg query 'HKLM\SOFTWARE\Shop' /v Name /ve
check "/v with /ve is invalid syntax" grep -q "^ERROR: Invalid syntax.$" "$work/err"

reg add 'HKCU\Software\Shop' /v x /d y /f
check "a hive not kept here exits 1" test $status -eq 1
check "a hive not kept here is named" \
    err_is $'ERROR: HKEY_CURRENT_USER is not kept in this registry; only HKLM and HKCR are.\nType "REG ADD /?" for usage.\n'
reg add 'HKXX\Software\Shop' /v x /d y /f
check "an unknown hive is an invalid key name" \
    err_is $'ERROR: Invalid key name.\nType "REG ADD /?" for usage.\n'

reg add 'HKLM\SOFTWARE\Shop' /v Count /t REG_DWORD /d 12abc /f
check "a bad number exits 1" test $status -eq 1
check "a bad number is named" grep -q "'/d' needs a decimal or 0x hex number" "$work/err"
reg add 'HKLM\SOFTWARE\Shop' /v Count /t REG_DWORD /d 4294967296 /f
check "a number above 32 bits is refused for REG_DWORD" test $status -eq 1
reg add 'HKLM\SOFTWARE\Shop' /v Blob /t REG_BINARY /d abg /f
check "a REG_BINARY that is not hex is refused" test $status -eq 1
reg add 'HKLM\SOFTWARE\Shop' /v Link /t REG_LINK /d x /f
check "a type reg add does not write is refused" test $status -eq 1
reg query 'HKLM\SOFTWARE\Shop' /v Count
check "the refused changes left the value alone" grep -q "Count    REG_DWORD    0x2a" "$work/out"

reg frobnicate
check "an unknown operation exits 1" test $status -eq 1
check "an unknown operation points to the usage" \
    err_is $'ERROR: Invalid syntax.\nType "REG /?" for usage.\n'
reg
check "no operation exits 1" test $status -eq 1
reg /?
check "reg /? exits 0" test $status -eq 0
check "reg /? lists the operations" grep -q "QUERY | ADD | DELETE | COPY | IMPORT | EXPORT" \
    "$work/out"
reg add /?
check "reg add /? shows its usage" grep -q "^REG ADD KeyName" "$work/out"

# ---- questions ------------------------------------------------------------------

reg add 'HKLM\SOFTWARE\Shop' /v Name /d 'changed'
check "overwriting without /f and without an answer exits 1" test $status -eq 1
check "overwriting asks first" grep -q "^Value Name exists, overwrite(Yes/No)? " "$work/out"
reg query 'HKLM\SOFTWARE\Shop' /v Name
check "no answer leaves the value alone" grep -q 'Name    REG_SZ    Bolt "M6"' "$work/out"

reg_answering maybe add 'HKLM\SOFTWARE\Shop' /v Name /d 'changed'
check "an answer that is neither yes nor no asks again, then reads the end as No" \
    test "$(grep -o 'overwrite(Yes/No)?' "$work/out" | wc -l)" -eq 2
reg_answering y add 'HKLM\SOFTWARE\Shop' /v Name /d 'changed'
check "answering y overwrites" test $status -eq 0
reg query 'HKLM\SOFTWARE\Shop' /v Name
check "the overwritten value reads back" grep -q 'Name    REG_SZ    changed' "$work/out"

# ---- copy ---------------------------------------------------------------------------

reg copy 'HKLM\SOFTWARE\Shop' 'HKLM\SOFTWARE\Copy' /s /f
check "copy /s exits 0" test $status -eq 0
check "copy reports success" out_is "$ok"
reg query 'HKLM\SOFTWARE\Copy' /s
sed 's/\\Copy/\\Shop/' "$work/out" >"$work/copied"
reg query 'HKLM\SOFTWARE\Shop' /s
check "the copy holds the same tree" \
    test -s "$work/copied" -a "$(cmp -s "$work/copied" "$work/out"; echo $?)" -eq 0

reg copy 'HKLM\SOFTWARE\Shop\Sizes' 'HKLM\SOFTWARE\Flat'
reg query 'HKLM\SOFTWARE\Flat' /s
check "copy without /s copies the values only" \
    test "$(grep -c '^HKEY' "$work/out")" -eq 1 -a "$(grep -c 'REG_' "$work/out")" -eq 2

reg add 'HKLM\SOFTWARE\Target' /v Name /d mine /f
reg copy 'HKLM\SOFTWARE\Shop' 'HKLM\SOFTWARE\Target'
check "copy over an existing value asks" grep -q "Value Name exists in HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Target, overwrite(Yes/No/All)? " "$work/out"
reg query 'HKLM\SOFTWARE\Target'
check "the value answered No is kept" grep -q 'Name    REG_SZ    mine' "$work/out"
check "the other values are copied" grep -q 'Count    REG_DWORD    0x2a' "$work/out"

reg copy 'HKLM\SOFTWARE\Shop' 'hklm\software\shop\' /s /f
check "copying a key onto itself exits 1" test $status -eq 1
reg copy 'HKLM\SOFTWARE\Nowhere' 'HKLM\SOFTWARE\Else' /f
check "copying a missing key exits 1" test $status -eq 1
check "a missing source is reported" err_is "$missing"

# ---- export and import ----------------------------------------------------------------

reg export 'HKLM\SOFTWARE\Shop' "$work/shop.reg"
check "export exits 0" test $status -eq 0
check "export reports success" out_is "$ok"
check "the export is UTF-16LE with a byte order mark" \
    test "$(head -c 2 "$work/shop.reg" | od -An -tx1 | tr -d ' ')" = fffe

cp "$work/shop.reg" "$work/before.reg"
reg add 'HKLM\SOFTWARE\Shop' /v Later /d x /f
reg export 'HKLM\SOFTWARE\Shop' "$work/shop.reg"
check "export over a file without /y and without an answer exits 1" test $status -eq 1
check "export asks before overwriting" grep -q "already exists. Overwrite (Yes/No)? " "$work/out"
check "the file is left as it was" cmp -s "$work/shop.reg" "$work/before.reg"
reg export 'HKLM\SOFTWARE\Shop' "$work/shop.reg" /y
check "export /y overwrites" test $status -eq 0
check "the overwritten file holds the new value" \
    test "$(cmp -s "$work/shop.reg" "$work/before.reg"; echo $?)" -eq 1

VANTREEL_REGISTRY=$work/other.db "$tool" reg import "$work/shop.reg" >"$work/out" 2>"$work/err"
check "import exits 0" test $? -eq 0
check "import reports success" out_is "$ok"
VANTREEL_REGISTRY=$work/other.db "$tool" reg export 'HKLM\SOFTWARE\Shop' "$work/again.reg" \
    >/dev/null 2>&1
check "export, import, export gives the same bytes" cmp -s "$work/shop.reg" "$work/again.reg"

reg import "$data/windows_station.reg"
check "a file written by Windows imports" test $status -eq 0
reg export 'HKLM\SOFTWARE\Korvessa' "$work/station.reg"
check "and exports back to the same bytes" cmp -s "$work/station.reg" "$data/windows_station.reg"

reg export 'HKLM\SOFTWARE\Shop' "$work/before.reg" /y
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop]\r\n"Name"=-\r\n"New"="1"\r\n"Bad"=dword:xyz\r\n' \
    >"$work/bad.reg"
reg import "$work/bad.reg"
check "a malformed file exits 1" test $status -eq 1
check "a malformed file is named with its line" \
    grep -q "^ERROR: $work/bad.reg, line 6: " "$work/err"
reg export 'HKLM\SOFTWARE\Shop' "$work/after.reg" /y
check "a malformed file changes nothing" cmp -s "$work/before.reg" "$work/after.reg"

reg import "$work/none.reg"
check "a missing file exits 1" test $status -eq 1
check "a missing file is named" grep -q "$work/none.reg cannot be read" "$work/err"
reg export 'HKLM\SOFTWARE\Nowhere' "$work/nowhere.reg"
check "exporting a missing key exits 1" test $status -eq 1
check "exporting a missing key writes no file" test ! -e "$work/nowhere.reg"

# ---- delete ---------------------------------------------------------------------------

reg delete 'HKLM\SOFTWARE\Shop' /v Name
check "delete without /f and without an answer exits 1" test $status -eq 1
check "delete asks first" grep -q "^Delete the registry value Name (Yes/No)? " "$work/out"
reg query 'HKLM\SOFTWARE\Shop' /v Name
check "no answer keeps the value" test $status -eq 0

reg delete 'HKLM\SOFTWARE\Shop' /v Name /f
check "delete /v /f exits 0" test $status -eq 0
check "delete reports success" out_is "$ok"
reg query 'HKLM\SOFTWARE\Shop' /v Name
check "the deleted value is gone" test $status -eq 1
reg delete 'HKLM\SOFTWARE\Shop' /v Name /f
check "deleting a missing value exits 1" test $status -eq 1

reg delete 'HKLM\SOFTWARE\Shop' /ve /f
reg query 'HKLM\SOFTWARE\Shop' /ve
check "delete /ve removes the default value" grep -q "(value not set)" "$work/out"

reg delete 'HKLM\SOFTWARE\Shop\Sizes' /va /f
reg query 'HKLM\SOFTWARE\Shop\Sizes' /s
check "delete /va removes the values and keeps the subkeys" \
    test "$(grep -c 'REG_' "$work/out")" -eq 2 -a "$(grep -c 'Blob' "$work/out")" -eq 1

reg delete 'HKLM\SOFTWARE\Shop'
check "deleting a key asks first" \
    grep -q "^Permanently delete the registry key HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Shop (Yes/No)? " \
    "$work/out"
reg query 'HKLM\SOFTWARE\Shop'
check "no answer keeps the key" test $status -eq 0
reg_answering yes delete 'HKLM\SOFTWARE\Shop'
check "answering yes deletes the key" test $status -eq 0
reg query 'HKLM\SOFTWARE\Shop\Sizes'
check "the key and everything below it are gone" test $status -eq 1
reg delete 'HKLM\SOFTWARE\Shop' /f
check "deleting a missing key exits 1" test $status -eq 1
reg delete 'HKLM' /f
check "a hive cannot be deleted" test $status -eq 1
reg query 'HKLM\SOFTWARE\Copy'
check "the other keys are still there" test $status -eq 0

echo "cli.reg: $failures failed"
exit $((failures > 0))

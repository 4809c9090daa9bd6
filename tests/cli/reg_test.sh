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

# ---- reg.exe details a station administrator uses --------------------------------

# reg add: each case is what it is, the arguments after the value name, and
# the line query shows for the stored value.
while IFS='|' read -r what args shown; do
    eval "reg add 'HKLM\\SOFTWARE\\Types' /v V $args /f"
    check "add $what exits 0" test $status -eq 0
    reg query 'HKLM\SOFTWARE\Types' /v V
    check "add $what stores what reg.exe stores" grep -qxF "    V    $shown" "$work/out"
done <<'CASES'
a DWORD with a plus sign|/t REG_DWORD /d +5|REG_DWORD    0x5
a hex DWORD with a plus sign|/t REG_DWORD /d +0x1F|REG_DWORD    0x1f
a big-endian DWORD|/t REG_DWORD_BIG_ENDIAN /d 0x01020304|REG_DWORD_BIG_ENDIAN    0x1020304
a decimal big-endian DWORD|/t REG_DWORD_BIG_ENDIAN /d 258|REG_DWORD_BIG_ENDIAN    0x102
an odd number of binary digits|/t REG_BINARY /d 123|REG_BINARY    0123
one binary digit|/t REG_BINARY /d f|REG_BINARY    0F
an even number of binary digits|/t REG_BINARY /d 00ff|REG_BINARY    00FF
REG_NONE with text|/t REG_NONE /d TEXT|REG_NONE    54004500580054000000
REG_NONE without data|/t REG_NONE|REG_NONE    
CASES
reg add 'HKLM\SOFTWARE\Types' /v V /t REG_NONE /d TEXT /f
reg export 'HKLM\SOFTWARE\Types' "$work/types.reg" /y
check "REG_NONE text exports as Windows writes it" \
    grep -q '"V"=hex(0):54,00,45,00,58,00,54,00,00,00' <(iconv -f UTF-16LE -t UTF-8 "$work/types.reg")
reg add 'HKLM\SOFTWARE\Types' /v V /t REG_DWORD /d -5 /f
check "a negative DWORD is refused" test $status -eq 1

# The 32- and 64-bit views are one view here, whichever path names it.
reg add 'HKLM\SOFTWARE\WOW6432Node\Korvessa\Common' /v RepositoryRoot /d 'D:\Parts' /f /reg:32
check "add in the 32-bit view exits 0" test $status -eq 0
reg query 'HKLM\SOFTWARE\Korvessa\Common' /v RepositoryRoot /reg:64
check "the 32-bit view's key is the key" grep -qxF '    RepositoryRoot    REG_SZ    D:\Parts' "$work/out"
reg query 'HKLM\SOFTWARE' /reg:32
check "no WOW6432Node key is listed" test "$(grep -ci 'wow6432node' "$work/out")" -eq 0
reg query 'HKLM\SOFTWARE' /reg:32 /reg:64
check "both views at once is invalid syntax" grep -q "^ERROR: Invalid syntax.$" "$work/err"

# HKEY_CLASSES_ROOT is HKLM\SOFTWARE\Classes, both ways.
reg add 'HKCR\Korvessa.Part\Clsid' /ve /d '{11}' /f
reg query 'HKLM\SOFTWARE\Classes\Korvessa.Part\Clsid' /ve
check "HKCR is seen under HKLM\\SOFTWARE\\Classes" grep -qxF '    (Default)    REG_SZ    {11}' "$work/out"
reg add 'HKLM\SOFTWARE\Classes\Korvessa.Folder\Clsid' /ve /d '{12}' /f
reg query 'HKCR\Korvessa.Folder\Clsid' /ve
check "HKLM\\SOFTWARE\\Classes is seen under HKCR" grep -qxF '    (Default)    REG_SZ    {12}' "$work/out"
reg copy 'HKCR\Korvessa.Part' 'HKLM\SOFTWARE\Classes\Korvessa.Part' /s /f
check "copying a key onto its other name exits 1" test $status -eq 1
reg export 'HKCR\Korvessa.Part' "$work/part.reg" /y
check "an HKCR export names HKEY_CLASSES_ROOT" \
    grep -qxF '[HKEY_CLASSES_ROOT\Korvessa.Part\Clsid]' <(iconv -f UTF-16LE -t UTF-8 "$work/part.reg" | tr -d '\r')
reg delete 'HKLM\SOFTWARE' /f
check "the key holding HKCR cannot be deleted" test $status -eq 1
reg delete 'HKCR' /f
check "HKCR cannot be deleted" test $status -eq 1
reg query 'HKCR\Korvessa.Folder'
check "and is still there" test $status -eq 0

# reg query /f: a tree with a key, value names and data to find.
reg add 'HKLM\SOFTWARE\Find\Bolts' /v Size /d M6 /f
reg add 'HKLM\SOFTWARE\Find\Nuts' /v BoltSize /d M8 /f
reg add 'HKLM\SOFTWARE\Find\Nuts' /v Count /t REG_DWORD /d 12 /f
reg add 'HKLM\SOFTWARE\Find' /v Note /d 'bolt and nut' /f
reg add 'HKLM\SOFTWARE\Find' /v List /t REG_MULTI_SZ /d 'a\0Bolt' /f
# Each case: the switches, then the lines of the result (| for a line break).
while IFS='!' read -r switches expected; do
    eval "reg query 'HKLM\\SOFTWARE\\Find' $switches"
    printf '%s' "$expected" | tr '|' '\n' >"$work/expected"
    check "query $switches" cmp -s "$work/expected" "$work/out"
done <<'CASES'
/f bolt /s!|HKEY_LOCAL_MACHINE\SOFTWARE\Find|    Note    REG_SZ    bolt and nut|    List    REG_MULTI_SZ    a\0Bolt||HKEY_LOCAL_MACHINE\SOFTWARE\Find\Bolts|HKEY_LOCAL_MACHINE\SOFTWARE\Find\Nuts|    BoltSize    REG_SZ    M8||End of search: 4 match(es) found.|
/f bolt!|HKEY_LOCAL_MACHINE\SOFTWARE\Find|    Note    REG_SZ    bolt and nut|    List    REG_MULTI_SZ    a\0Bolt||HKEY_LOCAL_MACHINE\SOFTWARE\Find\Bolts|End of search: 3 match(es) found.|
/f bolt /k /s!|HKEY_LOCAL_MACHINE\SOFTWARE\Find\Bolts|End of search: 1 match(es) found.|
/f bolt /v /s!|HKEY_LOCAL_MACHINE\SOFTWARE\Find\Nuts|    BoltSize    REG_SZ    M8||End of search: 1 match(es) found.|
/f bolt /d /s /se ,!|HKEY_LOCAL_MACHINE\SOFTWARE\Find|    Note    REG_SZ    bolt and nut|    List    REG_MULTI_SZ    a,Bolt||End of search: 2 match(es) found.|
/f Bolt /c /s!|HKEY_LOCAL_MACHINE\SOFTWARE\Find|    List    REG_MULTI_SZ    a\0Bolt||HKEY_LOCAL_MACHINE\SOFTWARE\Find\Bolts|HKEY_LOCAL_MACHINE\SOFTWARE\Find\Nuts|    BoltSize    REG_SZ    M8||End of search: 3 match(es) found.|
/f bolts /e /s!|HKEY_LOCAL_MACHINE\SOFTWARE\Find\Bolts|End of search: 1 match(es) found.|
/f M6 /e /d /s!|HKEY_LOCAL_MACHINE\SOFTWARE\Find\Bolts|    Size    REG_SZ    M6||End of search: 1 match(es) found.|
/f 0xc /d /t REG_DWORD /s /z!|HKEY_LOCAL_MACHINE\SOFTWARE\Find\Nuts|    Count    REG_DWORD (4)    0xc||End of search: 1 match(es) found.|
/f '*' /t REG_SZ,REG_DWORD /s!|HKEY_LOCAL_MACHINE\SOFTWARE\Find|    Note    REG_SZ    bolt and nut||HKEY_LOCAL_MACHINE\SOFTWARE\Find\Bolts|    Size    REG_SZ    M6||HKEY_LOCAL_MACHINE\SOFTWARE\Find\Nuts|    BoltSize    REG_SZ    M8|    Count    REG_DWORD    0xc||End of search: 4 match(es) found.|
/f nothing /s!|End of search: 0 match(es) found.|
CASES
reg query 'HKLM\SOFTWARE\Find' /f nothing /s
check "a search that finds nothing exits 1" test $status -eq 1
reg query 'HKLM\SOFTWARE\Find' /k
check "/k without /f is invalid syntax" grep -q "^ERROR: Invalid syntax.$" "$work/err"
reg query 'HKLM\SOFTWARE\Find' /f x /t REG_FOO
check "an unknown /t type is refused" test $status -eq 1
reg query 'HKLM\SOFTWARE\Find' /se ab
check "a separator of two characters is refused" test $status -eq 1

# A station export with sections of hives not kept here imports the rest
# and names each skipped section on standard error.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Shop]\r\n"a"="1"\r\n\r\n[HKLM\\SOFTWARE\\Mixed]\r\n"b"="C:\\Temp\\new"\r\n' \
    | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/mixed.reg"
reg import "$work/mixed.reg"
check "an import with a user section exits 0" test $status -eq 0
check "the skipped section is named with its line" \
    grep -qF "WARNING: $work/mixed.reg, line 3: [HKEY_CURRENT_USER\\Software\\Shop] is skipped" "$work/err"
check "and only it" test "$(wc -l <"$work/err")" -eq 1
reg query 'HKLM\SOFTWARE\Mixed' /v b
check "the kept section is imported, single backslashes as written" \
    grep -qxF '    b    REG_SZ    C:\Temp\new' "$work/out"

# A 64-bit Windows station's export (the library's keys in the 32-bit view):
# `config` reads the station's repository root from it.
export VANTREEL_REGISTRY=$work/station64.db
reg import "$data/windows64_station.reg"
check "a 64-bit station's export imports" test $status -eq 0
check "the library reads the station's repository root" \
    test "$("$tool" config repository-root Tellurim 2>&1)" = 'E:\Operator parts'
export VANTREEL_REGISTRY=$work/registry.db

# Deep trees: 512 levels are kept; a copy that would go deeper writes nothing.
deep='HKLM\SOFTWARE\Deep'
for ((level = 3; level <= 512; level++)); do deep+='\k'; done
reg add "$deep" /v v /d x /f
check "a key 512 levels deep can be added" test $status -eq 0
reg add "$deep\\k" /f
check "a key 513 levels deep is refused" test $status -eq 1
reg copy 'HKLM\SOFTWARE\Deep' 'HKLM\SOFTWARE\Deep2\Below' /s /f
check "a copy that would go too deep exits 1" test $status -eq 1
reg query 'HKLM\SOFTWARE\Deep2'
check "and leaves nothing behind" test $status -eq 1
reg query 'HKLM\SOFTWARE\Deep' /s
# (every key below Deep; Deep itself, holding no value, has no heading)
check "a deep tree can be listed" test "$(grep -c '^HKEY' "$work/out")" -eq 510
reg export 'HKLM\SOFTWARE\Deep' "$work/deep.reg" /y
check "a deep tree can be exported" test $status -eq 0
VANTREEL_REGISTRY=$work/deep.db "$tool" reg import "$work/deep.reg" >/dev/null 2>&1
check "and imported again" test $? -eq 0

echo "cli.reg: $failures failed"
exit $((failures > 0))

#!/usr/bin/env bash
# Builds the Windows programs (static, from the dependency cache), runs the
# unit and Qt tests under Wine, checks the .exe files and the zip, and runs the
# Windows kestrune-cli against the Linux sample forum, byte for byte against
# the Linux build. Run after scripts/run-tests.sh, which builds build/.
#   KESTRUNE_WIN_DEPS   dependency cache (see scripts/build-windows-deps.sh)
#   KESTRUNE_LINUX_BUILD  Linux build with the sample forum and kestrune-cli (build)
#   KESTRUNE_WIN_CTEST    0 leaves out the unit and Qt tests (default 1)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
linux=${KESTRUNE_LINUX_BUILD:-build}
win=build-win
started=$SECONDS

step() { printf '\n== %s (%ds)\n' "$*" $((SECONDS - started)); }
fail() { echo "FAIL: $*" >&2; exit 1; }

step "dependencies"
scripts/build-windows-deps.sh

step "build"
cmake --preset windows >/dev/null
cmake --build --preset windows

# Wine takes its code pages from the Linux locale, and a locale that is not
# installed silently turns the command line into 7-bit ASCII (河大 arrives as
# f23e$'); so both locales are made here, without touching the system.
export LOCPATH=$repo/$win/locale
mkdir -p "$LOCPATH"
for locale in zh_CN en_US; do
    [ -e "$LOCPATH/$locale.UTF-8/LC_CTYPE" ] ||
        localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8" 2>/dev/null ||
        [ -e "$LOCPATH/$locale.UTF-8/LC_CTYPE" ] || fail "localedef $locale.UTF-8"
done
export LC_ALL=zh_CN.UTF-8
export KESTRUNE_WINEPREFIX=$repo/$win/wineprefix WINEPREFIX=$repo/$win/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$repo/scripts/wine-run.sh
"$wine" cmd /c exit >/dev/null 2>&1 || true # makes the prefix on first use
wineserver -p 60 || true # stays up between programs, so each starts in well under a second
trap 'wineserver -k 2>/dev/null || true' EXIT

if [ "${KESTRUNE_WIN_CTEST:-1}" = 1 ]; then
    step "unit and Qt tests under Wine"
    ctest --preset windows -j2
fi

step "programs"
cli=$repo/$win/app/kestrune-cli.exe
gui=$repo/$win/app/gui/kestrune.exe
for exe in "$cli" "$gui"; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
    for dll in $dlls; do
        case $dll in
            libgcc* | libstdc++* | libwinpthread* | qt6* | libcurl* | zlib*)
                fail "$(basename "$exe") needs $dll" ;;
        esac
    done
    printf '%-16s %9d bytes, imports: %s\n' "$(basename "$exe")" "$(stat -c %s "$exe")" \
        "$(echo $dlls)"
done
grep -q 'Subsystem.*(Windows GUI)' <<<"$(x86_64-w64-mingw32-objdump -p "$gui")" ||
    fail "kestrune.exe is not a GUI-subsystem program"
grep -q 'Subsystem.*(Windows CUI)' <<<"$(x86_64-w64-mingw32-objdump -p "$cli")" ||
    fail "kestrune-cli.exe is not a console program"
grep -q 'type=14' <<<"$(wrestool -l "$gui")" || fail "kestrune.exe has no icon"
icons=$(wrestool -x --raw --type=14 "$gui" | wc -c)
[ "$icons" -gt 0 ] || fail "kestrune.exe: empty icon group"
version=$(wrestool -x --raw --type=16 "$gui" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -d '\0' || true)
for text in 080404B0 'FileVersion' '1.1.0' 'Kestrune'; do
    grep -qa "$text" <<<"$version" || fail "version resource lacks $text"
done
[[ "$(wrestool -x --raw --type=16 "$gui" | od -An -tx1 | tr -d ' \n')" == *0408b004* ]] ||
    fail "version resource lacks the 0804/1200 translation"
echo "icon and version resource (080404B0, 1.1.0) present; GUI subsystem"

step "zip"
(cd $win && cpack --preset windows >/dev/null 2>&1 || cpack -G ZIP >/dev/null)
zip=$win/kestrune-1.1.0-win64.zip
[ -f "$zip" ] || fail "no $zip"
listing=$(cmake -E tar tf "$zip")
for file in kestrune.exe kestrune-cli.exe LICENSE.txt README.txt; do
    grep -qx "kestrune-1.1.0-win64/$file" <<<"$listing" || fail "zip lacks $file"
done
printf '%s: %d bytes\n%s\n' "$zip" "$(stat -c %s "$zip")" "$listing"

step "command line against the Linux sample forum"
work=$repo/$win/itest
rm -rf "$work" && mkdir -p "$work"
# shellcheck source=scripts/sample-forum.sh
source "$repo/scripts/sample-forum.sh"
start_sample_forum "$linux/tools/sampleforum/kestrune-sample-forum" ||
    fail "sample forum did not start"
host=$sample_forum_host

# run NAME LOCALE FORUM FROM TO: one export by each build, in folders whose
# names have Chinese characters and spaces; the results must match byte for byte.
run() {
    local name=$1 locale=$2 forumName=$3 from=$4 to=$5
    local linuxDir="$work/$name/linux 导出" winDir="$work/$name/windows 导出 目录"
    mkdir -p "$linuxDir" "$winDir"
    (cd "$linuxDir" && LC_ALL=C.UTF-8 "$repo/$linux/app/kestrune-cli" --host "$host" \
        --forum "$forumName" --from "$from" --to "$to" --delay 0 >stdout 2>stderr) ||
        fail "$name: Linux build failed: $(cat "$linuxDir/stderr")"
    (cd "$winDir" && LC_ALL=$locale "$wine" "$cli" --host "$host" --forum "$forumName" \
        --from "$from" --to "$to" --delay 0 >stdout 2>stderr) ||
        fail "$name: Windows build failed: $(iconv -f GBK -t UTF-8 "$winDir/stderr" 2>/dev/null)"
    cmp "$linuxDir/jieguo.txt" "$winDir/jieguo.txt" || fail "$name: jieguo.txt differs"
    cmp "$linuxDir/temp.txt" "$winDir/temp.txt" || fail "$name: temp.txt differs"
    echo "$name ($locale): $(wc -l <"$winDir/jieguo.txt") lines, identical"
}
run henu zh_CN.UTF-8 Henu 1 400
run heda zh_CN.UTF-8 河大 1 100
run zhongwenba-english-windows en_US.UTF-8 中文吧 21 80

# The finished message: UTF-16 to a console, the ANSI code page to a file.
done_gbk=$(printf '\xb5\xbc\xb3\xf6\xcd\xea\xb3\xc9\xa3\xa1\r')
done_1252='????!'$'\r' # ！ has a best fit in 1252
[ "$(cat "$work/heda/windows 导出 目录/stdout")" = "$done_gbk" ] ||
    fail "redirected output in a Chinese locale is not GBK"
[ "$(cat "$work/zhongwenba-english-windows/windows 导出 目录/stdout")" = "$done_1252" ] ||
    fail "redirected output in an English locale is not code page 1252"
for locale in zh_CN.UTF-8 en_US.UTF-8; do
    mkdir -p "$work/console-$locale" && cd "$work/console-$locale"
    # `script` gives Wine a terminal, so the program has a real console.
    LC_ALL=$locale script -qec "'$wine' '$cli' --host $host --to 20 --delay 0" /dev/null \
        >console.txt </dev/null
    grep -q '导出完成！' console.txt || fail "console output in $locale: $(cat console.txt)"
    cd "$repo"
    echo "console ($locale): 导出完成！ readable"
done

step "HTTPS against the Linux TLS test forum"
# https KIND HOST STATUS [TEXT...]: one page through the TLS test forum with
# its CA named, as a user behind a re-signing proxy would; the exit status and
# the texts stderr must hold. Schannel matches names, not IP addresses, against
# a named CA's certificates, so the host is localhost.
https() {
    local kind=$1 host=$2 want=$3
    shift 3
    local dir="$work/https-$kind-${host//[:\/]/_}"
    mkdir -p "$dir" && cd "$dir"
    "$repo/$linux/tests/https/kestrune-tls-test-forum" "$kind" >forum.txt &
    local server=$!
    for _ in $(seq 100); do grep -q '^tls ' forum.txt && break; sleep 0.1; done
    local _tls tls _plain plain _ca ca
    read -r _tls tls _plain plain _ca ca <forum.txt || fail "TLS test forum did not start"
    host=${host/TLS/$tls}
    host=${host/PLAIN/$plain}
    local status=0
    "$wine" "$cli" --host "$host" --ca-file "Z:$ca" --to 20 --delay 0 >stdout 2>stderr || status=$?
    kill $server
    wait $server || true
    local said
    said=$(iconv -f GBK -t UTF-8 stderr)
    [ $status -eq "$want" ] || fail "https $kind $host: exit $status, not $want: $said"
    for text in "$@"; do
        grep -qF "${text/TLS/$tls}" <<<"$said" || fail "https $kind $host: no '$text' in: $said"
    done
    [ "$want" -ne 0 ] || printf ' 1     AAA              5\r\n 2     BBB              17\r\n' |
        cmp - jieguo.txt || fail "https $kind $host: jieguo.txt"
    cd "$repo"
    echo "https $kind $host: exit $status ${*:+($*)}"
}
https trusted localhost:PLAIN 0
https trusted https://localhost:TLS 0
https expired https://localhost:TLS 1 证书已过期 localhost:TLS
https untrusted https://localhost:TLS 1 信任的机构签发的
https trusted https://127.0.0.1:TLS 1 证书不是发给这个地址的

step "Ctrl+C"
mkdir -p "$work/ctrl-c" && cd "$work/ctrl-c"
"$wine" "$cli" --host "$host" --to 2000 --delay 3 >stdout 2>stderr &
program=$!
for _ in $(seq 300); do grep -qa . jieguo.txt 2>/dev/null && break; sleep 0.1; done
# Wine turns SIGINT into the console's CTRL_C_EVENT.
kill -INT $program
status=0
wait $program || status=$?
[ $status -eq 130 ] || fail "Ctrl+C: exit status $status, not 130"
lines=$(wc -l <jieguo.txt)
[ "$lines" -gt 0 ] && [ $((lines % 20)) -eq 0 ] || fail "Ctrl+C: $lines lines, not whole pages"
[ "$(tail -c2 jieguo.txt | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "Ctrl+C left a line open"
head -n "$lines" "$work/henu/linux 导出/jieguo.txt" | cmp - jieguo.txt ||
    fail "Ctrl+C: the pages written differ from the Linux build's"
cd "$repo"
echo "Ctrl+C after $lines lines: exit 130, every line closed"

step "Windows tests passed"

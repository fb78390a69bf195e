#!/usr/bin/env bash
# Builds the Debian package from a build directory (default build/) and checks
# it the way Debian does: lintian with no error and no warning, the desktop
# entry and the AppStream file valid, manual pages that translate every --help
# item, and every library the programs load coming from a package in Depends.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

cmake --build "$build"
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
deb="$build/kestrune_${version}_$(dpkg --print-architecture).deb"
echo "check-package: $deb"

untranslated=$(cat "$build"/packaging/man/*/*.untranslated)
if [ -n "$untranslated" ]; then
    echo "check-package: --help items without a translation in packaging/man/help-text.txt:" >&2
    echo "$untranslated" >&2
    exit 1
fi

lintian --fail-on error,warning --info "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
# --no-net: the screenshot and home page addresses are checked where they are
# published, not from CI.
appstreamcli validate --strict --no-net "$root"/usr/share/metainfo/*.metainfo.xml

# The package that installed a library, whichever of /lib and /usr/lib (the
# same folder on Debian 12) it was registered under.
owner() {
    local path
    for path in "$1" "$(realpath "$1")" "${1#/usr}" "/usr$1"; do
        dpkg-query -S "$path" 2>/dev/null | awk -F: 'NR == 1 { print $1 }' && return
    done
    echo "(no package owns $1)"
}

depends=$(dpkg-deb -f "$deb" Depends)
# Package names alone, one a line, alternatives included.
depends_names=$(tr ',|' '\n\n' <<<"$depends" | awk '{ print $1 }')
status=0
for program in "$root"/usr/bin/*; do
    for library in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        # Read to the end: a reader that stops early fails the pipe.
        path=$(ldconfig -p | awk -v lib="$library" '$1 == lib && !found { print $NF; found = 1 }')
        package=$(owner "$path")
        if ! grep -Fqx "$package" <<<"$depends_names"; then
            echo "check-package: $(basename "$program") needs $library ($package), not in Depends" >&2
            status=1
        fi
    done
done
[ $status -eq 0 ] || exit 1
echo "check-package: lintian clean; Depends: $depends"

#!/usr/bin/env bash
# Checks the Debian package: builds it from a build tree with cpack (or takes a given .deb),
# then checks its control data and file list, unpacks it into a throw-away root, validates the
# desktop entry and AppStream data there and runs the unpacked program without a display.
#
#   test_package.sh --source DIR --version V --app-id ID --helper DIR|none
#                   (--build DIR [--cpack PATH] | --deb FILE)
set -euo pipefail

source_dir="" build_dir="" deb="" cpack=cpack version="" app_id="" helper_dir=""
while (($#)); do
    case "$1" in
    --source) source_dir=$2 ;;
    --build) build_dir=$2 ;;
    --deb) deb=$2 ;;
    --cpack) cpack=$2 ;;
    --version) version=$2 ;;
    --app-id) app_id=$2 ;;
    --helper) helper_dir=$2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
    esac
    shift 2
done
[[ -n $source_dir && -n $version && -n $app_id && -n $helper_dir ]] || {
    echo "missing arguments" >&2
    exit 2
}

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    "$@" || fail "$what"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ -z $deb ]]; then
    "$cpack" --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
        cat "$work/cpack.log" >&2
        echo "FAIL: cpack could not build the package" >&2
        exit 1
    }
    deb=$(find "$work/out" -maxdepth 1 -name '*.deb' -print -quit)
fi
[[ -f $deb ]] || { echo "FAIL: no package at '$deb'" >&2; exit 1; }
arch=$(dpkg --print-architecture)
echo "package: $deb ($(stat -c %s "$deb") bytes)"

# --- control data
field() { dpkg-deb -f "$deb" "$1"; }
check "package file name" test "$(basename "$deb")" = "qinglanque_${version}_${arch}.deb"
check "Package" test "$(field Package)" = qinglanque
check "Version" test "$(field Version)" = "$version"
check "Architecture" test "$(field Architecture)" = "$arch"
check "Section" test "$(field Section)" = utils
check "Maintainer" test -n "$(field Maintainer)"
check "Homepage" grep -q '^https\?://' <<<"$(field Homepage)"
depends=$(field Depends)
echo "Depends: $depends"
wanted=(libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libx11-6 libxi6 libxtst6
    "fonts-arphic-uming | fonts-noto-cjk")
[[ $helper_dir == none ]] || wanted+=(libqt6webenginewidgets6 libqt6webenginecore6-bin)
for d in "${wanted[@]}"; do
    # A whole entry, with or without a version: ", libxi6 (>= 2:1.5)" but not "libxi6-dev".
    grep -qE "(^|, )$(sed 's/[|+.]/\\&/g' <<<"$d")( \(|,|$)" <<<"$depends" ||
        fail "Depends lacks $d"
done

# --- file list: exactly what an installed copy needs, nothing from the build or the tests
dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' >"$work/contents"
files=$(awk '$1 !~ /^d/ {print $3}' "$work/contents" | sed 's|^\./||' | sort)
expected=("usr/bin/qinglanque" "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml")
[[ $helper_dir == none ]] || expected+=("usr/$helper_dir/qinglanque-gallery")
for png in "$source_dir"/resources/icons/qinglanque-*.png; do
    size=$(basename "$png" .png)
    size=${size#qinglanque-}
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/qinglanque.png")
done
[[ ! -f $source_dir/resources/icons/qinglanque.svg ]] ||
    expected+=("usr/share/icons/hicolor/scalable/apps/qinglanque.svg")
check "unexpected or missing files (< expected, > packaged)" \
    diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$files")
check "program is root-owned and executable" \
    grep -q '^-rwxr-xr-x root/root ./usr/bin/qinglanque$' "$work/contents"

# --- unpack and look at the installed copy
root=$work/root
dpkg-deb -x "$deb" "$root"
for png in "$source_dir"/resources/icons/qinglanque-*.png; do
    size=$(basename "$png" .png)
    size=${size#qinglanque-}
    installed=$root/usr/share/icons/hicolor/${size}x${size}/apps/qinglanque.png
    # PNG width and height: big-endian at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$installed" | awk '{print $3*256+$4 "x" $7*256+$8}')
    check "icon ${size}x${size} is $dims" test "$dims" = "${size}x${size}"
done
desktop=$root/usr/share/applications/$app_id.desktop
check "desktop entry is valid" desktop-file-validate "$desktop"
check "desktop entry starts qinglanque" grep -qx 'Exec=qinglanque' "$desktop"
check "desktop entry names the icon" grep -qx 'Icon=qinglanque' "$desktop"
check "desktop entry has the Chinese name" grep -qx 'Name\[zh_CN\]=青岚雀贴吧小尾巴' "$desktop"
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/as.log" 2>&1 || {
    cat "$work/as.log" >&2
    fail "AppStream data is valid"
}
check "AppStream data launches the desktop entry" \
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
check "AppStream release is this version" grep -q "<release version=\"$version\"" "$metainfo"

program=$root/usr/bin/qinglanque
run() { env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY "$program" "$@"; }
if env -u LD_LIBRARY_PATH ldd "$program" | grep 'not found'; then
    fail "every library is found"
fi
check "--version prints the version" test "$(run --version)" = "qinglanque $version"
check "--help exits 0 and tells about F8" grep -q F8 <<<"$(run --help)"
set +e
bad_out=$(run --no-such-option 2>/dev/null)
bad_status=$?
set -e
check "an unknown option exits 2 (got $bad_status)" test "$bad_status" -eq 2
check "an unknown option prints nothing on stdout" test -z "$bad_out"

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"

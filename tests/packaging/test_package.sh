#!/usr/bin/env bash
# Checks the Debian packages qinglanque and (when the helper was built) qinglanque-gallery, built
# here with cpack or taken from a folder: lintian, dependencies, file lists, and the unpacked
# desktop entry, AppStream data and program.
#   test_package.sh --source DIR --version V --app-id ID --helper DIR|none
#                   (--build DIR [--cpack PATH] | --debs DIR)
set -euo pipefail

source_dir="" build_dir="" debs="" cpack=cpack version="" app_id="" helper_dir=""
while (($#)); do
    case "$1" in
    --source) source_dir=$2 ;;
    --build) build_dir=$2 ;;
    --debs) debs=$2 ;;
    --cpack) cpack=$2 ;;
    --version) version=$2 ;;
    --app-id) app_id=$2 ;;
    --helper) helper_dir=$2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
    esac
    shift 2
done
[[ -n $source_dir && -n $version && -n $app_id && -n $helper_dir ]] ||
    { echo "missing arguments" >&2; exit 2; }

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }
check() { local what=$1; shift; "$@" || fail "$what"; } # check DESCRIPTION COMMAND...

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ -z $debs ]]; then
    "$cpack" --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; die "cpack could not build the packages"; }
    debs=$work/out
fi
arch=$(dpkg --print-architecture)
deb=$debs/qinglanque_${version}_${arch}.deb
gallery_deb=$debs/qinglanque-gallery_${version}_${arch}.deb
[[ -f $deb ]] || die "no package at '$deb'"
[[ $helper_dir == none || -f $gallery_deb ]] || die "no package at '$gallery_deb'"

# --- lintian: no error and no warning (informational tags are printed, not failed)
command -v lintian >/dev/null || die "lintian is not installed (scripts/setup installs it)"
lintian_debs=("$deb")
[[ $helper_dir == none ]] || lintian_debs+=("$gallery_deb")
lintian --display-info "${lintian_debs[@]}" 2>&1 | tee "$work/lintian.log" || true
grep -qE '^[EW]: ' "$work/lintian.log" && fail "lintian reports errors or warnings"

# --- dependencies (lintian has checked the rest of the control data)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
has_entry() { # has_entry LIST ENTRY: a whole entry, with or without a version
    grep -qE "(^|, )$(sed 's/[|+.()=]/\\&/g' <<<"$2")( \(|,|$)" <<<"$1"
}
for d in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libx11-6 libxi6 \
    libxcb-xtest0 libwayland-client0; do # from dpkg-shlibdeps; the rest is written out in cmake/Packaging.cmake
    has_entry "$depends" "$d" || fail "Depends lacks $d"
done
for d in libqt6webenginewidgets6 libqt6webenginecore6; do
    ! has_entry "$depends" "$d" || fail "the program depends on the web engine ($d)"
done
if [[ $helper_dir != none ]]; then
    gallery_depends=$(dpkg-deb -f "$gallery_deb" Depends)
    echo "qinglanque-gallery Depends: $gallery_depends"
    for d in libqt6webenginewidgets6 libqt6webenginecore6-bin; do
        has_entry "$gallery_depends" "$d" || fail "the gallery's Depends lacks $d"
    done
fi

# --- file list: exactly what an installed copy needs, nothing from the build or the tests
dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' >"$work/contents"
files=$(awk '$1 !~ /^d/ {print $3}' "$work/contents" | sed 's|^\./||' | sort)
expected=("usr/bin/qinglanque" "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml" usr/share/man/man1/qinglanque.1.gz
    usr/share/doc/qinglanque/copyright usr/share/doc/qinglanque/changelog.gz
    usr/share/qinglanque/corvane/qinglanque.ini usr/share/qinglanque/corvane/corvane.ini)
for png in "$source_dir"/resources/icons/qinglanque-*.png; do
    size=${png##*/qinglanque-} && size=${size%.png}
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
[[ ! -f $source_dir/resources/icons/qinglanque.svg ]] ||
    expected+=("usr/share/icons/hicolor/scalable/apps/$app_id.svg")
check "unexpected or missing files (< expected, > packaged)" \
    diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$files")
check "program is root-owned and executable" \
    grep -q '^-rwxr-xr-x root/root ./usr/bin/qinglanque$' "$work/contents"
if [[ $helper_dir != none ]]; then
    check "the gallery package holds the helper and its documents" \
        diff <(printf '%s\n' "usr/$helper_dir/qinglanque-gallery" \
            usr/share/doc/qinglanque-gallery/changelog.gz \
            usr/share/doc/qinglanque-gallery/copyright | sort) \
        <(dpkg-deb -c "$gallery_deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
fi

# --- unpack and look at the installed copy
root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/$app_id.desktop
check "desktop entry is valid" desktop-file-validate "$desktop"
check "desktop entry names the installed icon" grep -qx "Icon=$app_id" "$desktop"
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log" >&2; fail "AppStream data is valid"; }
check "AppStream release is this version" grep -q "<release version=\"$version\"" "$metainfo"

program=$root/usr/bin/qinglanque
# (Without a display it says so and ends: app_without_display checks that of the built program.)
! env -u LD_LIBRARY_PATH ldd "$program" | grep 'not found' || fail "every library is found"
check "--version prints the version" \
    test "$(env -u LD_LIBRARY_PATH -u DISPLAY "$program" --version)" = "qinglanque $version"

((failures == 0)) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "package checks passed"

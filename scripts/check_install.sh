#!/usr/bin/env bash
# Installs a built tree into a temporary DESTDIR and checks the installed
# programs as a user gets them: velorin-matte answers --version, velorin finds
# its icons with ICON_DIR unset (and exits without entering its main loop),
# the launcher entry validates, both manual pages render, and the Debian
# package builds with dependencies from the linked libraries.
# Usage: scripts/check_install.sh BUILD_DIR   (needs a display or xvfb-run)
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

# The programs of an installed tree under USR: velorin-matte answers
# --version, and velorin, started from an empty folder so that the
# current-folder fallback cannot help, finds the icons under USR with
# ICON_DIR unset. --check-icons never enters the main loop; timeout bounds
# it all the same.
mkdir "$work/elsewhere"
with_display=()
[ -n "${DISPLAY:-}" ] || with_display=(xvfb-run -a -s "-screen 0 1280x1024x24")
check_programs() {
  local usr=$1 icons
  "$usr/bin/velorin-matte" --version | grep -qx "velorin-matte [0-9.]*" ||
    fail "velorin-matte --version from $usr"
  icons=$(cd "$work/elsewhere" &&
    env -u ICON_DIR APPDATA="$work/appdata" timeout 60 "${with_display[@]}" \
      "$usr/bin/velorin" --check-icons) || fail "velorin from $usr did not find its icons"
  [ "$icons" = "velorin: toolbar icons loaded from $usr/share/velorin/icons/" ] ||
    fail "icons read from an unexpected folder: $icons"
}

root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
check_programs "$usr"

desktop-file-validate "$usr/share/applications/velorin.desktop" ||
  fail "the launcher entry does not validate"
for size in 16 32 48 64 128 256; do
  [ -s "$usr/share/icons/hicolor/${size}x${size}/apps/velorin.png" ] ||
    fail "no ${size}x${size} application icon"
done
for page in velorin velorin-matte; do
  file=$usr/share/man/man1/$page.1.gz
  text=$(MANWIDTH=80 man --warnings -l "$file" 2>"$work/man-warnings") ||
    fail "man -l $file"
  [ ! -s "$work/man-warnings" ] || { cat "$work/man-warnings" >&2; fail "$page.1 renders with warnings"; }
  grep -q "^NAME" <<<"$text" || fail "$page.1 renders without a NAME section"
done

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB >/dev/null 2>&1) ||
  fail "cpack -G DEB"
deb=$(ls "$work"/velorin_*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
for package in libgtk2.0-0 libumfpack5 libgdk-pixbuf-2.0-0; do
  grep -q "$package" <<<"$depends" || fail "the package does not depend on $package: $depends"
done
dpkg-deb -x "$deb" "$work/package"
check_programs "$work/package/usr"
echo "check_install: installed tree and package OK ($(basename "$deb"))"

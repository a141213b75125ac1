#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop needs from it: the
# program and its launcher, the menu entry, the metainfo and the icons, all valid; then
# starts the installed launcher as the menu entry would and checks where the data goes.
#   tst_install.sh BUILD-FOLDER
set -euo pipefail
build=$1
id=example.orvenna.Orvenna
work=$(mktemp -d)
program=
trap '[ -n "$program" ] && kill -9 "$program" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$work/dest cmake --install "$build" --prefix /usr >/dev/null
root=$work/dest/usr
for f in bin/orvenna libexec/orvenna/orvenna libexec/orvenna/orvenna-jet-reader \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg; do
  [ -f "$root/$f" ] || fail "$f is not installed"
done
[ -x "$root/bin/orvenna" ] || fail "the launcher cannot be run"

# Each PNG is the size its folder says: width and height from the PNG header.
for size in 16 22 24 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || fail "no ${size}px icon"
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  [ $(( (w1 << 24) | (w2 << 16) | (w3 << 8) | w4 )) -eq "$size" ] &&
    [ $(( (h1 << 24) | (h2 << 16) | (h3 << 8) | h4 )) -eq "$size" ] || fail "$png is not ${size}px"
done

entry=$root/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"
grep -qx 'Name=Orvenna' "$entry" || fail "Name"
grep -q '^Name\[he\]=..*' "$entry" || fail "Name[he]"
grep -qx 'Categories=Office;ContactManagement;' "$entry" || fail "Categories"
grep -qx 'Exec=/usr/bin/orvenna' "$entry" || fail "Exec does not start the launcher"
grep -qx 'Icon=example.orvenna.Orvenna' "$entry" || fail "Icon"

# The launcher, started from / as a menu starts it: the data folder is created (private to
# the user) and the program runs there; the session's request to end closes it cleanly.
launch() { # HOME XDG_DATA_HOME EXPECTED-FOLDER
  mkdir -p "$1" "$work/runtime" && chmod 700 "$work/runtime"
  (cd / && exec env HOME="$1" XDG_DATA_HOME="$2" XDG_CONFIG_HOME="$1/.config" \
      XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
      "$root/bin/orvenna" 2>"$work/stderr") &
  program=$!
  for _ in $(seq 600); do
    [ -f "$3/VESK.MDB" ] && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
  done
  [ -f "$3/VESK.MDB" ] || { cat "$work/stderr" >&2; fail "no VESK.MDB in $3"; }
  [ "$(stat -c %a "$3")" = 700 ] || fail "$3 is readable by others"
  kill -TERM "$program"
  status=0
  wait "$program" || status=$?
  program=
  [ "$status" -eq 0 ] || { cat "$work/stderr" >&2; fail "the program ended with $status"; }
  ! grep -Eq 'runtime error:|Sanitizer' "$work/stderr" || { cat "$work/stderr" >&2; fail "sanitizer"; }
}
launch "$work/home" "" "$work/home/.local/share/Orvenna"
launch "$work/home2" "$work/data" "$work/data/Orvenna"
launch "$work/home3" "relative/ignored" "$work/home3/.local/share/Orvenna"
echo "installed files valid; the launcher runs the program in its data folder"

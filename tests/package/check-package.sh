#!/usr/bin/env bash
# Builds the Debian package from a configured build tree, unpacks it into a temporary root and
# checks what it installs. Prints "N passed, N failed".
set -uo pipefail
build=$1
passed=0 failed=0
check() { if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; echo "0 passed, 1 failed"; exit 1; }
deb=$(ls "$work"/out/tarvello_*.deb 2>/dev/null | head -n1)
check "package built" '[ -n "$deb" ]'
[ -n "$deb" ] || { echo "$passed passed, $failed failed"; exit 1; }
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

root=$work/root
dpkg-deb -x "$deb" "$root"
files=$(cd "$root" && find . -type f -o -type l | sort)
for f in ./usr/bin/tarvello ./usr/bin/tarvello-sim "./usr/share/tarvello/Liste Moteur.old" \
         ./usr/share/tarvello/Help/TarvelloEng.html ./usr/share/tarvello/Help/TarvelloFr.html \
         ./usr/share/applications/tarvello.desktop ./usr/share/icons/hicolor/scalable/apps/tarvello.svg; do
  check "installs $f" 'grep -qxF "$f" <<<"$files"'
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins fonts-liberation; do
  check "depends on $d" 'grep -q "$d" <<<"$depends"'
done
out=$("$root/usr/bin/tarvello-sim" --power 4000 --voltage 400 --current 8.5 --power-factor 0.82 \
      --frequency 50 --speed 1440 --no-load-current 4.5 --current-limit 3 2>&1)
check "installed tarvello-sim runs" 'grep -q "Time of Soft-Starter : 4.20 s" <<<"$out"'
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

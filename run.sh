#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tarvello in the working folder run/, which holds
# the motor catalogue ("Liste Moteur.dat", created from the delivered copy when missing and never
# overwritten) and the help files.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTARVELLO_BUILD_TESTS=OFF -DTARVELLO_BUILD_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)"

mkdir -p run
if [ -f "data/Liste Moteur.old" ]; then
  cp "data/Liste Moteur.old" "run/Liste Moteur.old"
  [ -e "run/Liste Moteur.dat" ] || cp "data/Liste Moteur.old" "run/Liste Moteur.dat"
fi
[ -d data/Help ] && rm -rf run/Help && cp -r data/Help run/Help

desktop=build-release/src/app/desktop/tarvello
sim=build-release/src/app/sim/tarvello-sim
if [ -x "$desktop" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: Tarvello is a desktop program. Without a screen, start it under a virtual one:" >&2
    echo "  cd run && xvfb-run -a ../$desktop" >&2
    echo "or use the command-line simulator: $sim --help" >&2
    exit 1
  fi
  cd run
  exec "../$desktop"
fi
# The 4 kW example motor, soft-starter limited to 3 x In.
exec "$sim" --maker "Generic IEC" --size "112 M" --power 4000 --voltage 400 --current 8.5 --power-factor 0.82 \
  --frequency 50 --speed 1440 --no-load-current 4.5 --current-limit 3

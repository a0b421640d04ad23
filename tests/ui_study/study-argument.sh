#!/usr/bin/env bash
# The real desktop program started with a study on its command line, on an X server of its own:
# the study opens at once in its language (no language panel), its name is in the caption, it is
# kept among the recent studies in the configuration folder, and Exit ends the program without a
# question. Then a broken study: the start menu in English and the numbered message.
#
# Usage: study-argument.sh TARVELLO
# Needs Xvfb, xauth and xdotool; exits 77 when one is missing.
set -u

if [ $# -ne 1 ]; then
  echo "usage: $0 TARVELLO" >&2
  exit 2
fi
APP=$(readlink -f "$1")
for tool in Xvfb xauth xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

WAIT=10 # seconds, the bound of every wait
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvello-study.XXXXXX")
XVFB_PID=""
APP_PID=""
FAILED=0

cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  if [ "$FAILED" -eq 0 ]; then rm -rf "$WORK"; else echo "artefacts kept in $WORK"; fi
}
trap cleanup EXIT

check() { # name, then a command that succeeds when the check passes
  local name=$1
  shift
  if "$@"; then
    echo "PASS: $name"
  else
    echo "FAIL: $name"
    FAILED=1
  fi
}

start_xvfb() {
  local n i cookie
  export XAUTHORITY="$WORK/Xauthority"
  : >"$XAUTHORITY"
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  for n in $(seq 200 299); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    xauth -q -f "$XAUTHORITY" add ":$n" . "$cookie"
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset -auth "$XAUTHORITY" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 1 $((WAIT * 10))); do
      kill -0 "$XVFB_PID" 2>/dev/null || break # the number was taken meanwhile
      xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  return 1
}

# Prints the id of the visible window named exactly $1, waiting up to $WAIT seconds.
wait_window() {
  local i w
  for i in $(seq 1 $((WAIT * 10))); do
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ]; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

# Starts the program in $WORK/start with the arguments given.
start_app() {
  (
    cd "$WORK/start" || exit 1
    exec env -u QT_QPA_PLATFORMTHEME -u XDG_CURRENT_DESKTOP -u SESSION_MANAGER \
      QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8 HOME="$WORK/home" \
      XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" XDG_RUNTIME_DIR="$WORK/runtime" "$APP" "$@"
  ) >>"$WORK/app.log" 2>&1 &
  APP_PID=$!
}

# Waits for the program to end by itself with status 0.
app_ended() {
  local i rc
  for i in $(seq 1 $((WAIT * 10))); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      wait "$APP_PID"
      rc=$?
      APP_PID=""
      [ "$rc" -eq 0 ]
      return
    fi
    sleep 0.1
  done
  return 1
}

mkdir -p "$WORK/start" "$WORK/studies" "$WORK/home" "$WORK/config" "$WORK/data" "$WORK/runtime"
chmod 700 "$WORK/runtime"
cat >"$WORK/studies/pompe.tarvello" <<'EOF'
{
  "format": "tarvello-study",
  "version": 1,
  "language": "fr",
  "motor": {
    "source": "typed",
    "MechanicalPower": 4000,
    "LineVoltage": 400,
    "LineCurrent": 8.5,
    "PowerFactor": 0.82,
    "Frequency": 50,
    "RatedSpeed": 1440,
    "NoLoadLineCurrent": 4.5,
    "StarCoupling": true
  },
  "softStarter": {"EstimatedStartTime": 2.5, "Preset": 0.3, "mode": "current-limit", "DesiredImaxIn": 3},
  "load": {"kind": "squared", "T2": 0.02},
  "showStaticCurves": true
}
EOF
printf '{\n  "format": "tarvello-study",\n  "version": 1,\n  "motor": [\n' >"$WORK/studies/broken.tarvello"

if ! start_xvfb; then
  echo "FAIL: no X server could be started"
  FAILED=1
  exit 1
fi

# Named relative to the folder the program is started in.
start_app ../studies/pompe.tarvello
main=$(wait_window "pompe.tarvello - Tarvello : Simulateur de Soft-Starter pour moteur asynchrone")
check "the study opens at start in French, named in the caption" [ -n "$main" ]
check "it is kept among the recent studies" \
  grep -q "$WORK/studies/pompe.tarvello" "$WORK/config/Tarvello/tarvello.conf"
if [ -n "$main" ]; then
  xdotool windowfocus --sync "$main" 2>/dev/null
  xdotool key ctrl+x
fi
check "Exit ends the program without a question" app_ended

start_app "$WORK/studies/broken.tarvello"
check "a broken study: the main window in English" \
  [ -n "$(wait_window "Tarvello : Soft-Starter Simulator for Induction Motor")" ]
check "a broken study: its message" [ -n "$(wait_window "Error")" ]

[ "$FAILED" -eq 0 ]

#!/usr/bin/env bash
# End-to-end check of the desktop program on a real X server: the guided workflow from the
# catalogue to the results, the curve file, saving a motor into the list and reading it back,
# and initialising the list, once in English and once in French.
#
# Usage: e2e.sh TARVELLO TARVELLO_SIM SOURCE_DIR
# Needs Xvfb, xauth, xdotool and ImageMagick (import, convert). Exit 77 when one is missing.
set -u

if [ $# -ne 3 ]; then
  echo "usage: $0 TARVELLO TARVELLO_SIM SOURCE_DIR" >&2
  exit 2
fi
APP=$(readlink -f "$1")
SIM=$(readlink -f "$2")
SRC=$(readlink -f "$3")
BACKUP="$SRC/data/Liste Moteur.old"

for tool in Xvfb xauth xdotool import convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
for f in "$APP" "$SIM" "$BACKUP"; do
  if [ ! -e "$f" ]; then
    echo "missing: $f" >&2
    exit 2
  fi
done

WAIT=10            # seconds, the bound of every wait for a window or a file
PASSED=0
FAILED=0
XVFB_PID=""
APP_PID=""
KEEP=0

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvello-e2e.XXXXXX")

cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
    kill "$APP_PID" 2>/dev/null
    wait "$APP_PID" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  if [ "$KEEP" -eq 0 ]; then
    rm -rf "$WORK"
  else
    echo "artefacts kept in $WORK"
  fi
}
trap cleanup EXIT
interrupted() {
  echo "FAIL: interrupted by signal $1"
  echo "$PASSED passed, $((FAILED + 1)) failed"
  KEEP=1
  exit 130
}
trap 'interrupted INT' INT
trap 'interrupted TERM' TERM
trap 'interrupted HUP' HUP

check() { # name, then a command that succeeds when the check passes
  local name=$1
  shift
  if "$@"; then
    echo "PASS: $name"
    PASSED=$((PASSED + 1))
    return 0
  fi
  echo "FAIL: $name"
  FAILED=$((FAILED + 1))
  KEEP=1
  visible_windows | sed 's/^/      visible: /'
  return 1
}

# ---------------------------------------------------------------------------------------------
# X server on a display number of our own, with a private cookie.

start_xvfb() {
  local n cookie
  export XAUTHORITY="$WORK/Xauthority"
  : >"$XAUTHORITY"
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    xauth -q -f "$XAUTHORITY" add ":$n" . "$cookie"
    # -noreset: otherwise the server resets whenever its last client (each xdotool call)
    # leaves, and refuses the program's connection while it does.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset -auth "$XAUTHORITY" \
      >"$WORK/xvfb-$n.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 $((WAIT * 10))); do
      if ! kill -0 "$XVFB_PID" 2>/dev/null; then
        break # taken meanwhile by another server: try the next number
      fi
      if xdotool getdisplaygeometry >/dev/null 2>&1; then
        return 0
      fi
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  return 1
}

# ---------------------------------------------------------------------------------------------
# Windows and input.

visible_windows() {
  local w
  for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
  done
}

# Prints the id of the visible window whose name is exactly $1, waiting up to $WAIT seconds.
wait_window() {
  local title=$1 i w
  for i in $(seq 1 $((WAIT * 10))); do
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ]; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

# Succeeds once window $1 is no longer shown.
wait_hidden() {
  local id=$1 i
  for i in $(seq 1 $((WAIT * 10))); do
    if ! xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$id"; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null
  sleep 0.1
}

# Clicks at the client point ($2, $3) of window $1 (no window manager: no frame to allow for).
click_at() {
  local id=$1 x=$2 y=$3 WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$id")"
  # No --sync: it waits for a motion, and there is none when the pointer is already there. The
  # server handles the motion and the click in order anyway.
  xdotool mousemove $((X + x)) $((Y + y)) click 1
  sleep 0.15
}

# Replaces the text of the edit at client point ($2, $3) of window $1 by $4.
set_field() {
  click_at "$1" "$2" "$3"
  xdotool key ctrl+a
  xdotool type --delay 25 "$4"
  sleep 0.1
}

keys() { # short settle after each key: menus open asynchronously
  local k
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.3
  done
}

menu() { # mnemonic of the menu, then of the entry, on the focused main window
  focus "$MAIN"
  keys "alt+$1" "$2"
}

# ---------------------------------------------------------------------------------------------
# Outcomes.

# Number of pixels of colour $1 (#RRGGBB) in the two time charts of the main window.
chart_pixels() {
  local colour=$1 WINDOW X Y WIDTH HEIGHT SCREEN menubar shot
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  menubar=$((HEIGHT - 537))
  shot="$WORK/shot-$LANG_TAG-$$.png"
  import -window root "$shot" 2>/dev/null || return 1
  # The plot areas of both charts, without the caption line at the bottom of each.
  {
    convert "$shot" -crop "369x100+$((X + 8))+$((Y + menubar))" +repage txt:-
    convert "$shot" -crop "369x100+$((X + 8))+$((Y + menubar + 120))" +repage txt:-
  } 2>/dev/null | grep -ci " $colour "
}

results_shown() { # blue (direct-on-line) and red (soft-starter) curves drawn in both charts
  local i blue red
  for i in $(seq 1 $((WAIT * 2))); do
    blue=$(chart_pixels '#0000FF')
    red=$(chart_pixels '#FF0000')
    if [ "${blue:-0}" -ge 100 ] && [ "${red:-0}" -ge 100 ]; then
      return 0
    fi
    sleep 0.5
  done
  echo "      chart pixels: blue ${blue:-?}, red ${red:-?}"
  return 1
}

no_curves_yet() {
  local blue red
  blue=$(chart_pixels '#0000FF')
  red=$(chart_pixels '#FF0000')
  [ "${blue:-1}" -eq 0 ] && [ "${red:-1}" -eq 0 ]
}

no_error_window() { # the error dialog of the program, in either language
  ! visible_windows | grep -Eq '^[0-9]+ (Error|Erreur)$'
}

# Succeeds once file $1 equals file $2 byte for byte.
wait_same() {
  local i
  for i in $(seq 1 $((WAIT * 10))); do
    if [ -f "$1" ] && cmp -s "$1" "$2"; then
      return 0
    fi
    sleep 0.1
  done
  if [ -f "$1" ]; then
    cmp "$1" "$2" | sed 's/^/      /'
  else
    echo "      $1 was not written"
  fi
  return 1
}

# Succeeds once file $1 has $2 lines.
wait_lines() {
  local i
  for i in $(seq 1 $((WAIT * 10))); do
    if [ "$(wc -l <"$1")" -eq "$2" ]; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

all_crlf() { # every line of $1 ends with CR LF and nothing follows the last one
  [ -s "$1" ] && [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ] &&
    ! tr -d '\r' <"$1" | cmp -s - "$1" &&
    [ "$(grep -c $'\r$' "$1")" -eq "$(wc -l <"$1")" ]
}

# ---------------------------------------------------------------------------------------------
# One run of the program in language $1 ("en" or "fr").

start_app() {
  (
    cd "$WORK" || exit 1
    exec env -u QT_QPA_PLATFORMTHEME -u XDG_CURRENT_DESKTOP -u SESSION_MANAGER \
      QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8 HOME="$WORK/home" \
      XDG_CONFIG_HOME="$WORK/home/config" XDG_RUNTIME_DIR="$WORK/runtime" \
      "$APP"
  ) >"$WORK/app-$LANG_TAG.log" 2>&1 &
  APP_PID=$!
}

app_ended() {
  local i
  for i in $(seq 1 $((WAIT * 10))); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then
      wait "$APP_PID"
      local rc=$?
      APP_PID=""
      [ "$rc" -eq 0 ] && return 0
      echo "      exit status $rc"
      return 1
    fi
    sleep 0.1
  done
  return 1
}

run_language() {
  LANG_TAG=$1
  local title_main title_select title_soft title_load record sim_soft sim_load
  local other=9 # a motor strong enough for both loads, different from the saved one
  local dlg id box curves expected next last saved
  if [ "$LANG_TAG" = en ]; then
    title_main="Tarvello : Soft-Starter Simulator for Induction Motor"
    title_select="Select Motor in List"
    title_soft="Soft-Starter Parameters"
    title_load="Load Parameters"
    record=5
    # Selected-time mode with a typed ramp time; constant load.
    sim_soft=(--estimated-time 8 --preset 20 --ramp-time 6.5)
    sim_load=(--load constant --t0 5)
  else
    title_main="Tarvello : Simulateur de Soft-Starter pour moteur asynchrone"
    title_select="Choisir un moteur dans la liste"
    title_soft="Paramètres du Soft-Starter"
    title_load="Paramètres de la charge"
    record=7
    # Current-limit mode, the limit typed with a decimal comma; load squared in speed.
    sim_soft=(--estimated-time 6 --preset 30 --current-limit 2.5)
    sim_load=(--load squared --t0 2 --t1 0.1 --t2 0.03)
  fi
  echo "== $LANG_TAG"

  cp "$BACKUP" "$WORK/Liste Moteur.old"
  cp "$BACKUP" "$WORK/Liste Moteur.dat"
  start_app
  MAIN=$(wait_window "Tarvello : Soft-Starter Simultator for Induction Motor")
  check "$LANG_TAG: main window shown at start" test -n "$MAIN" || return 1

  # Language panel: Panel4 at (140, 180) of the client area, below the menu bar.
  local WINDOW X Y WIDTH HEIGHT SCREEN menubar
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  menubar=$((HEIGHT - 537))
  focus "$MAIN"
  if [ "$LANG_TAG" = en ]; then
    keys Return                            # the panel answers Enter at once
  else
    click_at "$MAIN" $((140 + 303 + 30)) $((menubar + 180 + 48 + 8))
    click_at "$MAIN" $((140 + 203 + 37)) $((menubar + 180 + 104 + 12))
  fi
  check "$LANG_TAG: window title after the language panel" \
    test "$(xdotool getwindowname "$MAIN")" = "$title_main" || return 1

  # Step 1: English through File > Select Motor in List, French through the start menu button.
  if [ "$LANG_TAG" = en ]; then
    menu f m
  else
    focus "$MAIN"
    click_at "$MAIN" $((112 + 137 + 127)) $((menubar + 116 + 80 + 18))
  fi
  dlg=$(wait_window "$title_select")
  check "$LANG_TAG: motor selection dialog \"$title_select\"" test -n "$dlg" || return 1
  focus "$dlg"
  # Row r of the grid (at 89, 40, below a 24-pixel header); then Tab to OK and Space.
  click_at "$dlg" $((89 + 100)) $((40 + 24 + (record - 1) * 24 + 12))
  keys Tab space
  check "$LANG_TAG: motor selection closed by OK" wait_hidden "$dlg" || return 1

  # Step 2: the soft-starter dialog.
  if [ "$LANG_TAG" = en ]; then
    menu p s
  else
    focus "$MAIN"
    click_at "$MAIN" $((112 + 137 + 127)) $((menubar + 116 + 128 + 18))
  fi
  dlg=$(wait_window "$title_soft")
  check "$LANG_TAG: soft-starter dialog \"$title_soft\"" test -n "$dlg" || return 1
  focus "$dlg"
  if [ "$LANG_TAG" = en ]; then
    click_at "$dlg" 50 156                 # RadioButton2, selected time
    set_field "$dlg" 436 30 8              # Edit1, estimated start time
    set_field "$dlg" $((320 + 164)) $((96 + 16 + 10)) 20    # Edit4, preset
    # A ramp time that is not a number: the message box, then back into the dialog, whose
    # activation must keep the values typed (the curve file below shows what was stored).
    set_field "$dlg" $((320 + 164)) $((96 + 52 + 10)) 6.5x
    keys Return
    box=$(wait_window "Tarvello")
    check "$LANG_TAG: not-a-number message for the ramp time" test -n "$box" || return 1
    focus "$box"
    keys Return
    check "$LANG_TAG: message dismissed" wait_hidden "$box" || return 1
    focus "$dlg"
    set_field "$dlg" $((320 + 164)) $((96 + 52 + 10)) 6.5   # Edit5, ramp time
  else
    click_at "$dlg" 50 116                 # RadioButton1, current limit
    set_field "$dlg" 436 30 6
    set_field "$dlg" $((320 + 164)) $((96 + 16 + 10)) 30    # Edit2, preset
    set_field "$dlg" $((320 + 164)) $((96 + 52 + 10)) 2,5   # Edit3, Imax/In
  fi
  keys Return                              # OK is the default button
  check "$LANG_TAG: soft-starter dialog closed by OK" wait_hidden "$dlg" || return 1
  check "$LANG_TAG: no curves before the load step" no_curves_yet

  # Step 3: the load dialog; its OK leads to the results view.
  if [ "$LANG_TAG" = en ]; then
    menu p l
  else
    focus "$MAIN"
    click_at "$MAIN" $((112 + 137 + 127)) $((menubar + 116 + 176 + 18))
  fi
  dlg=$(wait_window "$title_load")
  check "$LANG_TAG: load dialog \"$title_load\"" test -n "$dlg" || return 1
  focus "$dlg"
  if [ "$LANG_TAG" = en ]; then
    click_at "$dlg" 130 102                # RadioButton2, constant load
    set_field "$dlg" $((472 + 84)) $((164 + 16 + 10)) 5     # Edit1, T0
  else
    click_at "$dlg" 130 310                # RadioButton4, squared load
    set_field "$dlg" $((472 + 84)) $((164 + 16 + 10)) 2     # T0
    set_field "$dlg" $((472 + 84)) $((164 + 48 + 10)) 0,1   # T1
    set_field "$dlg" $((472 + 84)) $((164 + 80 + 10)) 0.03  # T2
  fi
  keys Return
  check "$LANG_TAG: load dialog closed by OK" wait_hidden "$dlg" || return 1
  focus "$MAIN"
  check "$LANG_TAG: results view with blue and red curves" results_shown || return 1
  if [ "$LANG_TAG" = en ]; then
    # The menu shortcuts in the results view, where no read-only field may swallow them.
    shortcut_opens ctrl+e "Rated Values" || return 1
    shortcut_opens ctrl+c "Equivalent Diagram" || return 1
  fi

  # Curves: File > Save Curves in file, a path typed into the file dialog.
  save_curves "curves-$LANG_TAG.txt" || return 1
  "$SIM" --catalogue "$WORK/Liste Moteur.old" --record "$record" "${sim_soft[@]}" "${sim_load[@]}" \
    --curves - >"$WORK/expected-$LANG_TAG.txt"
  check "$LANG_TAG: curve file equals tarvello-sim's" \
    wait_same "$WORK/curves-$LANG_TAG.txt" "$WORK/expected-$LANG_TAG.txt"

  # Save the motor into the list: File > Save Parameters in Motor List, OK.
  last=$(tail -n 1 "$BACKUP" | cut -d';' -f1)
  next=$((last + 1))
  expected=$(sed -n "$((record + 1))p" "$BACKUP" | tr -d '\r' | sed "s/^[^;]*;/$next;/")
  menu f s
  dlg=$(wait_window "Message")
  check "$LANG_TAG: confirmation window for saving" test -n "$dlg" || return 1
  focus "$dlg"
  keys Return
  check "$LANG_TAG: confirmation closed" wait_hidden "$dlg"
  check "$LANG_TAG: one record appended" wait_lines "$WORK/Liste Moteur.dat" $(($(wc -l <"$BACKUP") + 1))
  saved=$(tail -n 1 "$WORK/Liste Moteur.dat")
  check "$LANG_TAG: appended record is motor $record numbered $next, CR LF" \
    test "$saved" = "$expected"$'\r'

  # The saved record is a copy of the chosen motor, so first switch to another motor: reading
  # the record back must then visibly change the results.
  menu f m
  dlg=$(wait_window "$title_select")
  check "$LANG_TAG: motor selection reopened" test -n "$dlg" || return 1
  focus "$dlg"
  click_at "$dlg" $((89 + 100)) $((40 + 24 + (other - 1) * 24 + 12))
  keys Tab space
  check "$LANG_TAG: motor $other chosen" wait_hidden "$dlg" || return 1
  focus "$MAIN"
  save_curves "curves-$LANG_TAG-other.txt" || return 1
  "$SIM" --catalogue "$WORK/Liste Moteur.old" --record "$other" "${sim_soft[@]}" "${sim_load[@]}" \
    --curves - >"$WORK/expected-$LANG_TAG-other.txt"
  check "$LANG_TAG: curves recomputed for motor $other" \
    wait_same "$WORK/curves-$LANG_TAG-other.txt" "$WORK/expected-$LANG_TAG-other.txt"

  # Read it back: reopen the selection, move to the last row, OK; the main window recomputes.
  menu f m
  dlg=$(wait_window "$title_select")
  check "$LANG_TAG: motor selection reopened" test -n "$dlg" || return 1
  focus "$dlg"
  click_at "$dlg" $((89 + 100)) $((40 + 24 + 12))   # the first visible row, to focus the grid
  keys ctrl+End Tab space
  check "$LANG_TAG: motor selection closed by OK" wait_hidden "$dlg" || return 1
  focus "$MAIN"
  check "$LANG_TAG: results view after choosing the saved motor" results_shown
  save_curves "curves-$LANG_TAG-saved.txt" || return 1
  "$SIM" --catalogue "$WORK/Liste Moteur.dat" --record "$next" "${sim_soft[@]}" "${sim_load[@]}" \
    --curves - >"$WORK/expected-$LANG_TAG-saved.txt"
  check "$LANG_TAG: saved motor read back from the list (curves of record $next)" \
    wait_same "$WORK/curves-$LANG_TAG-saved.txt" "$WORK/expected-$LANG_TAG-saved.txt"

  # Initialise the list: File > Initialize Motor List, OK.
  menu f i
  dlg=$(wait_window "Message")
  check "$LANG_TAG: confirmation window for initialising" test -n "$dlg" || return 1
  focus "$dlg"
  keys Return
  check "$LANG_TAG: list equals the delivered copy again" wait_same "$WORK/Liste Moteur.dat" "$BACKUP"
  check "$LANG_TAG: list lines end with CR LF" all_crlf "$WORK/Liste Moteur.dat"

  # Exit: File > Exit (E&xit / &Quitter).
  if [ "$LANG_TAG" = en ]; then menu f x; else menu f q; fi
  check "$LANG_TAG: program ends through File > Exit" app_ended
}

shortcut_opens() { # key on the main window, title of the dialog it opens; Escape closes it
  local id
  focus "$MAIN"
  keys "$1"
  id=$(wait_window "$2")
  check "$LANG_TAG: $1 in the results view opens \"$2\"" test -n "$id" || return 1
  focus "$id"
  keys Escape
  check "$LANG_TAG: \"$2\" closed by Escape" wait_hidden "$id"
}

save_curves() {
  local name=$1 dlg
  menu f c
  # Qt's own dialog speaks the chosen language.
  if [ "$LANG_TAG" = en ]; then dlg=$(wait_window "Save As"); else dlg=$(wait_window "Enregistrer sous"); fi
  check "$LANG_TAG: file dialog for the curves" test -n "$dlg" || return 1
  focus "$dlg"
  xdotool key ctrl+a
  xdotool type --delay 20 "$WORK/$name"
  keys Return
  check "$LANG_TAG: file dialog closed" wait_hidden "$dlg"
  check "$LANG_TAG: no error message shown" no_error_window
}

# ---------------------------------------------------------------------------------------------

mkdir -p "$WORK/home/config" "$WORK/runtime"
chmod 700 "$WORK/runtime"
START=$(date +%s)
if ! start_xvfb; then
  echo "FAIL: no X server could be started"
  FAILED=$((FAILED + 1))
  KEEP=1
else
  echo "X server on $DISPLAY, working folder $WORK"
  for lang in en fr; do
    run_language "$lang"
    if [ -n "$APP_PID" ]; then
      kill "$APP_PID" 2>/dev/null
      wait "$APP_PID" 2>/dev/null
      APP_PID=""
    fi
  done
fi
echo "run time $(($(date +%s) - START)) s"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]

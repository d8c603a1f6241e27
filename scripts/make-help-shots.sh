#!/usr/bin/env bash
# Makes the screenshots of the help pages: runs the release program on a
# demo program folder under a virtual display, drives it with the keyboard
# and mouse (xdotool) and grabs the screen (ImageMagick).
#   bash scripts/make-help-shots.sh
# builds the release program first; CHEQUE_SHOTS_PROGRAM=path/to/Cheque
# uses a program already built instead. Where a screen's layout changed,
# check the places clicked below (pixels from the main window's top-left).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${CHEQUE_SHOTS_INNER:-}" ]; then
  bash scripts/install-deps.sh shots
  if [ -z "${CHEQUE_SHOTS_PROGRAM:-}" ]; then
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHEQUE_BUILD_TESTS=OFF >/dev/null
    cmake --build build/release --target Cheque
  fi
  CHEQUE_SHOTS_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
program=${CHEQUE_SHOTS_PROGRAM:-build/release/Cheque/Cheque}

# Places in the main window (pixels from its top-left), as it opens on the
# demo folder.
SB_HELP=(25 432)
SB_CLONE=(150 432)
IMG_ACT=(67 20)
IMG_CHK=(548 473)

out="assets/Mavrel Heb Help/directcall/shots"
demo=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$demo"' EXIT
mkdir -p "$out"
cp assets/DCateg.dat assets/DCategB.dat "$demo/"
python3 scripts/make-demo-folder.py "$demo"

export CHEQUE_HOME="$demo"
"$program" >/dev/null 2>&1 &
pid=$!

# The active window once one named `$1` is up; its top-left in `wx`, `wy`.
wait_window() {
  local id=""
  for _ in $(seq 1 50); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1) && [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; exit 1; }
  eval "$(xdotool getwindowgeometry --shell "$id")"
  wx=$X wy=$Y win=$id
  sleep 0.6
}
# Grabs window `$win` into shots/$1.png.
shot() { import -window "$win" "$out/$1.png"; echo "$out/$1.png"; }
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; sleep 0.6; }
hover() { xdotool mousemove $((wx + $1)) $((wy + $2)); sleep 0.4; }

wait_window "תזרימית"
hover 450 200
shot launcher
click 300 400                         # the background: the register
wait_window "תוכנת תזרים מזומנים"
main_x=$wx main_y=$wy main=$win
shot register

xdotool key End                       # the empty last row: a new transaction
wait_window "פרטי תנועה חדשה"
xdotool type --delay 80 "ביט"
sleep 0.5
shot transaction
xdotool key Escape
sleep 0.5

wx=$main_x wy=$main_y win=$main
click "${SB_HELP[@]}"                  # the help mode over the clone button
hover "${SB_CLONE[@]}"
import -window root -crop "760x560+$((main_x - 20))+$((main_y - 20))" "$out/helpmode.png"
echo "$out/helpmode.png"
click "${SB_HELP[@]}"

click "${IMG_ACT[@]}"                  # the account definitions
wait_window "הגדרות חשבון"
shot accounts
xdotool key Escape
sleep 0.5

wx=$main_x wy=$main_y win=$main
click "${IMG_CHK[@]}"                  # the cheque page
xdotool mousemove 0 0
sleep 0.5
shot cheque

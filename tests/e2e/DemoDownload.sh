#!/usr/bin/env bash
# End-to-end run of the real program: `uroflow --demo` under Xvfb with the X11 platform
# plugin, driven by real clicks as a user drives it: the doctor's name typed, "Загрузка"
# downloads the simulated uroflowmeter's memory (the demo day), ">" steps to the next
# study, "Ном" shows the nomogram, "В файл" saves the day through the real save dialog
# (twice, as a study file asks). The file must equal the demo day byte for byte, and
# closing the window must leave the doctor's name in rdp.ini beside the program.
#   DemoDownload.sh UROFLOW CLOSE-WINDOW DEMO-DAY
set -euo pipefail

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "e2e skipped: Xvfb or xdotool is not installed"
    exit 77
fi
[ $# -eq 3 ] || { echo "usage: DemoDownload.sh UROFLOW CLOSE-WINDOW DEMO-DAY" >&2; exit 2; }
program="$1"
close_window="$2"
demo_day="$3"

work="$(mktemp -d)"
xvfb=""
app=""
cleanup() {
    if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "e2e: $*" >&2
    [ -s "$work/uroflow.log" ] && sed 's/^/  uroflow: /' "$work/uroflow.log" >&2
    exit 1
}
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# A display of our own: Xvfb takes a free number and tells it on fd 3 once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
wait_for 30 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"

# The program in a folder of its own, so its rdp.ini is ours to check, with its demo day
# where an installed program has it; the dialogs open in the folder it is started from.
mkdir -p "$work/bin" "$work/share/uroflow" "$work/days" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/bin/uroflow"
cp "$demo_day" "$work/share/uroflow/demo-day.txt"
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
       XDG_RUNTIME_DIR="$work/runtime"
(cd "$work/days" && exec "$work/bin/uroflow" --demo) >"$work/uroflow.log" 2>&1 &
app=$!

main_window() {
    window="$(xdotool search --onlyvisible --pid "$app" --name 'Урофлоуметрия' 2>/dev/null | head -n 1)"
    [ -n "$window" ]
}
wait_for 60 main_window || fail "the main window did not appear"

# Places of the controls in the window, as its layout fixes them.
click() { xdotool mousemove --sync --window "$window" "$1" "$2" click 1; }
doctor_name=(876 20)
read_data=(919 580)
next_study=(106 580)
nomogram=(250 580)
save_file=(565 580)

# The focus is on a window of the program other than the main window: a dialog is open.
dialog_open() {
    local focus
    focus="$(xdotool getwindowfocus 2>/dev/null)" || return 1
    [ "$focus" != "$window" ] && xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -qx "$focus"
}
dialog_closed() { ! dialog_open; }

click "${doctor_name[@]}"
xdotool key --clearmodifiers ctrl+a
# Latin letters: xdotool types other scripts by remapping a key for a moment, which a
# slow (sanitized) program may read after the mapping is gone.
xdotool type --delay 20 "Dr. Petrov"
click "${read_data[@]}"

# "В файл" is enabled once the download has ended and the first study is drawn: until
# then a click on it does nothing. The first dialog that opens proves the end; cancel it.
saved_probe() { click "${save_file[@]}"; wait_for 1 dialog_open; }
wait_for 120 saved_probe || fail "the download did not end (no save dialog)"
xdotool key Escape
wait_for 10 dialog_closed || fail "the save dialog did not close"

click "${next_study[@]}"
click "${nomogram[@]}"
click "${save_file[@]}"
wait_for 10 dialog_open || fail "no save dialog"
xdotool type --delay 20 "day.txt"
xdotool key Return
# The study file asks once more, opening on the name just chosen.
wait_for 10 dialog_open || fail "no second save dialog"
xdotool key Return
wait_for 10 dialog_closed || fail "the second save dialog did not close"

saved="$work/days/day.txt"
wait_for 10 test -s "$saved" || fail "no study file was written"
cmp "$saved" "$demo_day" || fail "the saved day differs from the simulated uroflowmeter's memory"

# Closed as a window manager closes it; the program ends and keeps the doctor's name.
"$close_window" "$window" || fail "could not ask the window to close"
for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$app" 2>/dev/null; then fail "the program did not end after its window closed"; fi
status=0
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
ini="$work/bin/rdp.ini"
[ -f "$ini" ] || fail "no rdp.ini beside the program"
grep -q '^\[tools\]' "$ini" || fail "rdp.ini has no [tools] section: $(cat "$ini")"
grep -qx 'edit1=Dr. Petrov' "$ini" || fail "rdp.ini does not hold the doctor's name: $(cat "$ini")"
echo "e2e: the demo day was downloaded, saved byte for byte, and rdp.ini kept the doctor's name"

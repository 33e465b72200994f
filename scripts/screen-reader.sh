#!/usr/bin/env bash
# Takes a whole test by keyboard under the Orca screen reader and prints what Orca says, step by
# step; no display, sound card or desktop needed. Everything runs privately: an X server of its
# own (Xvfb), a D-Bus session bus with the accessibility bus (AT-SPI) on it, and Orca with its
# settings in a temporary directory. Orca's speech is read from its debug log, so no speech
# synthesiser has to be installed. The program is the release build (scripts/run.sh builds it
# the same way). Usage: bash scripts/screen-reader.sh [NAME]   (the player's name, ASCII)
# AHNEMETRI_ORCA_LOG=FILE keeps Orca's whole debug log there.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}" \
    orca at-spi2-core dbus-daemon xvfb xdotool

name="${1:-Testi}"
cmake --preset release >/dev/null
cmake --build --preset release --parallel "$(nproc)" >/dev/null

work="$(mktemp -d)"
pids=()
cleanup() {
    local pid
    disown -a # their ends are expected, Orca's own SIGKILL included
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    [ -z "${AHNEMETRI_ORCA_LOG:-}" ] || cp "$work/orca.out" "$AHNEMETRI_ORCA_LOG" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A home of its own: no settings of the machine's user reach Orca, D-Bus or Qt.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export GSETTINGS_BACKEND=memory LANG=C.UTF-8 LC_ALL=C.UTF-8
unset SESSION_MANAGER WAYLAND_DISPLAY

# The X server picks a free display number and tells it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
pids+=("$(cat "$work/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS="$(cat "$work/bus")"

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)

log="$work/orca.out"
# Orca writes its debug log through a buffer, so the last words of a step would show only with
# the next; it is started with that file opened line by line instead.
/usr/bin/python3 - "$work/orca" "$log" >/dev/null 2>&1 <<'EOF' &
import builtins, runpy, sys
prefs, log = sys.argv[1:]
builtin_open = builtins.open
def line_buffered(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode:
        return builtin_open(file, mode, 1)
    return builtin_open(file, mode, *args, **kwargs)
builtins.open = line_buffered
sys.argv = ["orca", "--user-prefs", prefs, "--debug-file", log]
runpy.run_path("/usr/bin/orca", run_name="__main__")
EOF
pids+=($!)

# Every utterance of Orca in its debug log, one a line; `-k` leaves out the echo of typed keys,
# which Orca (43 as 48) logs right after noting that it presents a keyboard event.
utterances() {
    [ -f "$log" ] || return 0
    awk -v skip_keys="${1:-}" "
        /DEFAULT: Presenting keyboard event/ { key = NR }
        /SPEECH OUTPUT: '/ && !(skip_keys == \"-k\" && key && NR - key <= 3)" "$log" |
        sed -E -e "s/^.*SPEECH OUTPUT: '//" -e "s/' ?\\[?\\{'.*$//"
}

# Waits until Orca has handled the step: it has said something new that matches the pattern
# (any words if none is given, nothing to wait for if it is empty; at most 20 s), and then its
# debug log, where it notes every
# event it takes in, has stood still for 1.5 s. Then prints what Orca said since the last step,
# without the echo of the keys.
heard=0
listen() {
    local step="$1" pattern="${2-.}" size last=-1 quiet=0
    for _ in $(seq 200); do
        [ -n "$pattern" ] || break
        grep -Eq -- "$pattern" <<<"$(utterances -k | tail -n +"$((heard + 1))")" && break
        sleep 0.1
    done
    for _ in $(seq 150); do
        sleep 0.1
        size="$(stat -c %s "$log" 2>/dev/null || echo 0)"
        if [ "$size" -eq "$last" ]; then
            quiet=$((quiet + 1))
            [ "$quiet" -ge 15 ] && break
        else
            quiet=0
            last="$size"
        fi
    done
    printf '\n== %s\n' "$step"
    utterances -k | tail -n +"$((heard + 1))" | sed 's/^/   Orca: /'
    heard="$(utterances -k | wc -l)"
}

key() { xdotool key --delay 50 "$@"; }
# Orca's own commands: the Orca key (Insert) held with another key.
orca_key() { xdotool keydown Insert key --delay 50 "$1" keyup Insert; }
where_am_i() { key KP_Enter; }
read_title() { orca_key KP_Enter; }
# Orca's flat review: the window's first line, then the next lines one by one.
review_window() {
    orca_key KP_Home
    listen "$1: flat review, first line (Insert+KP_7)"
    for _ in 2 3; do
        key KP_Page_Up
        listen "$1: flat review, next line (KP_9)" ""
    done
}

for _ in $(seq 200); do
    grep -aq "About to launch Orca\|Orca is ready\|SPEECH OUTPUT" "$log" 2>/dev/null && break
    sleep 0.1
done
listen "Orca starts"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb build/release/bin/ahnemetri \
    >"$work/program.out" 2>&1 &
program=$!
pids+=("$program")
# Without a window manager nothing is sure to give the first window the focus.
xdotool search --sync --name '^Ahnemetri 1\.0$' windowfocus --sync
listen "The start window appears" "Kirjoita nimesi"
read_title
listen "Read the title (Insert+KP_Enter)" "^Ahnemetri 1\\.0$"

xdotool type --delay 50 "$name"
listen "Type the name \"$name\"" ""
key Tab
listen "Tab" "Aloittaa testin"
key Return
listen "Enter: \"Aloita testi\"" "Kysymys 1/25"
read_title
listen "Read the title" "^Ahnemetri 1\\.0 - Testi"

# Every question by its first answer: Enter presses the focused left answer. On the slider
# question the arrow keys choose an amount first (heard in words: as the slider's value with
# Qt 6.8 and later, in a notification before), Tab reaches the confirm button.
for question in $(seq 25); do
    if [ "$question" -eq 9 ]; then
        for amount in 1 2 3; do
            key Right
            listen "Question 9: Right arrow (amount $amount)" "^(notification )?$amount markkaa?"
        done
        key Left
        listen "Question 9: Left arrow (amount 2)" "^(notification )?2 markkaa"
        where_am_i
        listen "Question 9: where am I (KP_Enter)" "slider"
        key Tab
        listen "Question 9: Tab to the confirm button" "markkaa? (push )?button"
        key Return
        listen "Enter on question 9: question 10 comes up" "Kysymys 10/25"
        continue
    fi
    if [ "$question" -eq 1 ] || [ "$question" -eq 10 ]; then
        where_am_i
        listen "Question $question: where am I (KP_Enter)" "Alt\\+"
    fi
    if [ "$question" -eq 2 ]; then
        review_window "Question 2"
    fi
    key Return
    if [ "$question" -lt 25 ]; then
        listen "Enter on question $question: question $((question + 1)) comes up" \
            "Kysymys $((question + 1))/25"
    else
        listen "Enter on question 25: the results window comes up" "Uusi testi (push )?button"
    fi
done

where_am_i
listen "Results: where am I (KP_Enter)" "Alt\\+U"
read_title
listen "Results: read the title" "^Ahnemetri 1\\.0 - Tilastot"
review_window "Results"
key Return
listen "Enter: \"Uusi testi\"" "Kirjoita nimesi"
read_title
listen "Start window again: read the title" "^Ahnemetri 1\\.0$"
review_window "Start window again"

key alt+y
listen "Alt+Y: the menu"
key t
listen "T: \"Tietoa...\"" "OK (push )?button"
read_title
listen "About: read the title" "^Ahnemetri 1\\.0 - Tietoa$"
key Return
listen "Enter: \"OK\"" ""

# Without a window manager nobody gives the focus back to the start window.
xdotool search --name '^Ahnemetri 1\.0$' windowfocus --sync
listen "The start window has the focus again" "Kirjoita nimesi"
key ctrl+x
listen "Ctrl+X: \"Lopeta\"" ""
for _ in $(seq 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    echo "The program did not end on Ctrl+X." >&2
    exit 1
fi

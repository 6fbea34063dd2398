#!/bin/sh
# A sound device that never takes a sound does not hold the game. ALSA's default device is
# made a file device writing into a FIFO that nobody reads, so opening it blocks for ever.
# The real program, started from the folder that holds sound/, gets Enter on "вход" as real
# X input; its greeting box must appear within the door cue's length and the cue player's
# margin, and once it is answered a close request ends the game within 2 s with exit code 0
# and nothing on stderr. The box observer (the monkey's) tells what the box says.
# Usage: blocked_sound_test.sh <casino> <close_window> <box observer library>
casino=$1
close_window=$2
observer=$3
home=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && { kill -9 "$pid" && wait "$pid"; } 2>/dev/null; rm -rf "$home"' EXIT
fail() {
  echo "blocked sound device: $*"
  exit 1
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

mkfifo "$home/fifo"
printf 'pcm.!default {\n  type file\n  slave.pcm "null"\n  file "%s/fifo"\n  format "raw"\n}\n' \
  "$home" >"$home/.asoundrc"

HOME=$home NO_AT_BRIDGE=1 CASINO_MONKEY_LOG=$home/boxes LD_PRELOAD=$observer \
  "$casino" 2>"$home/stderr" &
pid=$!
window=$("$close_window" find 'казино "Пельтораг"' 20) || fail "the game opened no window"
# No window manager: the keyboard follows the pointer.
xdotool mousemove --window "$window" 30 30
sleep 0.3

# The door cue's length, from its header (rate at byte 28, data size at byte 40, as the build
# writes it), the cue player's margin, and a second for the box to reach the screen.
rate=$(od -An -tu4 -j28 -N4 sound/door.wav | tr -d ' ')
size=$(od -An -tu4 -j40 -N4 sound/door.wav | tr -d ' ')
allowed=$((size * 1000 / rate + 500 + 1000))
start=$(now_ms)
xdotool key Return
box=$("$close_window" find 'казино' $((allowed / 1000 + 5))) ||
  fail "no greeting box $(($(now_ms) - start)) ms after Enter on the entrance"
took=$(($(now_ms) - start))
[ "$took" -le "$allowed" ] || fail "the greeting box took $took ms, more than $allowed ms"
grep -qx 'message у тебя 60 баксов.' "$home/boxes" || fail "the box said: $(cat "$home/boxes")"
echo "the greeting box appeared $took ms after Enter (allowed: $allowed ms)"

xdotool mousemove --window "$box" 10 10
sleep 0.3
xdotool key Return
for _ in $(seq 50); do
  grep -qx closed "$home/boxes" && break
  sleep 0.1
done
grep -qx closed "$home/boxes" || fail "Enter did not close the greeting box"

"$close_window" started || fail "the game's window went"
for _ in $(seq 20); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game is still running 2 s after the close request"
wait "$pid"
status=$?
pid=
[ -s "$home/stderr" ] && fail "the game wrote to stderr: $(cat "$home/stderr")"
[ "$status" -eq 0 ] || fail "exit code $status"
exit 0

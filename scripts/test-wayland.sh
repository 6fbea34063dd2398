#!/usr/bin/env bash
# The Linux program on Wayland, with no X server at all: builds build/release and runs the
# real program with GDK_BACKEND=wayland under a headless sway. The input comes from wayvnc,
# whose virtual keyboard and pointer sway takes as its seat's devices, as a desktop's own.
# The monkey's driver plays tests/wx/reader.script through tests/wx/bus_transport.py, which
# reads what a screen reader hears from the accessibility bus: every box, caption, control,
# list and the keyboard must be what the replay session shows, the window must carry the
# desktop entry's id as its app id, and the door cue, the last one played, must reach the
# sound device (which writes what is played into a file, a cue at a time) sample for sample.
# sway refuses to run as root, so the compositor, the game and the tests run as a throwaway
# user that this script makes and removes; the game and its sounds are copied to that user's
# scratch folder, since the build folders are root's. With --screenshots it also photographs
# the casino floor into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
fail() { echo "FAIL: test-wayland: $*" >&2; exit 1; }

scripts/install-deps.sh wayland
[ "$(id -u)" -eq 0 ] || fail "run it as root: it makes a user of its own for the compositor"

shots=
[ "${1:-}" = "--screenshots" ] && shots=$PWD/docs/screenshots

scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" \
  --target casino monkey web_tables casino_monkey_observer
entry=$(ls build/release/src/frontends/wx/*.desktop)
app_id=$(basename "$entry" .desktop)

work=$(mktemp -d)
user=casino-wayland-$$
sway_pid=
vnc_pid=
cleanup() {
  local pid
  for pid in $vnc_pid $sway_pid; do kill "$pid" 2>/dev/null || true; done
  for pid in $vnc_pid $sway_pid; do wait "$pid" 2>/dev/null || true; done
  if id "$user" >/dev/null 2>&1; then
    # What the session buses started for the user (the accessibility bus) ends with them;
    # whatever is left of the user's processes is ours to end.
    for _ in $(seq 20); do pgrep -u "$user" >/dev/null || break; sleep 0.1; done
    for pid in $(pgrep -u "$user"); do kill "$pid" 2>/dev/null || true; done
    userdel "$user" || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

home=$work/home
useradd --no-create-home --home-dir "$home" --shell /usr/sbin/nologin --user-group "$user"
chmod 755 "$work"
mkdir -p "$home/run" "$home/game" "$home/tests"
cp build/release/casino build/release/web_tables build/release/tests/support/monkey \
  build/release/tests/wx/libcasino_monkey_observer.so "$home/game/"
cp -r build/release/sound "$home/game/"
cp tests/wx/bus_transport.py tests/wx/reader.script "$home/tests/"
cat >"$home/sway.conf" <<'EOF'
output HEADLESS-1 resolution 1024x768
xwayland disable
EOF
chown -R "$user:$user" "$home"
chmod 700 "$home/run"

# A command as the user, in an environment of its own: no DISPLAY, nothing of root's.
# Started in the background with `exec_as_user ... &`, its pid is the program's own.
user_env=(setpriv --reuid="$user" --regid="$user" --init-groups
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" LANG=C.UTF-8)
as_user() { "${user_env[@]}" "$@"; }
exec_as_user() { exec "${user_env[@]}" "$@"; }

wait_for_file() {
  for _ in $(seq 100); do
    compgen -G "$1" >/dev/null && return 0
    sleep 0.1
  done
  return 1
}

exec_as_user WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$home/sway.conf" >"$work/sway.log" 2>&1 &
sway_pid=$!
wait_for_file "$home/run/wayland-[0-9]" && wait_for_file "$home/run/sway-ipc.*.sock" ||
  fail "sway did not start: $(cat "$work/sway.log")"
display=$(basename "$(compgen -G "$home/run/wayland-[0-9]" | head -1)")
ipc=$(compgen -G "$home/run/sway-ipc.*.sock" | head -1)

exec_as_user WAYLAND_DISPLAY="$display" wayvnc --unix-socket "$home/vnc.sock" >"$work/wayvnc.log" 2>&1 &
vnc_pid=$!
wait_for_file "$home/vnc.sock" || fail "wayvnc did not start: $(cat "$work/wayvnc.log")"

# The driver, its transport and the game meet on a private session bus; its daemon's
# chatter goes to a log.
echo "sway $(as_user SWAYSOCK="$ipc" swaymsg -t get_version -r | sed -n 's/.*"human_readable": "\([^"]*\)".*/\1/p'), input from wayvnc"
as_user WAYLAND_DISPLAY="$display" SWAYSOCK="$ipc" GDK_BACKEND=wayland CASINO_SCREENSHOTS="${shots:+$home}" \
  dbus-run-session -- "$home/game/monkey" --script "$home/tests/reader.script" -- \
  /usr/bin/python3 "$home/tests/bus_transport.py" --wayland "$home/vnc.sock" "$app_id" \
  --sound-device "$home/played.raw" "$home/game/web_tables" "$home/game/casino" "$home/game/libcasino_monkey_observer.so" \
  2>"$work/reader.log" ||
  { grep -v '^dbus-daemon\[' "$work/reader.log" >&2 || true; fail "the screen reader's walk"; }
# The door cue's samples: its wav less the 44-byte header.
cmp -s "$home/played.raw" <(tail -c +45 build/release/sound/door.wav) ||
  fail "the door cue did not reach the sound device as it is"
echo "wayland: the door cue reached the sound device sample for sample"
if [ -n "$shots" ]; then
  cp "$home/linux-wayland-floor.png" "$shots/"
  echo "screenshot: docs/screenshots/linux-wayland-floor.png"
fi

echo "test-wayland: all passed in $((SECONDS - start)) s"

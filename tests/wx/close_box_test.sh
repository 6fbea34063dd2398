#!/bin/sh
# The real program, started from the folder that holds sound/, ends at once with exit code 0
# and without a word on stderr when its window is asked to close (the close box, Alt+F4,
# another program): just opened, with the greeting box open, and with a bet's input box open.
# Usage: close_box_test.sh <casino> <close_window> <monkey observer>
casino=$1
close_window=$2
observer=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
  echo "closed while $when: $*"
  failed=1
}

for when in started message ask; do
  log=$work/$when.log
  errors=$work/$when.stderr
  if [ "$when" = started ]; then
    "$casino" 2>"$errors" &
  else
    # The observer tells which boxes the game opens; it changes nothing.
    LD_PRELOAD=$observer CASINO_MONKEY_LOG=$log "$casino" 2>"$errors" &
  fi
  pid=$!
  if [ "$when" = started ]; then
    "$close_window" started
  else
    "$close_window" "$when" "$log"
  fi || { fail "the game did not get there"; kill "$pid"; wait "$pid"; continue; }
  for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "the game is still running 2 s after the close request"
    kill "$pid"
    wait "$pid"
    continue
  fi
  wait "$pid"
  status=$?
  if [ -s "$errors" ]; then
    fail "the game wrote to stderr:"
    cat "$errors"
  fi
  [ "$status" -eq 0 ] || fail "exit code $status"
done
exit "$failed"

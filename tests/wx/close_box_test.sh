#!/bin/sh
# The real program, started from the folder that holds sound/, opens its window without a
# word on stderr, and a close request (the close box, Alt+F4) ends it at once with exit
# code 0. Usage: close_box_test.sh <casino> <close_window>
casino=$1
close_window=$2
"$casino" 2>casino-stderr.txt &
pid=$!
"$close_window" 'казино "Пельтораг"' || { kill "$pid"; exit 1; }
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the game is still running 2 s after the close request"
  kill "$pid"
  exit 1
fi
wait "$pid"
status=$?
if [ -s casino-stderr.txt ]; then
  echo "the game wrote to stderr:"
  cat casino-stderr.txt
  exit 1
fi
[ "$status" -eq 0 ] || { echo "exit code $status"; exit 1; }

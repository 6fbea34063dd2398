#!/bin/sh
# A sound device that never takes a sound does not hold the game: with --blocked-sound the
# transport makes ALSA's default device a file device writing into a pipe that nobody reads, so
# opening it never ends. Enter on "вход" must still bring the greeting, as the replay shows it,
# within the door cue's length, the cue player's margin and a second for the box to reach the
# screen; and the close that follows must end the game within 2 s, with exit code 0.
# Usage: blocked_sound_test.sh MONKEY-COMMAND... (the driver with "--script /dev/stdin" and its
# transport, to which --blocked-sound MS is added), from the folder that holds sound/.
# The door cue's length comes from its header (rate at byte 28, data size at byte 40, as
# the build writes it).
rate=$(od -An -tu4 -j28 -N4 sound/door.wav | tr -d ' ')
size=$(od -An -tu4 -j40 -N4 sound/door.wav | tr -d ' ')
allowed=$((size * 1000 / rate + 500 + 1000))
echo "the greeting is allowed $allowed ms"
printf 'click cmdexit\nclose\n' | "$@" --blocked-sound "$allowed"

#!/usr/bin/env bash
# The packages, as a user gets them: builds all five (scripts/package.sh); checks the .deb
# with the validators a distribution runs: lintian --pedantic --display-info (not one tag),
# appstreamcli validate --pedantic and compose (the catalogue a software centre reads must
# hold the Russian description), desktop-file-validate (silent); checks every member's
# permissions, the icons (the SVG and the PNGs rendered from it) and the manual page; installs
# it, starts the installed game from / on a virtual X server, checks that its window's
# icons are the installed PNGs, enters the casino and hears the door cue come from the
# installed sound folder; removes it again. Then the same with the .tar.gz unpacked into a
# scratch folder (an install moved elsewhere), and a look at what the Windows zip holds
# (test-win32.sh walks the unpacked zip under Wine, test-msi.sh installs the .msi). Every
# data file that names the version or the release date must name the project's.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
fail() { echo "FAIL: test-package: $*" >&2; exit 1; }

bash scripts/package.sh
version=$(cat build/release/version.txt)
deb=$PWD/dist/casino_${version}_amd64.deb
tgz=$PWD/dist/casino-${version}-linux-x86_64.tar.gz
zip=$PWD/dist/casino-${version}-win64.zip
msi=$PWD/dist/casino-${version}-win64.msi
for f in "$deb" "$tgz" "$zip" "$msi"; do [ -s "$f" ] || fail "package.sh did not make $f"; done

work=$(mktemp -d)
source scripts/lib/virtual-desktop.sh
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  stop_desktop
  dpkg -r casino >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# ---- The .deb: lintian, AppStream, the desktop entry ----
# Not one tag, of any severity (lintian's own note that it runs as root is no tag).
lintian_status=0
lintian --pedantic --display-info "$deb" >"$work/lintian.txt" 2>&1 || lintian_status=$?
tags=$(grep -E '^[EWIPXOCN]: ' "$work/lintian.txt" || true)
[ -z "$tags" ] && [ "$lintian_status" -eq 0 ] ||
  { cat "$work/lintian.txt"; fail "lintian --pedantic --display-info tagged the .deb"; }
echo "lintian --pedantic --display-info: no tags"
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
# Every folder 0755, every file 0644 but the program, owned by root, whatever the umask.
modes=$(dpkg-deb -c "$deb" | awk '{ print $1, $2, $NF }' |
  grep -vE '^(drwxr-xr-x root/root .*/|-rw-r--r-- root/root .*|-rwxr-xr-x root/root \./usr/games/casino)$' || true)
[ -z "$modes" ] || fail "members of the .deb with other permissions: $modes"
metainfo=$(ls "$work"/deb/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net --pedantic "$metainfo"
# What a software centre shows: the catalogue appstreamcli composes from the installed tree.
appstreamcli compose --no-net --no-color --print-report=full --origin=casino \
  --result-root="$work/compose" "$work/deb" >"$work/compose.txt" 2>&1 ||
  { cat "$work/compose.txt"; fail "appstreamcli compose failed"; }
grep -qx 'Success!' "$work/compose.txt" && [ "$(grep -cvE '^(Processing directory: |Composing metadata\.\.\.|Success!)' "$work/compose.txt")" -eq 0 ] ||
  { cat "$work/compose.txt"; fail "appstreamcli compose reported issues"; }
python3 - "$metainfo" "$work"/compose/usr/share/swcatalog/xml/casino.xml.gz <<'PY' || fail "the composed catalogue lost Russian"
import gzip, sys, xml.etree.ElementTree as ET
LANG = "{http://www.w3.org/XML/1998/namespace}lang"
def russian(component):
    """The Russian name, and the Russian paragraphs of the description: each marked in the
    metainfo, under a Russian description in the catalogue."""
    names = [n.text for n in component.findall("name") if n.get(LANG) == "ru"]
    paragraphs = [" ".join(p.text.split()) for d in component.findall("description")
                  for p in d.findall("p") if "ru" in (p.get(LANG), d.get(LANG))]
    return names, paragraphs
source = ET.parse(sys.argv[1]).getroot()
composed = ET.parse(gzip.open(sys.argv[2])).getroot().find("component")
names, paragraphs = russian(source)
english = [p for d in source.findall("description") for p in d.findall("p") if p.get(LANG) is None]
assert len(names) == 1, f"Russian names in the metainfo: {names}"
assert len(paragraphs) == len(english), f"{len(paragraphs)} Russian paragraphs for {len(english)} English ones"
assert russian(composed) == (names, paragraphs), f"the catalogue's Russian: {russian(composed)}"
languages = {l.text: l.get("percentage") for l in composed.iter("lang")}
assert languages == {"ru": "100"}, f"the catalogue's languages: {languages}"
print(f"appstreamcli compose: the catalogue carries the Russian name {names[0]} and the Russian "
      f"description, all {len(paragraphs)} paragraphs")
PY
entry=$(ls "$work"/deb/usr/share/applications/*.desktop)
validation=$(desktop-file-validate "$entry" 2>&1) || true
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
echo "desktop-file-validate: silent"
app_id=$(basename "$entry" .desktop)
[ "$(sed -n 's/^Icon=//p' "$entry")" = "$app_id" ] || fail "the desktop entry's icon is not $app_id"
# One Russian name, the window's, in the desktop entry and the metainfo.
ru_name=$(sed -n 's/^Name\[ru\]=//p' "$entry")
grep -qF "<name xml:lang=\"ru\">$ru_name</name>" "$metainfo" || fail "the metainfo's Russian name is not $ru_name"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
# The scalable icon is the drawing itself; the PNGs are rendered from it.
hicolor=$work/deb/usr/share/icons/hicolor
cmp -s "$hicolor/scalable/apps/$app_id.svg" tools/icon/casino.svg || fail "the .deb's scalable icon is not tools/icon/casino.svg"
for size in 16 32 48 64 128 256; do
  [ -s "$hicolor/${size}x${size}/apps/$app_id.png" ] || fail "the .deb has no ${size} px icon"
done
[ -s "$work/deb/usr/share/man/man6/casino.6.gz" ] || fail "the .deb has no manual page"
# The manual page's sections in the usual order, naming the paths the .deb installs.
manual=$(zcat "$work/deb/usr/share/man/man6/casino.6.gz")
sections=$(sed -n 's/^\.SH //p' <<<"$manual" | tr '\n' ' ')
[ "$sections" = "NAME SYNOPSIS DESCRIPTION OPTIONS KEYS FILES " ] || fail "the manual page's sections: $sections"
for path in /usr/games/casino /usr/share/casino/sound; do
  grep -qF "$path" <<<"$manual" && [ -e "$work/deb$path" ] || fail "the manual page does not name $path"
done
grep -q '<prefix>' <<<"$manual" && fail "the manual page writes <prefix>"
# The program as Debian builds one: hardened (lintian checks RELRO, BINDNOW, PIE and the
# fortified functions), its code built for CET, and stripped of the compiler's .comment.
[ "$(objdump -d "$work/deb/usr/games/casino" | grep -c endbr64)" -gt 0 ] || fail "the program is not built with -fcf-protection"
# The version and the release date, the last commit's unless SOURCE_DATE_EPOCH says otherwise.
released=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
grep -qF "<release version=\"$version\" date=\"$(date -u -d "@$released" +%F)\">" \
  "$work"/deb/usr/share/metainfo/*.metainfo.xml || fail "the AppStream release is not $version of $(date -u -d "@$released" +%F)"
grep -qF "\"$(LC_ALL=C date -u -d "@$released" '+%B %Y')\" \"casino $version\"" \
  <<<"$(zcat "$work/deb/usr/share/man/man6/casino.6.gz" | sed -n 1p)" || fail "the manual page is not of $version"
grep -qF "casino ($version)" <<<"$(zcat "$work/deb/usr/share/doc/casino/changelog.gz" | sed -n 1p)" ||
  fail "the changelog's newest entry is not $version"
grep -q '^Path=' "$work"/deb/usr/share/applications/*.desktop && fail "the desktop entry fixes Path="

# ---- The installed game hears its own cues ----
start_x "$work" || fail "no virtual X server"

# Starts the program from /, with HOME at a folder whose ALSA default device writes what
# is played into a file; checks that its window's icons are the PNGs of the given hicolor
# folder; presses Enter on "вход" and checks that what was played is the door cue of the
# given sound folder, sample for sample, and that stderr stayed empty.
hear_the_door() {
  local program=$1 sound=$2 hicolor_dir=$3 home
  home=$(mktemp -d -p "$work")
  printf 'pcm.!default {\n  type file\n  slave.pcm "null"\n  file "%s/out.raw"\n  format "raw"\n}\n' \
    "$home" >"$home/.asoundrc"
  (cd / && HOME=$home NO_AT_BRIDGE=1 exec "$program") 2>"$home/stderr" &
  game_pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" | head -1) ||
    fail "$program opened no window"
  # The desktop matches the window to the entry by WM_CLASS: the instance is the entry's
  # id, the class is the entry's StartupWMClass.
  local class
  class=$(xprop -id "$window" WM_CLASS)
  [ "$class" = "WM_CLASS(STRING) = \"$app_id\", \"$wm_class\"" ] ||
    fail "$program's window has $class, its desktop entry $app_id and StartupWMClass=$wm_class"
  # The window's icons are the installed PNGs, pixel for pixel.
  local icons
  icons=$(xprop -id "$window" -notype 32c _NET_WM_ICON |
    /usr/bin/python3 tests/tools/window_icons.py "$hicolor_dir" "$app_id") ||
    fail "$program's window icons are not the installed PNGs: $icons"
  # No window manager: the keyboard follows the pointer.
  xdotool mousemove --window "$window" 30 30
  sleep 0.3
  xdotool key Return
  local want=$(($(stat -c %s "$sound/door.wav") - 44))
  for _ in $(seq 100); do
    [ "$(stat -c %s "$home/out.raw" 2>/dev/null || echo 0)" -ge "$want" ] && break
    sleep 0.1
  done
  tail -c +45 "$sound/door.wav" | cmp -s - "$home/out.raw" ||
    fail "$program started from / did not play $sound/door.wav"
  kill "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=
  [ ! -s "$home/stderr" ] || fail "$program wrote on stderr: $(cat "$home/stderr")"
  echo "$program, started from /, played $sound/door.wav; its window's $class, its icons the $icons px PNGs"
}

dpkg -i "$deb" >/dev/null
hear_the_door /usr/games/casino /usr/share/casino/sound /usr/share/icons/hicolor
dpkg -r casino >/dev/null
[ ! -e /usr/games/casino ] && [ ! -e /usr/share/casino ] || fail "dpkg -r left the game behind"

# The .tar.gz unpacked anywhere: the program finds the data folder beside its own.
mkdir "$work/moved"
tar -xzf "$tgz" -C "$work/moved"
root=$work/moved/casino-${version}-linux-x86_64
hear_the_door "$root/games/casino" "$root/share/casino/sound" "$root/share/icons/hicolor"

# ---- The Windows zip ----
listing=$(unzip -Z1 "$zip" | grep -v '/$' | sed "s|^casino-${version}-win64/||" | sort | tr '\n' ' ')
want="casino.exe readme.txt sound/applaus8.wav sound/cophit.wav sound/door.wav sound/laugh3.wav sound/nomore.wav sound/siren.wav "
[ "$listing" = "$want" ] || fail "the zip holds: $listing"
echo "the zip holds: $listing"
# The readme as Notepad reads it: UTF-8 with a byte-order mark, every line ending in CRLF.
unzip -p "$zip" "casino-${version}-win64/readme.txt" >"$work/readme.txt"
[ "$(head -c 3 "$work/readme.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the zip's readme.txt has no byte-order mark"
[ "$(tr -cd '\n' <"$work/readme.txt" | wc -c)" -eq "$(grep -c $'\r$' "$work/readme.txt")" ] &&
  [ "$(tail -c 2 "$work/readme.txt" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "the zip's readme.txt has lines not ending in CRLF"
# The .tar.gz's members, like the .deb's: folders 0755, files 0644 or 0755 for the program.
modes=$(tar -tvzf "$tgz" | awk '{ print $1, $2, $NF }' |
  grep -vE '^(drwxr-xr-x root/root .*|-rw-r--r-- root/root .*|-rwxr-xr-x root/root .*/games/casino)$' || true)
[ -z "$modes" ] || fail "members of the .tar.gz with other permissions: $modes"

ls -l dist | sed 1d
echo "test-package: passed in $((SECONDS - start)) s"

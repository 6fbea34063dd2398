#!/usr/bin/env bash
# The Windows installer, as a user gets it, under Wine in a fresh prefix on a virtual X
# server. Builds casino-<version>-win64.msi (the target package_msi) and installs it with
# msiexec /qn; checks what it wrote: the program and its cues in their folder under
# Program Files, one Start-menu shortcut with our icon, the uninstall entry, Windows
# Installer's own records, and nothing else. Walks the installed casino.exe from another
# folder, its cues found beside it. Installs the same files as the next version, which
# must replace the first; uninstalls that with msiexec /x, after which the prefix's files
# and registry must be as they were before the install, but for what Wine changes itself.
# Before any of that, reads the installer's tables with msiinfo: every component 64-bit,
# casino.exe's version and language filled in, one language throughout.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
start=$SECONDS
fail() { echo "FAIL: test-msi: $*" >&2; exit 1; }

scripts/install-deps.sh windows

# ---- Build: this version's installer and the next version's ----
scripts/configure-win32.sh
build=$(cd "${CASINO_WIN32_BUILD:-build/win32}" && pwd)
cmake --build "$build"
cmake --build "$build" --target package_msi >/dev/null
version=$(cat "$build/version.txt")
msi=$build/packages/casino-$version-win64.msi
[ -s "$msi" ] || fail "package_msi did not make $msi"

# ---- The installer's tables, read with msiinfo ----
# Every component is a 64-bit one (msidbComponentAttributes64bit, 256), as its folder is
# under ProgramFiles64Folder (Windows Installer's ICE80).
table() { msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r'; }
attributes=$(table Component | awk -F'\t' '{ print $1 "=" $4 }' | tr '\n' ' ')
[ -n "$attributes" ] && [ -z "$(table Component | awk -F'\t' '$4 != 256')" ] ||
  fail "components not marked 64-bit: $attributes"
# casino.exe's File version is the one its version record carries (the project's version,
# as test-win32.sh checks), its language the product's and the summary's: one language
# throughout.
exe_version=$version.0
file_row=$(table File | awk -F'\t' '$1 == "casino.exe" { print $5 " " $6 }')
product_language=$(table Property | awk -F'\t' '$1 == "ProductLanguage" { print $2 }')
template=$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')
[ "$file_row" = "$exe_version $product_language" ] ||
  fail "casino.exe's File version and language are '$file_row', its version record's $exe_version, the product's language $product_language"
[ "$template" = "x64;$product_language" ] || fail "the summary's template is $template, the product's language $product_language"
[ -z "$(table MsiFileHash | awk -F'\t' '$1 == "casino.exe"')" ] || fail "the versioned casino.exe has a file hash"
echo "msiinfo: $(table Component | wc -l) components with Attributes 256; casino.exe version $exe_version, language $product_language as the product's and the summary's ($template)"

source scripts/lib/virtual-desktop.sh
source scripts/lib/win32-walk.sh
open_work
# The same files under the version after this one, with the patch number one higher.
next=${version%.*}.$((${version##*.} + 1))
next_msi=$work/casino-$next-win64.msi
cmake -DVERSION="$next" -DOUTPUT="$next_msi" -P "$build/make_msi.cmake" >/dev/null

start_x "$work" || fail "no virtual X server"
start_wine "$work" || fail "no Wine prefix"
drive_c=$WINEPREFIX/drive_c
folder='C:\Program Files\Casino Peltorag'
folder_unix=$drive_c/Program\ Files/Casino\ Peltorag
uninstall=Software/Microsoft/Windows/CurrentVersion/Uninstall

# ---- What the prefix holds ----
# NAME.files: every file and folder under C:\, NAME.reg: every key and value of the
# registry, one a line as "hive<TAB>key<TAB>value" (a key alone has an empty value), keys
# written with / between their parts, values as the registry file writes them; the times
# Wine stamps on keys are left out and values continued over lines joined.
snapshot() {
  timeout 60 "$wineserver" -w
  (cd "$drive_c" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort) >"$work/$1.files"
  for hive in system user userdef; do
    awk -v hive="$hive" '
      /^\[/ { key = substr($0, 2, index($0, "]") - 2); gsub(/\\\\/, "/", key); print hive "\t" key "\t"; next }
      /^(#|;|WINE REGISTRY)/ || key == "" || $0 == "" { next }
      { line = line $0 }
      /\\$/ { sub(/\\$/, "", line); next }
      { gsub(/^[ \t]+/, "", line); print hive "\t" key "\t" line; line = "" }
    ' "$WINEPREFIX/$hive.reg"
  done | LC_ALL=C sort >"$work/$1.reg"
}
# What B has and A has not, for two snapshots' files or registries.
added() { LC_ALL=C comm -13 "$work/$1" "$work/$2"; }

tab=$'\t'
# What Wine changes by itself: its description of the display, the monitors and the
# network cards, rewritten whenever it starts; its sound devices, found when a program
# first plays a sound; and its own settings.
wine_own="^(system$tab(System/CurrentControlSet/(Control/Class|Enum)/|Software/Microsoft/Windows NT/CurrentVersion/NetworkCards$tab|Software/Microsoft/Windows/CurrentVersion/MMDevices[/$tab])|user${tab}Software/Wine[/$tab])"
# Windows Installer's own records of what it installed.
installer_own="^system${tab}Software/(Classes/Installer|Microsoft/Windows/CurrentVersion/Installer)[/$tab]"

msiexec() {
  local status=0
  timeout 120 "$wine" msiexec "$@" /qn || status=$?
  [ "$status" -eq 0 ] || fail "msiexec $* failed (status $status)"
}
# The registry below a key, with its values, one a line as "subkey<TAB>value".
under() {
  K="$2/" awk -F'\t' 'index($2, ENVIRON["K"]) == 1 { print substr($2, length(ENVIRON["K"]) + 1) "\t" $3 }' "$work/$1.reg"
}
# The product codes that have an uninstall entry.
products() { under "$1" "$uninstall" | awk -F'\t' '$2 == "" && $1 !~ /\// { print $1 }'; }
# One value of a key, as the registry file writes it.
value() {
  K="$2" N="\"$3\"=" awk -F'\t' '$2 == ENVIRON["K"] && index($3, ENVIRON["N"]) == 1 { print substr($3, length(ENVIRON["N"]) + 1) }' "$work/$1.reg"
}
# The upgrade codes Windows Installer knows, each with the products it leads to.
upgrade_codes() { under "$1" Software/Classes/Installer/UpgradeCodes | awk -F'\t' '$2 != ""'; }
# Windows Installer writes a code in its own keys with the hex digits of each part reversed.
packed() {
  local hex=${1//[\{\}-]/} out= i
  for i in 8 4 4; do out+=$(rev <<<"${hex:0:$i}"); hex=${hex:$i}; done
  for i in 0 2 4 6 8 10 12 14; do out+=$(rev <<<"${hex:$i:2}"); done
  echo "$out"
}

snapshot before

# ---- Install ----
cp "$msi" "$work/"
cd "$work"
msiexec /i "$(basename "$msi")"
snapshot installed

# The files: the program and its cues in their folder, one shortcut in a Start menu, and
# Windows Installer's copy of the package and of the icon.
added before.files installed.files >"$work/new.files"
shortcut=$(grep -E '(^|/)Start Menu/Programs/Casino Peltorag\.lnk$' "$work/new.files") ||
  fail "no Start-menu shortcut"
want=$(printf '%s\n' "Program Files/Casino Peltorag" "Program Files/Casino Peltorag/casino.exe" \
  "Program Files/Casino Peltorag/sound" \
  "$(cd "$build/packages/stage"/*/sound && ls *.wav | sed 's|^|Program Files/Casino Peltorag/sound/|')")
got=$(grep -vE '^windows/Installer(/|$)' "$work/new.files" | grep -vxF "$shortcut" |
  grep -vxF "$(dirname "$shortcut")" || true)
[ "$got" = "$want" ] || fail "the installer wrote these files: $(echo "$got" | tr '\n' ' ')"
cmp -s "$folder_unix/casino.exe" "$build/packages/stage"/*/casino.exe || fail "casino.exe was not installed as built"

# The registry: the uninstall entry and Windows Installer's records, nothing else.
uninstall_own="^system$tab$uninstall/\{"
added before.reg installed.reg | grep -vE "$wine_own|$installer_own|$uninstall_own" >"$work/new.reg" || true
[ ! -s "$work/new.reg" ] || fail "the installer wrote into the registry: $(head -5 "$work/new.reg")"
product=$(products installed)
[ "$(echo "$product" | wc -l)" -eq 1 ] && [ -n "$product" ] || fail "uninstall entries: $product"
entry=$uninstall/$product
[ "$(value installed "$entry" DisplayName)" = '"Casino Peltorag"' ] || fail "the uninstall entry's name is $(value installed "$entry" DisplayName)"
[ "$(value installed "$entry" DisplayVersion)" = "\"$version\"" ] || fail "the uninstall entry's version is $(value installed "$entry" DisplayVersion)"
[ "$(value installed "$entry" Publisher)" = '"The casino developers"' ] || fail "the uninstall entry's publisher is $(value installed "$entry" Publisher)"
# The icon Windows shows beside the entry is the one the installer published for the product.
icon=$(value installed "Software/Classes/Installer/Products/$(packed "$product")" ProductIcon |
  sed 's/^"//; s/"$//; s/\\\\/\\/g')
[ -n "$icon" ] || fail "the uninstall entry has no icon"
cmp -s "$("$wine" winepath -u "$icon" 2>/dev/null)" "$build/packages/msi/casino.ico" ||
  fail "the uninstall entry's icon $icon is not ours"
# The shortcut starts the installed program in its folder, with our icon: its target,
# working folder and icon are among the link's strings (each after its length).
lnk_strings=$(strings -a -el "$drive_c/$shortcut"; strings -a "$drive_c/$shortcut")
for held in "$folder\\casino.exe" "$folder\\" "$icon"; do
  grep -qF "$held" <<<"$lnk_strings" || fail "the shortcut does not hold $held"
done
echo "installed $(basename "$msi"): product $product, $(wc -l <"$work/new.files") files and folders, shortcut C:/$shortcut"

# ---- The installed program, walked from another folder ----
mkdir "$work/run"
cp "$build/tests/win32/casino_automation.exe" "$work/run/"
cd "$work/run"
casino="$folder\\casino.exe"
walk 96 middle
cues_from "$folder" || fail "the installed casino.exe did not find its cues in $folder\\sound"
echo "the installed casino.exe walked, its cues from $folder\\sound"
cd "$work"

# ---- The next version replaces this one ----
msiexec /i "$(basename "$next_msi")"
snapshot upgraded
next_product=$(products upgraded)
[ "$(echo "$next_product" | wc -l)" -eq 1 ] && [ "$next_product" != "$product" ] ||
  fail "after the upgrade, the uninstall entries are: $next_product"
[ "$(value upgraded "$uninstall/$next_product" DisplayVersion)" = "\"$next\"" ] ||
  fail "the upgraded entry's version is $(value upgraded "$uninstall/$next_product" DisplayVersion)"
# One upgrade code: it led to the first product, and now leads to the next one alone.
first_code=$(upgrade_codes installed)
[ "${first_code#*$tab}" = "\"$(packed "$product")\"=\"\"" ] || fail "the upgrade codes after the install: $first_code"
[ "$(upgrade_codes upgraded)" = "${first_code%%$tab*}$tab\"$(packed "$next_product")\"=\"\"" ] ||
  fail "the upgrade codes after the upgrade: $(upgrade_codes upgraded)"
[ "$(grep -c 'Start Menu/Programs/Casino Peltorag\.lnk$' "$work/upgraded.files")" -eq 1 ] || fail "not one shortcut after the upgrade"
cmp -s "$folder_unix/casino.exe" "$build/packages/stage"/*/casino.exe || fail "casino.exe is gone after the upgrade"
echo "$(basename "$next_msi") replaced $version: product $next_product, the same upgrade code"

# ---- Uninstall: everything goes ----
msiexec /x "$(basename "$next_msi")"
snapshot removed
# Windows Installer keeps its empty folder and the empty keys its records hang from.
left_files=$(added before.files removed.files | grep -vx 'windows/Installer' || true)
[ -z "$left_files" ] || fail "msiexec /x left these files: $(echo "$left_files" | tr '\n' ' ')"
installer_root="^system${tab}Software/(Classes/Installer|Microsoft/Windows/CurrentVersion/Installer)(/[^$tab]*)?$tab\$"
left_reg=$( (added before.reg removed.reg | grep -vE "$installer_root"; added removed.reg before.reg) |
  grep -vE "$wine_own" || true)
[ -z "$left_reg" ] || fail "msiexec /x left the registry changed: $(echo "$left_reg" | head -5)"
wine_changes=$( (added before.reg removed.reg; added removed.reg before.reg) | grep -cE "$wine_own" || true)
echo "uninstalled: no file, folder, shortcut or registry entry left behind ($wine_changes registry entries that Wine changed itself set aside)"

echo "test-msi: passed in $((SECONDS - start)) s"

#!/usr/bin/env bash
# Shows that the packages are reproducible: clones this commit twice and builds the packages
# in each clone with scripts/package.sh, SOURCE_DATE_EPOCH being the last commit's time:
#   one   /tmp/casino-reproducible.XXXXXX/one, under umask 022, TZ=UTC, LANG=ru_RU.UTF-8
#   two   a folder deeper and longer-named, under umask 027, TZ=Asia/Tokyo, LANG=C
#         (LC_ALL=C), with the clock two days ahead (faketime)
# then prints the sha256 of every package and program from both builds. Exits with 1 if
# any differ. Only what is committed is built.
# Usage: scripts/check-reproducible.sh [DAYS_AHEAD]   (default 2)
# It builds the packages twice, about four minutes on two cores; the test command runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
days=${1:-2}
start=$SECONDS

scripts/install-deps.sh all

export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "check-reproducible: the uncommitted changes are not part of this check"
work=$(mktemp -d /tmp/casino-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Builds the packages of the commit in a clone at FOLDER, cloned and built under the umask,
# time zone and locale given, running the build under the command given (if any).
build_in() {
  local folder=$1 mask=$2 zone=$3 locale=$4
  shift 4
  echo "building in $folder under umask $mask, TZ=$zone, LANG=$locale${*:+, $*} ..."
  mkdir -p "$(dirname "$folder")"
  (
    umask "$mask"
    export TZ=$zone LANG=$locale LC_ALL=$locale LANGUAGE=
    git clone -q --no-hardlinks "$repo" "$folder"
    git -C "$folder" checkout -q --detach "$commit"
    cd "$folder" && "$@" bash scripts/package.sh
  ) >"$folder.log" 2>&1 ||
    { tail -30 "$folder.log"; echo "check-reproducible: the build in $folder failed" >&2; exit 1; }
}
first=$work/one
second=$work/a-longer-folder-name/and-one-more-level/two
build_in "$first" 022 UTC ru_RU.UTF-8
build_in "$second" 027 Asia/Tokyo C faketime -f "+${days}d"

version=$(cat "$first/build/release/version.txt")
# What is compared: the packages, and the programs they hold as the builds made them.
files=(
  "dist/casino_${version}_amd64.deb"
  "dist/casino-${version}-linux-x86_64.tar.gz"
  "dist/casino-${version}-win64.zip"
  "dist/casino-${version}-win64.msi"
  "dist/casino-${version}-web.zip"
  "build/win32/src/frontends/win32/casino.exe"
  "build/win32/src/frontends/win32/casino.ico"
  "build/release/casino"
  "build/web/site/casino.wasm"
  "build/web/site/casino.js"
)
echo "SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH ($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC')), commit $commit"
echo "second build's clock: $(faketime -f "+${days}d" date -u '+%Y-%m-%d %H:%M:%S UTC'), umask 027, TZ=Asia/Tokyo, LANG=C, in $second"
# What differs between the two builds of a package: its members' listings and contents.
show_difference() {
  local a=$1 b=$2 side
  case $a in
    *.deb)
      diff <(dpkg-deb -c "$a") <(dpkg-deb -c "$b") || true
      diff <(dpkg-deb -I "$a") <(dpkg-deb -I "$b") || true
      diff <(ar tv "$a") <(ar tv "$b") || true
      for side in a b; do
        mkdir -p "$work/differ/$side"
        dpkg-deb -R "${!side}" "$work/differ/$side"
      done ;;
    *.tar.gz)
      diff <(tar -tvzf "$a") <(tar -tvzf "$b") || true
      for side in a b; do mkdir -p "$work/differ/$side" && tar -xzf "${!side}" -C "$work/differ/$side"; done ;;
    *.zip)
      diff <(unzip -Zl "$a") <(unzip -Zl "$b") || true
      for side in a b; do mkdir -p "$work/differ/$side" && unzip -q "${!side}" -d "$work/differ/$side"; done ;;
    *) return ;;
  esac
  diff -r "$work/differ/a" "$work/differ/b" | head -20 || true
  rm -rf "$work/differ"
}

differ=0
for file in "${files[@]}"; do
  one=$(sha256sum "$first/$file" | cut -d' ' -f1)
  two=$(sha256sum "$second/$file" | cut -d' ' -f1)
  verdict=identical
  [ "$one" = "$two" ] || { verdict=DIFFERENT; differ=1; }
  printf '%-44s %s\n%-44s %s  %s\n' "$(basename "$file")" "$one" "" "$two" "$verdict"
  [ "$verdict" = identical ] || show_difference "$first/$file" "$second/$file"
done
echo "check-reproducible: $([ "$differ" -eq 0 ] && echo "every file identical" || echo "some files differ") ($((SECONDS - start)) s)"
exit "$differ"

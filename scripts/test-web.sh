#!/usr/bin/env bash
# The web build's tests: builds the page and its zip into build/web and the replay tool, the
# monkey's driver and the core's tables (web_tables) into build/release, then, served from
# 127.0.0.1 out of the unpacked zip in headless Chromium:
#   the walk (tests/web/walk.script) and the touch walk (tests/web/touch.script), played by
#     the monkey's driver through tests/web/transport.mjs, with a mouse and keys, and on a
#     phone by touch alone, compared line by line with the replay tool's session, the
#     controls and lists as the accessibility tree gives them;
#   the web-only probes (tests/web/probes.mjs): the accessibility tree's window, menus and
#     boxes, axe-core on six screens at two sizes, an offline tab, a silent console;
#   a simulated deploy (tests/web/deploy_test.mjs) of a next version, half done, then done.
# Each reports as every check does: "FAIL: ..." lines, then "N checks passed". With
# --screenshots the probes also photograph the street, the floor and the pawnshop, on a
# desktop and on a phone, into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

trap 'echo "test-web: FAILED (see above)" >&2' ERR

scripts/install-deps.sh web

scripts/configure-web.sh
cmake --build build/web --parallel "${CASINO_JOBS:-2}"
cmake --build build/web --target packages >/dev/null
scripts/configure-release.sh
cmake --build build/release --parallel "${CASINO_JOBS:-2}" --target replay monkey web_tables

# The zip holds the folder as the build made it, and the game is played from the zip.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(cat build/web/version.txt)
unzip -q "build/web/packages/casino-$version-web.zip" -d "$work"
site=$work/casino-$version-web
diff -r build/web/site "$site"

tables=build/release/web_tables
for walk in walk touch; do
  echo "== $walk.script"
  timeout 300 build/release/tests/support/monkey --script "tests/web/$walk.script" -- \
    node tests/web/transport.mjs "$site" "$tables" $([ $walk = touch ] && echo --touch)
done
echo "== the web-only probes"
[ "${1:-}" = "--screenshots" ] && mkdir -p docs/screenshots
timeout 300 node tests/web/probes.mjs "$site" "$tables" $([ "${1:-}" = "--screenshots" ] && echo docs/screenshots)

# The next version: this one with a line more in casino.js and a section more in
# casino.wasm, and its service worker written by the build's own script.
echo "== a deploy, half done and done"
next=$work/next
cp -r "$site" "$next"
printf '\n// next\n' >>"$next/casino.js"
printf '\0\5\4next' >>"$next/casino.wasm"
files=$(cd "$next" && find . -type f ! -name service-worker.js -printf '%P\n' | sort | paste -sd';')
cmake -DSITE="$next" "-DFILES=$files" -DTEMPLATE=src/frontends/web/page/service-worker.js.in \
  -DOUTPUT="$next/service-worker.js" -DVERSION="$version-next" -P src/frontends/web/make_service_worker.cmake
cp -r "$site" "$work/live"
timeout 120 node tests/web/deploy_test.mjs "$work/live" "$next" "$tables"
echo "test-web: all passed in $((SECONDS - start)) s"

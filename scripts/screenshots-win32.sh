#!/usr/bin/env bash
# Retakes docs/screenshots/win32-{street,floor,pawnshop}.png under Wine (needs ImageMagick's
# import): the Windows test script's screenshot mode.
exec bash "$(dirname "$0")/test-win32.sh" --screenshots

#!/usr/bin/env bash
# Installs what is missing, builds, and shows the built-in sample job: in the viewer when a display
# is present, otherwise as pictures in out/sample/.
cd "$(dirname "$0")"
source scripts/setup.sh

sample=build/sample/lantern-keeper.kprn
echo "Sample job: $sample"
build/bin/brelmont-cli info "$sample"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/brelmont-companion ]; then
    exec build/bin/brelmont-companion "$sample"
fi
build/bin/brelmont-cli render "$sample" out/sample >/dev/null
build/bin/brelmont-cli render --text "$sample" out/sample >/dev/null
echo "No display: the pages are pictures (and the emboss pages braille text) in $(pwd)/out/sample/"
ls out/sample

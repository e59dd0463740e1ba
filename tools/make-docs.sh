#!/usr/bin/env bash
# Makes the pictures in docs/: a contact sheet of every asset and the
# screenshots of the scenes at scale 1 and 2, from a built tree (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$build/bin/agent-zaza-gallery" "$tmp"
cd "$tmp"
/usr/bin/montage -label '%t' asset-0*.png asset-1*.png asset-2*.png asset-3*.png \
  asset-4[0-4].png asset-45-00.png \
  -tile 8x -geometry 120x100+6+6 -background '#6f6f6f' -fill white -pointsize 11 \
  "$OLDPWD/docs/assets.png"
cd "$OLDPWD"

# The scenes as the player sees them, taken along the way through the game,
# and the same at scale 2 as on a HiDPI screen.
"$build/bin/agent-zaza-script" docs/scenes.azs
mkdir -p docs/scenes@2x
sed 's|docs/scenes/|docs/scenes@2x/|' docs/scenes.azs >"$tmp/scenes@2x.azs"
"$build/bin/agent-zaza-script" --scale 2 "$tmp/scenes@2x.azs"

# Every line of dialogue as it looks in its scene, one crop a line, left by
# the readability test.
lines="$tmp/lines"
mkdir -p "$lines"
AZ_DIALOGUE_DIR="$lines" "$build/bin/az_story_tests" --gtest_filter='Readability.*' >/dev/null
/usr/bin/montage "$lines"/line-*.png -tile 6x -geometry '+4+4' -background '#6f6f6f' docs/dialogue.png

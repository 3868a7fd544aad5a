#!/bin/sh
# One PNG showing every picture the game ships, for reviewing the art.
# Usage: scripts/contact-sheet.sh [staged data folder] [output.png]
# Needs ImageMagick's montage (the real one, /usr/bin).
set -eu
data=${1:-build/stage/data}
out=${2:-build/contact-sheet.png}
montage=/usr/bin/montage
convert=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Targa rows are stored bottom-up: -auto-orient shows them upright. Sprites
# sit on a checkerboard so their transparency shows.
i=0
for f in fighter/f1.tga fighter/f2.tga fighter/f3.tga fighter/blood.tga \
         fighter/laser.tga fighter/cross.tga \
         menu/logo.tga menu/main.tga menu/fighters.tga menu/credits.tga; do
    i=$((i + 1))
    name=$(printf '%02d' "$i")
    case $f in
        menu/*)
            "$convert" "$data/$f" -auto-orient "$work/$name.png" ;;
        *)
            "$convert" "$data/$f" -auto-orient -filter point -resize 320x320 \
                \( -size 320x320 pattern:checkerboard -fill '#303038' -colorize 70% \) \
                +swap -gravity center -compose over -composite "$work/$name.png" ;;
    esac
    printf '%s\n' "$f" > "$work/$name.label"
done

set --
for p in "$work"/*.png; do
    set -- "$@" -label "$(cat "${p%.png}.label")" "$p"
done
"$montage" "$@" -tile 4x -geometry 320x240+6+6 -background '#1a1a22' -fill '#e0e0e0' \
    -pointsize 14 "$out"
echo "$out"

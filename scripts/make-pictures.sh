#!/usr/bin/env bash
# Draws the menu pictures (resources/menu/201.png to 206.png, 16 x 16) and the built-in banner
# (resources/banner.gif, 472 x 64, animated) with ImageMagick. The results are committed; run
# this again after changing a drawing.
set -euo pipefail
cd "$(dirname "$0")/../resources"

font=DejaVu-Sans-Bold
menu() {
    convert -size 16x16 xc:none "${@:2}" "PNG32:menu/$1.png"
}
# 201 check for updates: a green arrow pointing down onto a tray.
menu 201 -fill '#2e8b2e' -stroke '#1d5c1d' -draw 'polygon 8,14 3,8 6,8 6,2 10,2 10,8 13,8' \
    -stroke '#555555' -draw 'line 2,15 14,15'
# 202 homepage: a small house.
menu 202 -fill '#c0392b' -stroke '#7b241c' -draw 'polygon 1,8 8,1 15,8' \
    -fill '#f4d03f' -stroke '#7d6608' -draw 'rectangle 3,8 12,14' \
    -fill '#7b241c' -stroke none -draw 'rectangle 7,10 9,14'
# 203 e-mail: an envelope.
menu 203 -fill '#fdfefe' -stroke '#2c3e50' -draw 'rectangle 1,3 14,12' \
    -fill none -draw 'polyline 1,3 8,9 14,3'
# 204 close: a red cross.
menu 204 -stroke '#c0392b' -strokewidth 3 -draw 'line 3,3 12,12' -draw 'line 12,3 3,12'
# 205 help: a blue disc with a question mark.
menu 205 -fill '#2e86c1' -stroke '#1b4f72' -draw 'circle 7.5,7.5 7.5,0.5' \
    -fill white -stroke none -font "$font" -pointsize 12 -gravity center -annotate +0+0 '?'
# 206 about: a blue disc with an i.
menu 206 -fill '#2e86c1' -stroke '#1b4f72' -draw 'circle 7.5,7.5 7.5,0.5' \
    -fill white -stroke none -font "$font" -pointsize 12 -gravity center -annotate +0+0 'i'

# The built-in banner: the program's name sliding in over a dark field, then a slogan that stays.
# It plays once (no loop extension): a copy left open all evening is not woken to redraw it.
frames=()
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
i=0
for x in -300 -200 -100 0 0; do
    convert -size 472x64 xc:'#0b1a2e' -font "$font" -pointsize 34 \
        -fill '#e8b923' -gravity west -annotate "+$((x + 24))+0" 'SQUADLINK' "$work/f$i.gif"
    frames+=("$work/f$i.gif")
    i=$((i + 1))
done
convert -size 472x64 xc:'#0b1a2e' -font "$font" -pointsize 34 \
    -fill '#e8b923' -gravity west -annotate +24+0 'SQUADLINK' \
    -font DejaVu-Sans -pointsize 13 -fill '#d0d8e0' -gravity east \
    -annotate +18+0 'One squad, one server.' "$work/f$i.gif"
frames+=("$work/f$i.gif")
convert -dither None -loop 1 -delay 8 "${frames[@]:0:4}" -delay 300 "${frames[4]}" -delay 500 "${frames[5]}" \
    -dither None -colors 64 -layers Optimize banner.gif

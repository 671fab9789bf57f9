#!/usr/bin/env bash
# Remakes the banner (544 x 79, 24 bits per pixel) and the icon in resources/.
# Needs ImageMagick and the WenQuanYi font; the results are committed, so the build needs neither.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
convert -size 544x79 gradient:'#1c2f7a'-'#3a7bd5' \
    -fill '#ffffff22' -draw 'circle 480,40 520,40' -draw 'circle 440,70 470,70' \
    -fill '#e02020' -draw 'circle 40,30 52,30' -fill '#c8c8d0' -draw 'rectangle 37,30 43,58' \
    -fill '#282830' -draw 'roundrectangle 22,56 58,66 4,4' \
    -font "$font" -fill white -pointsize 30 -annotate +76+40 'Orvane' \
    -pointsize 17 -fill '#dde6ff' -annotate +78+64 '按鍵設定  Key bindings' \
    -type TrueColor -define bmp:format=bmp3 "BMP3:$root/resources/banner.bmp"
python3 "$root/scripts/make_icon.py"

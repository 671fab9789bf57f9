#!/usr/bin/env bash
# Remakes the banners (544 x 79 at 96 DPI, and one for each of 120, 144 and 192 DPI, 24 bits per
# pixel) and the icon in resources/. Each banner is drawn at its own size, not scaled from another.
# Needs ImageMagick and the WenQuanYi font; the results are committed, so the build needs neither.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
# banner DPI FILE: every length of the 96-DPI drawing times DPI / 96.
banner() {
    local k=$1 out=$2
    px() { awk -v k="$k" -v v="$1" 'BEGIN { x = v * k / 96; printf "%d", (x == int(x)) ? x : int(x + 0.5) }'; }
    convert -size "$(px 544)x$(px 79)" gradient:'#1c2f7a'-'#3a7bd5' \
        -fill '#ffffff22' -draw "circle $(px 480),$(px 40) $(px 520),$(px 40)" \
        -draw "circle $(px 440),$(px 70) $(px 470),$(px 70)" \
        -fill '#e02020' -draw "circle $(px 40),$(px 30) $(px 52),$(px 30)" \
        -fill '#c8c8d0' -draw "rectangle $(px 37),$(px 30) $(px 43),$(px 58)" \
        -fill '#282830' -draw "roundrectangle $(px 22),$(px 56) $(px 58),$(px 66) $(px 4),$(px 4)" \
        -font "$font" -fill white -pointsize "$(px 30)" -annotate "+$(px 76)+$(px 40)" 'Orvane' \
        -pointsize "$(px 17)" -fill '#dde6ff' -annotate "+$(px 78)+$(px 64)" '按鍵設定  Key bindings' \
        -type TrueColor -define bmp:format=bmp3 "BMP3:$out"
}
banner 96 "$root/resources/banner.bmp"
for dpi in 120 144 192; do
    banner "$dpi" "$root/resources/banner_$dpi.bmp"
done
python3 "$root/scripts/make_icon.py"

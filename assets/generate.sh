#!/usr/bin/env bash
# Renders the pictures in svg/ into the bitmaps and the icon that the .rc files embed.
# The outputs in generated/ are kept in the repository, so a build needs no image tools;
# run this after changing an SVG (needs librsvg2-bin, imagemagick and fonts-ipafont-gothic).
#
# Formats:
#   48 x 48 icons and glyphs: 32-bit BI_RGB bitmaps (BITMAPINFOHEADER, bottom-up rows,
#     bytes B G R A) with straight, not premultiplied, alpha.
#   splash, version banner, pen: 24-bit BI_RGB bitmaps, no alpha.
#   app.ico: the application icon at 16, 20, 24, 32, 40, 48, 64 and 256 pixels.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null || { echo "generate.sh: $tool is missing" >&2; exit 1; }
done
fc-list | grep IPAPGothic >/dev/null || { echo "generate.sh: the IPAPGothic font is missing" >&2; exit 1; }

out=generated
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

icons=(icon_log icon_list icon_new icon_high icon_save icon_edit icon_delete
       icon_clear_history icon_clear_clipboard glyph_search glyph_clear glyph_all
       icon_editor_save icon_editor_cancel icon_editor_back)
for name in "${icons[@]}"; do
  rsvg-convert -w 48 -h 48 "svg/$name.svg" -o "$work/$name.png"
  convert "$work/$name.png" -define bmp3:alpha=true BMP3:"$out/$name.bmp"
done

# The pictures are opaque: flatten onto white before writing 24-bit bitmaps.
for name in splash version_banner pen; do
  rsvg-convert "svg/$name.svg" -o "$work/$name.png"
  convert "$work/$name.png" -background white -alpha remove -alpha off -type TrueColor \
    BMP3:"$out/$name.bmp"
done

sizes=(16 20 24 32 40 48 64 256)
frames=()
for size in "${sizes[@]}"; do
  rsvg-convert -w "$size" -h "$size" svg/app_icon.svg -o "$work/app_$size.png"
  frames+=("$work/app_$size.png")
done
convert "${frames[@]}" "$out/app.ico"

echo "generate.sh: wrote $(ls "$out" | wc -l) files into assets/$out"

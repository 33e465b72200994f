#!/usr/bin/env bash
# Regenerates every bitmap of Ahnemetri's artwork from the SVG sources:
#
#   src/resources/icons/ahnemetri.svg   -> icons/ahnemetri-32.png (8-bit palette)
#                                          icons/hicolor/NxN/apps/ahnemetri.png
#                                          icons/ahnemetri.ico
#   tools/artwork/otsikko.svg           -> images/otsikko.png     (200x50, RGB)
#                                          images/otsikko@2x.png  (400x100, RGB)
#
# Needs rsvg-convert, ImageMagick, pngquant, optipng and the DejaVu fonts;
# missing Debian packages are installed with apt-get. The output carries no
# timestamps, so running the script again gives byte-identical files.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
icons="$root/src/resources/icons"
images="$root/src/resources/images"
icon_svg="$icons/ahnemetri.svg"
banner_svg="$here/otsikko.svg"

# --- tools -----------------------------------------------------------------

# Returns the path of a real ImageMagick 'convert' (some machines have a
# stand-in of the same name earlier in PATH).
find_imagemagick() {
    local c
    for c in /usr/bin/convert "$(command -v convert 2>/dev/null || true)"; do
        if [[ -n "$c" && -x "$c" ]] && "$c" -version 2>/dev/null | grep -q 'ImageMagick'; then
            echo "$c"
            return 0
        fi
    done
    return 1
}

need=()
command -v rsvg-convert >/dev/null 2>&1 || need+=(librsvg2-bin)
find_imagemagick >/dev/null || need+=(imagemagick)
command -v pngquant >/dev/null 2>&1 || need+=(pngquant)
command -v optipng >/dev/null 2>&1 || need+=(optipng)
if ! command -v fc-list >/dev/null 2>&1 || ! fc-list 2>/dev/null | grep -q 'DejaVuSans-Bold\.ttf'; then
    need+=(fonts-dejavu-core fontconfig)
fi
if ((${#need[@]})); then
    echo "Installing: ${need[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${need[@]}"
fi
IM="$(find_imagemagick)" || { echo "ImageMagick not found" >&2; exit 1; }

# Deterministic, compact PNG output from ImageMagick.
im_png=(-strip -define png:exclude-chunks=date,time,tIME -define png:compression-level=9)

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

svg_to_png() {  # svg size-w size-h out
    rsvg-convert --width "$2" --height "$3" --format png "$1" --output "$4"
}

# --- icon --------------------------------------------------------------------

mkdir -p "$icons"
for n in 16 24 32 48 64 128 256; do
    dir="$icons/hicolor/${n}x${n}/apps"
    mkdir -p "$dir"
    svg_to_png "$icon_svg" "$n" "$n" "$tmp/icon-$n.png"
    # Keep it RGBA: optipng may otherwise turn a small icon into a palette PNG.
    optipng -quiet -o5 -nc -nb -strip all -out "$tmp/hicolor-$n.png" "$tmp/icon-$n.png"
    cp "$tmp/hicolor-$n.png" "$dir/ahnemetri.png"
done

# 32x32, 256-colour palette with full alpha in tRNS.
pngquant --force --speed 1 --nofs --strip --output "$tmp/icon-32-pal.png" 256 -- "$tmp/icon-32.png"
optipng -quiet -o5 -nc -nb -strip all -out "$tmp/icon-32-opt.png" "$tmp/icon-32-pal.png"
cp "$tmp/icon-32-opt.png" "$icons/ahnemetri-32.png"

# Windows icon: small sizes as BMP entries, 256 px as PNG inside the ICO.
"$IM" "$tmp/hicolor-16.png" "$tmp/hicolor-24.png" "$tmp/hicolor-32.png" \
      "$tmp/hicolor-48.png" "$tmp/hicolor-64.png" "$tmp/hicolor-256.png" \
      "${im_png[@]}" "$icons/ahnemetri.ico"

# --- title banner ------------------------------------------------------------

mkdir -p "$images"
banner() {  # width height out
    svg_to_png "$banner_svg" "$1" "$2" "$tmp/banner.png"
    # Flatten onto the banner's own green and write plain 24-bit RGB.
    "$IM" "$tmp/banner.png" -background '#15522b' -alpha remove -alpha off \
          "${im_png[@]}" -define png:color-type=2 -define png:bit-depth=8 \
          "PNG24:$3"
}
banner 200 50 "$images/otsikko.png"
banner 400 100 "$images/otsikko@2x.png"

echo "Artwork written:"
( cd "$root" && find src/resources/icons src/resources/images -type f \( -name '*.png' -o -name '*.ico' \) | sort )

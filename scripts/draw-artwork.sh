#!/usr/bin/env bash
# Draws every picture of the cleaner and the updater at its exact size and
# writes them under resources/art/. The outputs are committed, so a normal
# build never needs ImageMagick; run this again only to change the artwork.
#
# Needs: ImageMagick 6 (`convert`, Debian package imagemagick) and the
# DejaVu fonts (Debian package fonts-dejavu-core).
set -euo pipefail

cd "$(dirname "$0")/.."
ART=resources/art
BTN=$ART/buttons
mkdir -p "$BTN"

FONT_DIR=/usr/share/fonts/truetype/dejavu
SANS=$FONT_DIR/DejaVuSans.ttf
BOLD=$FONT_DIR/DejaVuSans-Bold.ttf
for f in "$SANS" "$BOLD"; do
  [ -f "$f" ] || { echo "missing font $f (install fonts-dejavu-core)" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "convert not found (install imagemagick)" >&2; exit 1; }

# The built-in version the cleaner falls back to; the splash shows it.
VERSION=2010.1.2

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Palette shared by all pictures.
BLUE_LIGHT='#3d93ea'   # top of blue faces
BLUE_MID='#1e6fd9'
BLUE_DEEP='#1556ae'    # bottom of blue faces
BLUE_EDGE='#0f4a9c'    # outlines of blue faces
NAVY='#0e3a7c'         # bottom bar and link icon background
PALE='#eaf3fc'         # light panels
TEXT_DARK='#1b3a5c'    # captions on grey faces
ORANGE_TOP='#f7a04a'
ORANGE_BOT='#d9661a'
ORANGE_EDGE='#b8520f'
RED='#d9302c'

# Writes a baseline JFIF: 8-bit YCbCr, no chroma subsampling so that thin
# caption strokes stay sharp, no metadata. -type TrueColor keeps three
# components even for pictures that happen to be all grey.
save_jpg() { # src dst [quality]
  convert "$1" -background white -alpha remove -alpha off -strip \
    -colorspace sRGB -type TrueColor -interlace none -sampling-factor 1x1 \
    -depth 8 -quality "${3:-92}" "JPG:$2"
}

# A rounded face filled with a vertical gradient, outlined, on a plain
# background that shows only in the corners.
face() { # w h radius top bottom edge corner-bg out
  local w=$1 h=$2 r=$3 top=$4 bot=$5 edge=$6 bg=$7 out=$8
  convert -size "${w}x${h}" "xc:$bg" \
    \( -size "${w}x${h}" "gradient:$top-$bot" \
       \( -size "${w}x${h}" xc:black -fill white \
          -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \) \
       -alpha off -compose CopyOpacity -composite \) \
    -compose over -composite \
    -fill none -stroke "$edge" -strokewidth 1 \
    -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 $r,$r" \
    -alpha off "PNG24:$out"
}

# Soft highlight over the upper half of a face, for the glossy blue buttons.
gloss() { # file w h
  local w=$2 h=$3
  convert "$1" \( -size "${w}x${h}" xc:none -fill 'rgba(255,255,255,0.18)' \
    -draw "roundrectangle 2,1 $((w - 3)),$((h / 2)) 6,6" \) \
    -compose over -composite "PNG24:$1"
}

# --- Emblem: a broom sweeping over a folder (splash, banner, about box) ---
emblem() { # out (512x512 with transparency)
  convert -size 200x420 xc:none \
    -fill '#a0703f' -stroke '#7a522b' -strokewidth 3 \
    -draw "roundrectangle 90,0 110,270 10,10" \
    -fill "$BLUE_MID" -stroke "$BLUE_EDGE" -strokewidth 3 \
    -draw "roundrectangle 66,254 134,284 8,8" \
    -fill '#f2b84b' -stroke '#c98a1e' -strokewidth 4 \
    -draw "polygon 70,284 130,284 186,412 14,412" \
    -fill none -stroke '#c98a1e' -strokewidth 4 \
    -draw "line 86,292 52,404" -draw "line 100,292 100,404" \
    -draw "line 114,292 148,404" \
    -background none -rotate 38 -resize 125% "$WORK/broom.png"

  convert -size 512x512 xc:none \
    -fill '#9ec5ee' -stroke "$BLUE_EDGE" -strokewidth 6 \
    -draw "roundrectangle 40,150 220,230 22,22" \
    -draw "roundrectangle 40,190 470,440 26,26" \
    -fill '#ffffff' -stroke none \
    -draw "roundrectangle 70,170 440,300 10,10" \
    -fill "$PALE" -stroke "$BLUE_EDGE" -strokewidth 6 \
    -draw "polygon 30,250 482,250 456,446 56,446" \
    -fill none -stroke '#9ec5ee' -strokewidth 8 \
    -draw "line 86,280 426,280" \
    "$WORK/broom.png" -gravity center -geometry +36-30 -compose over -composite \
    "$1"
}

# --- Updater mark: a download arrow into a tray on a blue tile ------------
updater_mark() { # out (256x256 with transparency)
  convert -size 256x256 xc:none \
    \( -size 256x256 "gradient:$BLUE_LIGHT-$BLUE_DEEP" \
       \( -size 256x256 xc:black -fill white \
          -draw "roundrectangle 8,8 247,247 52,52" \) \
       -alpha off -compose CopyOpacity -composite \) \
    -compose over -composite \
    -fill none -stroke "$BLUE_EDGE" -strokewidth 6 \
    -draw "roundrectangle 11,11 244,244 50,50" \
    -fill 'rgba(255,255,255,0.16)' -stroke none \
    -draw "roundrectangle 16,14 239,120 44,44" \
    -fill white -stroke none \
    -draw "roundrectangle 108,40 148,136 10,10" \
    -draw "polygon 68,120 188,120 128,184" \
    -fill none -stroke white -strokewidth 24 \
    -draw "stroke-linecap round stroke-linejoin round polyline 56,168 56,212 200,212 200,168" \
    "$1"
}

# --- Magnifying glass glyph used on the Scan Now button and page icon -----
magnifier() { # cx cy r width colour  -> MVG on stdout
  local cx=$1 cy=$2 r=$3 sw=$4 col=$5
  local hx=$(( cx + r * 7 / 10 )) hy=$(( cy + r * 7 / 10 ))
  local ex=$(( cx + r * 17 / 10 )) ey=$(( cy + r * 17 / 10 ))
  printf 'fill none stroke %s stroke-width %s circle %s,%s %s,%s ' \
    "$col" "$sw" "$cx" "$cy" "$((cx + r))" "$cy"
  printf 'stroke-linecap round stroke-width %s line %s,%s %s,%s ' \
    "$((sw * 2))" "$hx" "$hy" "$ex" "$ey"
}

emblem "$WORK/emblem.png"
updater_mark "$WORK/updmark.png"

# --- Splash 452x252 --------------------------------------------------------
convert -size 452x252 "gradient:#2f86e0-#0d3f8f" \
  -fill 'rgba(255,255,255,0.06)' -draw "circle 420,20 420,190" \
  -fill 'rgba(255,255,255,0.05)' -draw "circle 40,260 40,140" \
  \( "$WORK/emblem.png" -resize 150x150 \) -gravity northwest \
  -geometry +22+46 -compose over -composite -gravity northwest \
  -font "$SANS" -pointsize 20 -fill '#cfe4fa' -annotate +192+62 'Pelmora' \
  -font "$BOLD" -pointsize 46 -fill white -annotate +188+84 'Scourly' \
  -stroke '#7fb6f0' -strokewidth 1 -draw "line 192,146 424,146" -stroke none \
  -font "$SANS" -pointsize 15 -fill '#e3f0fc' -annotate +192+156 'Junk file cleaner' \
  -font "$SANS" -pointsize 13 -fill '#bfd9f5' -annotate +192+180 "Version $VERSION" \
  "$WORK/splash.png"
save_jpg "$WORK/splash.png" "$ART/splash.jpg"

# --- Title banner 740x83 (the minimise and close buttons sit at the top
#     right, 672..726 x 0..18, so that corner stays plain) --------------------
convert -size 740x83 "gradient:#2c83de-#1558b4" \
  -fill 'rgba(255,255,255,0.07)' -draw "ellipse 600,-40 260,110 0,360" \
  -fill 'rgba(255,255,255,0.05)' -draw "ellipse 700,120 200,70 0,360" \
  \( "$WORK/emblem.png" -resize 62x62 \) -gravity northwest \
  -geometry +16+10 -compose over -composite -gravity northwest \
  -font "$BOLD" -pointsize 30 -fill white -annotate +88+10 'Pelmora Scourly' \
  -font "$SANS" -pointsize 13 -fill '#dcebfb' \
  -annotate +90+52 'Scans and cleans up the junk files on your system' \
  "$WORK/banner.png"
save_jpg "$WORK/banner.png" "$ART/banner.jpg"

# --- Frame strips 16x467: carry the banner's blue down to the bottom bar,
#     with a light inner edge against the white pages -----------------------
convert -size 16x467 "gradient:#1558b4-$NAVY" \
  -fill '#0f468f' -draw "rectangle 0,0 1,466" \
  -fill '#5d9bdb' -draw "rectangle 15,0 15,466" \
  "$WORK/strip_left.png"
save_jpg "$WORK/strip_left.png" "$ART/strip_left.jpg"
convert "$WORK/strip_left.png" -flop "$WORK/strip_right.png"
save_jpg "$WORK/strip_right.png" "$ART/strip_right.jpg"

# --- Bottom bar 740x39: plain navy so the link icons blend in -------------
convert -size 740x39 "xc:$NAVY" \
  -fill '#5d9bdb' -draw "rectangle 16,0 723,0" \
  -fill 'rgba(255,255,255,0.04)' -draw "ellipse 640,60 220,40 0,360" \
  -font "$SANS" -pointsize 10 -fill '#8fb3e0' -gravity northeast \
  -annotate +22+21 'Pelmora Scourly' \
  "$WORK/bottom_bar.png"
save_jpg "$WORK/bottom_bar.png" "$ART/bottom_bar.jpg"

# --- Link icons 14x14, drawn at 4x and reduced for smooth edges -----------
link_icon() { # glyph out
  convert -size 56x56 "xc:$NAVY" \
    -fill "$BLUE_LIGHT" -stroke white -strokewidth 4 -draw "circle 28,28 28,3" \
    -stroke none -fill white -font "$BOLD" -pointsize 40 -gravity center \
    -annotate +0+1 "$1" -resize 14x14 "$2"
}
link_icon '?' "$WORK/icon_help.png"
link_icon 'i' "$WORK/icon_about.png"
save_jpg "$WORK/icon_help.png" "$ART/icon_help.jpg" 95
save_jpg "$WORK/icon_about.png" "$ART/icon_about.jpg" 95

# --- Page icon 51x55: a magnifying glass over a window --------------------
convert -size 204x220 xc:white \
  -fill "$PALE" -stroke "$BLUE_EDGE" -strokewidth 6 \
  -draw "roundrectangle 6,16 166,166 12,12" \
  -fill "$BLUE_MID" -stroke none -draw "roundrectangle 9,19 163,50 9,9" \
  -draw "rectangle 9,40 163,50" \
  -fill white -draw "circle 146,34 146,27" \
  -fill '#9ec5ee' -draw "rectangle 26,70 120,80" -draw "rectangle 26,94 100,104" \
  -draw "rectangle 26,118 110,128" -draw "rectangle 26,142 80,152" \
  -fill 'rgba(255,255,255,0.7)' -draw "circle 120,134 120,94" \
  -draw "$(magnifier 120 134 40 12 "$BLUE_EDGE")" \
  -resize 51x55\! "$WORK/page_scan.png"
save_jpg "$WORK/page_scan.png" "$ART/page_scan.jpg" 95

# --- Page icon 60x55: a list with a red cross -----------------------------
convert -size 240x220 xc:white \
  -fill white -stroke "$BLUE_EDGE" -strokewidth 6 \
  -draw "roundrectangle 10,8 168,208 12,12" -stroke none \
  -fill "$BLUE_MID" \
  -draw "rectangle 32,38 48,54" -draw "rectangle 32,78 48,94" \
  -draw "rectangle 32,118 48,134" -draw "rectangle 32,158 48,174" \
  -fill '#9ec5ee' \
  -draw "rectangle 62,40 146,52" -draw "rectangle 62,80 140,92" \
  -draw "rectangle 62,120 130,132" -draw "rectangle 62,160 110,172" \
  -fill none -stroke white -strokewidth 40 \
  -draw "stroke-linecap round line 150,120 220,190 line 220,120 150,190" \
  -stroke "$RED" -strokewidth 24 \
  -draw "stroke-linecap round line 150,120 220,190 line 220,120 150,190" \
  -resize 60x55\! "$WORK/page_clean.png"
save_jpg "$WORK/page_clean.png" "$ART/page_clean.jpg" 95

# --- About box 493x350: blue band with icon, title and slogan; a legal
#     notice on a light background; the OK button goes at 336,259 (95x25) --
ABOUT_BG='#f3f7fc'
convert -size 493x350 "xc:$ABOUT_BG" \
  \( -size 493x118 "gradient:#2c83de-#1558b4" \
     -fill 'rgba(255,255,255,0.07)' -draw "ellipse 440,-20 170,110 0,360" \) \
  -gravity northwest -geometry +0+0 -compose over -composite \
  -fill '#5d9bdb' -draw "rectangle 0,118 492,119" \
  \( "$WORK/emblem.png" -resize 82x82 \) -geometry +24+18 -compose over -composite \
  -font "$BOLD" -pointsize 30 -fill white -annotate +120+24 'Pelmora Scourly' \
  -font "$SANS" -pointsize 13 -fill '#dcebfb' \
  -annotate +122+68 'Clear out the clutter, win back your disk space.' \
  -font "$BOLD" -pointsize 12 -fill "$TEXT_DARK" \
  -annotate +28+142 'Copyright (C) 2010 Pelmora. All rights reserved.' \
  -font "$SANS" -pointsize 11 -fill '#3e5670' \
  -annotate +28+170 'This program is protected by copyright law. Copying,' \
  -annotate +28+186 'distributing or changing it, or any part of it, without' \
  -annotate +28+202 'the permission of Pelmora is not allowed.' \
  -annotate +28+226 'Pelmora Scourly removes only the files you choose. Files' \
  -annotate +28+242 'moved to the Recycle Bin can be restored from there.' \
  -stroke '#c9d9ea' -strokewidth 1 -draw "line 28,300 300,300" -stroke none \
  -font "$SANS" -pointsize 10 -fill '#6b819a' -annotate +28+308 'Pelmora Scourly, a Pelmora product.' \
  "$WORK/about.png"
save_jpg "$WORK/about.png" "$ART/about.jpg"

# --- Picture buttons ------------------------------------------------------
# Grey faces 98x22 (and OK 95x25 on the about box's background). The hover
# picture is the same face, lighter, with a blue edge.
grey_button() { # name caption w h corner-bg
  local name=$1 cap=$2 w=$3 h=$4 bg=$5
  face "$w" "$h" 4 '#fbfcfd' '#d3d9e0' '#8797a8' "$bg" "$WORK/$name.png"
  face "$w" "$h" 4 '#ffffff' '#e4effb' '#5d9bdb' "$bg" "$WORK/${name}1.png"
  for v in "$name" "${name}1"; do
    convert "$WORK/$v.png" -font "$BOLD" -pointsize 12 -fill "$TEXT_DARK" \
      -gravity center -annotate +0+0 "$cap" "$WORK/$v.png"
    save_jpg "$WORK/$v.png" "$BTN/$v.jpg" 95
  done
}
grey_button ADDBTN 'Add' 98 22 white
grey_button EDITBTN 'Edit' 98 22 white
grey_button DELBTN 'Remove' 98 22 white
grey_button STOPSCANBTN 'Stop' 98 22 white
grey_button BACKBTN 'Back' 98 22 white
grey_button NEXTBTN 'Next' 98 22 white
grey_button FINISHBTN 'Finish' 98 22 white
grey_button OK 'OK' 95 25 "$ABOUT_BG"

# Scan Now 187x65: blue face, magnifying glass and caption.
scan_now() { # name top bottom edge
  face 187 65 10 "$2" "$3" "$4" white "$WORK/$1.png"
  gloss "$WORK/$1.png" 187 65
  convert "$WORK/$1.png" -draw "$(magnifier 34 28 13 5 white)" \
    -font "$BOLD" -pointsize 20 -fill white -gravity west -annotate +66+0 'Scan Now' \
    "$WORK/$1.png"
  save_jpg "$WORK/$1.png" "$BTN/$1.jpg" 95
}
scan_now SCANNOWBTN "$BLUE_LIGHT" "$BLUE_DEEP" "$BLUE_EDGE"
scan_now SCANNOWBTN1 '#6cb2f3' '#2d78d2' '#1f63be'

# Minimise and close 27x18, hanging from the top edge of the banner.
small_button() { # name top bottom edge glyph-mvg
  convert -size 27x18 "gradient:$2-$3" \
    -fill 'rgba(255,255,255,0.18)' -draw "rectangle 1,0 25,8" \
    -fill none -stroke "$4" -strokewidth 1 -draw "rectangle 0.5,-1 26.5,17.5" \
    -stroke white -fill white -draw "$5" "$WORK/$1.png"
  save_jpg "$WORK/$1.png" "$BTN/$1.jpg" 95
}
BAR='stroke-width 0 rectangle 9,11 17,13'
CROSS='stroke-width 2 stroke-linecap round line 10,5 17,12 line 17,5 10,12'
small_button MINIMIZEBTN "$BLUE_LIGHT" "$BLUE_DEEP" "$BLUE_EDGE" "$BAR"
small_button MINIMIZEBTN1 '#6cb2f3' '#2d78d2' '#1f63be' "$BAR"
small_button CLOSEBTN "$ORANGE_TOP" "$ORANGE_BOT" "$ORANGE_EDGE" "$CROSS"
small_button CLOSEBTN1 '#fbbe7a' '#ec8535' '#cc6420' "$CROSS"

# --- Updater side picture 115x229, 24-bit BMP. The window shows only its
#     top-left 113x227, so nothing sits on the last two columns and rows ----
convert -size 115x229 "gradient:#2f86e0-#0d3f8f" \
  -fill 'rgba(255,255,255,0.06)' -draw "circle 100,10 100,90" \
  \( "$WORK/updmark.png" -resize 72x72 \) -gravity north -geometry -1+34 \
  -compose over -composite \
  -font "$SANS" -pointsize 14 -fill '#cfe4fa' -gravity north -annotate -1+128 'Pelmora' \
  -font "$BOLD" -pointsize 21 -fill white -annotate -1+146 'Update' \
  -stroke '#7fb6f0' -strokewidth 1 -draw "line 22,184 90,184" \
  -alpha off -type TrueColor "BMP3:$ART/updater_side.bmp"

# --- Updater icon: 256 (stored as PNG inside the icon), 72, 64, 48, 32,
#     24 and 16 pixels, each reduced from the large drawing ----------------
convert "$WORK/updmark.png" \
  \( -clone 0 -resize 72x72 \) \( -clone 0 -resize 64x64 \) \
  \( -clone 0 -resize 48x48 \) \( -clone 0 -resize 32x32 \) \
  \( -clone 0 -resize 24x24 \) \( -clone 0 -resize 16x16 \) \
  -depth 8 "$ART/updater.ico"

# --- Cleaner icon: the emblem at 48, 32, 24 and 16 pixels; the picture of
#     the taskbar button --------------------------------------------------
convert "$WORK/emblem.png" \
  \( -clone 0 -resize 48x48 \) \( -clone 0 -resize 32x32 \) \
  \( -clone 0 -resize 24x24 \) \( -clone 0 -resize 16x16 \) \
  -delete 0 -depth 8 "$ART/cleaner.ico"

echo "artwork written to $ART"

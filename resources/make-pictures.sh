#!/bin/sh
# Regenerates every picture that Horavel.rc embeds, from the SVG sources in
# pictures/svg, and the contact sheet docs/pictures.png.
#
# Needs (Debian): librsvg2-bin, imagemagick, python3, fonts-dejavu-core,
# fonts-wqy-microhei. The outputs are committed; an ordinary build does not
# run this script.
#
# Usage: resources/make-pictures.sh   (from any directory)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
svg=$here/pictures/svg
out=$here/pictures
sheet=$here/../docs/pictures.png
tool="python3 $here/tools/pictool.py"

for t in rsvg-convert convert identify python3; do
    command -v "$t" >/dev/null || { echo "make-pictures: $t is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Picture-list order: these are the picture indexes the main window's
# toolbar, side bar, menus and actions use, and the kinds' imageIndex.
commands="add modify delete start pause stop about"
kinds="power program file message ring web mail lock monitor sleep hibernate"
# The mission editor's side bar: 0 power, 1 program, 2 folder, 3 file,
# 4 message, 5 bell, 6 web, 7 mail; the notice before a power action: 0,
# 10 sleep, 11 hibernate; 8 lock and 9 monitor complete the kinds.
nav="power program folder file message ring web mail lock monitor sleep hibernate"
glyphs="ok cancel add addon save close settime"

# render SRC.svg SIZE OUT.png [WIDTH HEIGHT]
render() {
    rsvg-convert -w "${4:-$2}" -h "${5:-$2}" "$1" -o "$3"
}

# The 36x36 toolbar pictures: the 32-unit drawing at 1:1 with a 2-pixel margin.
render36() {
    render "$1" 32 "$2.32.png"
    convert "$2.32.png" -background none -gravity center -extent 36x36 "$2"
}

echo "picture lists"
l1= l2= l3= nv=
for c in $commands; do
    render "$svg/cmd-$c.svg" 16 "$tmp/cmd-$c-16.png"
    render36 "$svg/cmd-$c.svg" "$tmp/cmd-$c-36.png"
    l1="$l1 $tmp/cmd-$c-16.png"
    l3="$l3 $tmp/cmd-$c-36.png"
done
for k in $kinds; do
    render "$svg/kind-$k.svg" 16 "$tmp/kind-$k-16.png"
    l2="$l2 $tmp/kind-$k-16.png"
done
for k in $nav; do
    render "$svg/kind-$k.svg" 32 "$tmp/nav-$k-32.png"
    nv="$nv $tmp/nav-$k-32.png"
done
# shellcheck disable=SC2086 # the lists are meant to split into file names
{
    $tool strip "$out/imagelist1.bmp" $l1
    $tool strip "$out/imagelist2.bmp" $l2
    $tool strip "$out/imagelist3.bmp" $l3
    $tool strip "$out/imagelist4.bmp" --grey $l3
    $tool strip "$out/navicons32.bmp" $nv
}

# The same pictures drawn again at 125, 150 and 200 per cent, for 120, 144
# and 192 dpi: the program picks the strip its dpi needs instead of
# stretching the small one. Names end in -125, -150, -200.
echo "picture lists, banner and glyphs for higher dpi"
for pc in 125 150 200; do
    s16=$((16 * pc / 100)) s32=$((32 * pc / 100)) s36=$((36 * pc / 100))
    l1= l2= l3= nv=
    for c in $commands; do
        render "$svg/cmd-$c.svg" $s16 "$tmp/cmd-$c-$s16.png"
        render "$svg/cmd-$c.svg" $s32 "$tmp/cmd-$c-in$s36.png"
        convert "$tmp/cmd-$c-in$s36.png" -background none -gravity center -extent "${s36}x${s36}" "$tmp/cmd-$c-$s36.png"
        l1="$l1 $tmp/cmd-$c-$s16.png"
        l3="$l3 $tmp/cmd-$c-$s36.png"
    done
    for k in $kinds; do
        render "$svg/kind-$k.svg" $s16 "$tmp/kind-$k-$s16.png"
        l2="$l2 $tmp/kind-$k-$s16.png"
    done
    for k in $nav; do
        render "$svg/kind-$k.svg" $s32 "$tmp/nav-$k-$s32.png"
        nv="$nv $tmp/nav-$k-$s32.png"
    done
    # shellcheck disable=SC2086
    {
        $tool strip "$out/imagelist1-$pc.bmp" $l1
        $tool strip "$out/imagelist2-$pc.bmp" $l2
        $tool strip "$out/imagelist3-$pc.bmp" $l3
        $tool strip "$out/imagelist4-$pc.bmp" --grey $l3
        $tool strip "$out/navicons32-$pc.bmp" $nv
    }
    render "$svg/banner.svg" $s36 "$tmp/banner-$pc.png"
    $tool bmp32 "$out/banner36-$pc.bmp" "$tmp/banner-$pc.png"
    for g in $glyphs; do
        render "$svg/glyph-$g.svg" $s16 "$tmp/glyph-$g-$pc.png"
        $tool bmp32 "$out/glyph-$g-$pc.bmp" "$tmp/glyph-$g-$pc.png"
    done
done

echo "icons"
for s in 16 20 24 32; do render "$svg/app-small.svg" $s "$tmp/app-small-$s.png"; done
for s in 32 48 256; do render "$svg/app.svg" $s "$tmp/app-$s.png"; done
for s in 16 32; do render "$svg/clock-dialog.svg" $s "$tmp/clock-$s.png"; done
$tool ico "$out/horavel.ico" 16:"$tmp/app-small-16.png" 20:"$tmp/app-small-20.png" \
    24:"$tmp/app-small-24.png" 32:"$tmp/app-32.png" 48:"$tmp/app-48.png" 256:"$tmp/app-256.png"
$tool ico "$out/tray.ico" 16:"$tmp/app-small-16.png" 20:"$tmp/app-small-20.png" \
    24:"$tmp/app-small-24.png" 32:"$tmp/app-small-32.png"
$tool ico "$out/clock.ico" 16:"$tmp/clock-16.png" 32:"$tmp/clock-32.png"

echo "banner, logo, strip, glyphs"
render "$svg/banner.svg" 36 "$tmp/banner.png"
$tool bmp32 "$out/banner36.bmp" "$tmp/banner.png"
render "$svg/logo.svg" 0 "$tmp/logo.png" 209 97
$tool png "$out/logo.png" "$tmp/logo.png"
render "$svg/strip.svg" 0 "$tmp/strip.png" 27 25
$tool bmp32 "$out/strip.bmp" "$tmp/strip.png"
for g in $glyphs; do
    render "$svg/glyph-$g.svg" 16 "$tmp/glyph-$g.png"
    $tool bmp32 "$out/glyph-$g.bmp" "$tmp/glyph-$g.png"
done

echo "popup"
render "$svg/popup.svg" 0 "$tmp/popup.png" 200 442
# white behind the three labels; the figure inside (8,8)-(153,433)
$tool popup "$out/popup.png" "$tmp/popup.png" 22,88,129,284 8,8,153,433

# The logo and the popup drawn again for 120, 144 and 192 dpi, at the sizes
# the windows lay them out (pixels at 96 dpi scaled and rounded). PNG: as
# bitmaps these six would add more than a megabyte to the executable.
echo "logo and popup for higher dpi"
# at PERCENT PIXELS96: the size a window makes of it
at() { echo $((($2 * $1 + 50) / 100)); }
for pc in 125 150 200; do
    render "$svg/logo.svg" 0 "$tmp/logo-$pc.png" "$(at $pc 209)" "$(at $pc 97)"
    $tool png "$out/logo-$pc.png" "$tmp/logo-$pc.png"
    render "$svg/popup.svg" 0 "$tmp/popup-$pc.png" "$(at $pc 200)" "$(at $pc 442)"
    # the label area shrunk to whole pixels, the figure's bounds grown to them
    white="$(((22 * pc + 99) / 100)),$(((88 * pc + 99) / 100)),$((130 * pc / 100 - 1)),$((285 * pc / 100 - 1))"
    figure="$((8 * pc / 100)),$((8 * pc / 100)),$(((154 * pc + 99) / 100 - 1)),$(((434 * pc + 99) / 100 - 1))"
    $tool popup "$out/popup-$pc.png" "$tmp/popup-$pc.png" "$white" "$figure"
done

echo "animation"
# Drawn for 100, 125, 150 and 200 per cent, as the other pictures are.
for pc in 100 125 150 200; do
    frames=
    for n in 1 2 3 4; do
        printf '.frame { display: none } .f%s { display: inline }\n' $n >"$tmp/f$n.css"
        rsvg-convert -s "$tmp/f$n.css" -w "$(at $pc 64)" -h "$(at $pc 48)" "$svg/anim.svg" \
            -o "$tmp/anim-$pc-$n-soft.png"
        # edges blended with a light grey-blue, the colour of the band bars behind it
        $tool hard "$tmp/anim-$pc-$n.png" "$tmp/anim-$pc-$n-soft.png" D3DDE8
        frames="$frames $tmp/anim-$pc-$n.png"
    done
    name=anim
    [ "$pc" = 100 ] || name=anim-$pc
    # One global palette and one see-through index for all frames: some
    # decoders (GDI+ under Wine, for one) lose the transparency of a frame
    # that brings a palette of its own and draw it on white.
    # shellcheck disable=SC2086
    $tool gif "$out/$name.gif" 50 $frames
done

echo "contact sheet"
convert -size 8x8 xc:'#FFFFFF' -fill '#E2E6EA' -draw 'rectangle 0,0 3,3' -draw 'rectangle 4,4 7,7' "$tmp/checker1.png"
convert "$tmp/checker1.png" -scale 400% "$tmp/checker4.png"
font="DejaVu-Sans"
tiles=0
# tile LABEL PNG: the picture at 1x and at 4x on a checkerboard, labelled
tile() {
    tiles=$((tiles + 1))
    w=$(identify -format %w "$2")
    h=$(identify -format %h "$2")
    convert -size "${w}x${h}" tile:"$tmp/checker1.png" "$2" -composite "$tmp/one.png"
    convert "$2" -scale 400% "$tmp/big.png"
    convert -size "$((w * 4))x$((h * 4))" tile:"$tmp/checker4.png" "$tmp/big.png" -composite "$tmp/four.png"
    convert -background white -font "$font" -pointsize 13 -fill '#222222' label:"$1" \
        \( "$tmp/one.png" -gravity east -splice 12x0 "$tmp/four.png" -gravity north +append \) \
        -gravity northwest -append -bordercolor white -border 10 "$tmp/tile-$(printf %03d $tiles).png"
}
# row: puts the tiles made since the last row side by side
rowno=0
lastrow=0
row() {
    rowno=$((rowno + 1))
    list=
    n=$((lastrow + 1))
    while [ $n -le $tiles ]; do list="$list $tmp/tile-$(printf %03d $n).png"; n=$((n + 1)); done
    # shellcheck disable=SC2086
    convert $list -background white -gravity north +append "$tmp/row-$(printf %03d $rowno).png"
    lastrow=$tiles
}
heading() {
    rowno=$((rowno + 1))
    convert -background white -font "$font-Bold" -pointsize 16 -fill '#1D5BA8' label:"$1" \
        -gravity northwest -splice 10x14 "$tmp/row-$(printf %03d $rowno).png"
}

$tool topng "$tmp/s-l1.png" "$out/imagelist1.bmp"
$tool topng "$tmp/s-l2.png" "$out/imagelist2.bmp"
$tool topng "$tmp/s-l3.png" "$out/imagelist3.bmp"
$tool topng "$tmp/s-l4.png" "$out/imagelist4.bmp"
$tool topng "$tmp/s-nav.png" "$out/navicons32.bmp"
heading "Picture lists (indexes left to right from 0)"
tile "IMAGELIST1: add, modify, delete, start, pause, stop, about" "$tmp/s-l1.png"
tile "IMAGELIST2: power, program, file, message, ring, web, mail, lock, monitor, sleep, hibernate" "$tmp/s-l2.png"
row
tile "IMAGELIST3: toolbar" "$tmp/s-l3.png"
row
tile "IMAGELIST4: toolbar, disabled" "$tmp/s-l4.png"
row
tile "NAVICONS32: power, program, folder, file, message, bell, web, mail, lock, monitor, sleep, hibernate" "$tmp/s-nav.png"
row

heading "Icons"
$tool icopng "$tmp/i-main" "$out/horavel.ico"
$tool icopng "$tmp/i-tray" "$out/tray.ico"
$tool icopng "$tmp/i-clock" "$out/clock.ico"
for s in 16 20 24 32 48; do tile "MAINICON $s" "$tmp/i-main-$s.png"; done
row
tile "MAINICON 256" "$tmp/i-main-256.png"
row
for s in 16 20 24 32; do tile "TRAYICON $s" "$tmp/i-tray-$s.png"; done
for s in 16 32; do tile "CLOCKICON $s" "$tmp/i-clock-$s.png"; done
row

heading "Banner, glyphs, about box"
$tool topng "$tmp/s-banner.png" "$out/banner36.bmp"
tile "BANNER36" "$tmp/s-banner.png"
for g in $glyphs; do
    $tool topng "$tmp/s-glyph-$g.png" "$out/glyph-$g.bmp"
    tile "GLYPH_$(echo "$g" | tr '[:lower:]' '[:upper:]')" "$tmp/s-glyph-$g.png"
done
row
$tool topng "$tmp/s-strip.png" "$out/strip.bmp"
tile "LOGO" "$out/logo.png"
tile "STRIP" "$tmp/s-strip.png"
row

heading "ANIMGIF (4 frames, 0.5 s each, looping)"
convert "$out/anim.gif" -coalesce "$tmp/g-%d.png"
for n in 0 1 2 3; do tile "frame $((n + 1))" "$tmp/g-$n.png"; done
row

heading "POPUP (palette PNG; fuchsia is the see-through key)"
tile "POPUP" "$out/popup.png"
row

convert "$tmp"/row-*.png -background white -gravity northwest -append -bordercolor white -border 10 \
    -depth 8 -strip "$sheet"
echo "done: $out, $sheet"

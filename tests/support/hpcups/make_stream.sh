#!/usr/bin/env bash
# make_stream.sh IN.ppm OUT.pcl [color|black]
#
# Produce a real PCL3GUI printer stream from a binary PPM (P6, maxval 255)
# with Debian's hpcups filter (package printer-driver-hpcups), run directly
# as a black box -- no cupsd needed. The page is exactly the image: a custom
# page size of W x H dots at 600 dpi, raster pixel (x,y) == image pixel (x,y).
# cups-filters' imagetoraster makes the raster, from a PPD without hardware
# margins or a least custom size, so it neither shifts nor splits the image.
#
#   color  (default) PPD hp-deskjet_5550.ppd, "ColorModel=RGB OutputMode=Normal":
#          the raster is RGB, 8 bits per colour, 600x600 dpi.
#          Colour rows come out as ESC*b#W in compression mode 10.
#   black  PPD hp-deskjet_2540_series.ppd, "ColorModel=RGB OutputMode=Best":
#          that PPD's raster is RGBW (cupsColorSpace 17, 32-bit), 600x600 dpi.
#          The image must be black and white only: black pixels get W = 0,
#          which hpcups sends on its 1-bit black plane: rows come out as
#          ESC*b#V in compression mode 9, colour rows stay empty (ESC*b0W).
#
# Needs printer-driver-hpcups, cups-ppdc and cups-filters.
# Exit status 77 means "a prerequisite is missing" (skip).
set -euo pipefail

[[ $# -ge 2 && $# -le 3 ]] || { echo "usage: $0 IN.ppm OUT.pcl [color|black]" >&2; exit 2; }
in=$1 out=$2 mode=${3:-color}
filter=/usr/lib/cups/filter/hpcups drv=/usr/share/cups/drv/hpcups.drv rip=/usr/lib/cups/filter/imagetoraster
opts="MediaType=Plain ColorModel=RGB OutputMode=Normal" model=hp-deskjet_5550
[[ $mode == black ]] && opts="MediaType=Plain ColorModel=RGB OutputMode=Best" model=hp-deskjet_2540_series

skip() { echo "make_stream.sh: SKIP: $*" >&2; exit 77; }
[[ -x $filter && -r $drv && -x $rip ]] || skip "hpcups or imagetoraster not found (install printer-driver-hpcups, cups-filters)"
command -v ppdc >/dev/null || skip "ppdc not found (install cups-ppdc)"
work=$(mktemp -d "${TMPDIR:-/tmp}/hpcups_stream.XXXXXX")
trap 'rm -rf "$work"' EXIT

ppdc -d "$work" "$drv" >"$work/ppdc.log" 2>&1 || true
[[ -s $work/$model.ppd ]] || skip "ppdc did not produce $model.ppd"
ppd=$work/page.ppd
sed -e 's/^\*HWMargins:.*/*HWMargins: 0 0 0 0/' -e 's/^\(\*ParamCustomPageSize \(Width\|Height\): [12] points\) [0-9.]*/\1 1/' \
  "$work/$model.ppd" >"$ppd"

# A hair over the image's size in points: a page a rounding error short would take two pages.
read -r w h < <(head -c 64 "$in" | tr -s ' \n' '  ' | cut -d' ' -f2,3)
opts="$opts PageSize=Custom.$(awk -v w="$w" -v h="$h" 'BEGIN{printf "%.4fx%.4f", w*72/600+1e-4, h*72/600+1e-4}')"
PPD=$ppd "$rip" 1 user make_stream 1 "$opts ppi=600" "$in" >"$work/page.ras" 2>"$work/rip.log" ||
  { echo "make_stream.sh: imagetoraster failed:" >&2; grep -v '^DEBUG' "$work/rip.log" >&2; exit 1; }
# The raster's RGBW black is 00 00 00 FF; hpcups puts only W = 0 on the black plane. Pixels are
# 4 bytes and either black or white, so the pattern never straddles two.
[[ $mode == black ]] && python3 -c 'import sys; p = sys.argv[1]; r = open(p, "rb").read()
open(p, "wb").write(r[:1800] + r[1800:].replace(b"\0\0\0\xff", b"\0\0\0\0"))' "$work/page.ras"

# argv: job-id user title copies options [file]
PPD=$ppd "$filter" 1 user make_stream 1 "$opts" "$work/page.ras" >"$out" 2>"$work/hpcups.log" ||
  { echo "make_stream.sh: hpcups failed:" >&2; grep -v '^DEBUG' "$work/hpcups.log" >&2; exit 1; }
[[ -s $out ]] || { echo "make_stream.sh: hpcups wrote nothing" >&2; exit 1; }

#!/usr/bin/env bash
# make_stream.sh IN.ppm OUT.pcl [color|black]
#
# Produce a real PCL3GUI printer stream from a binary PPM (P6, maxval 255)
# with Debian's hpcups filter (package printer-driver-hpcups), run directly
# as a black box -- no cupsd needed. The page is exactly the image: a custom
# page size of W x H dots at 600 dpi, raster pixel (x,y) == image pixel (x,y).
#
#   color  (default) PPD hp-deskjet_5550.ppd, "ColorModel=RGB OutputMode=Normal":
#          the raster is RGB, 8 bits per colour, 600x600 dpi.
#          Colour rows come out as ESC*b#W in compression mode 10.
#   black  PPD hp-deskjet_2540_series.ppd, "ColorModel=RGB OutputMode=Best":
#          that PPD's raster is RGBW (cupsColorSpace 17, 32-bit), 600x600 dpi.
#          Every pixel is thresholded (luminance < 128 -> black, else white);
#          hpcups sends black pixels on its 1-bit black plane: rows come out
#          as ESC*b#V in compression mode 9, colour rows stay empty (ESC*b0W).
#
# Needs printer-driver-hpcups, cups-ppdc, libcups2-dev and libcupsimage2-dev.
# Exit status 77 means "a prerequisite is missing" (skip).
set -euo pipefail

[[ $# -ge 2 && $# -le 3 ]] || { echo "usage: $0 IN.ppm OUT.pcl [color|black]" >&2; exit 2; }
in=$1 out=$2 mode=${3:-color}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
filter=/usr/lib/cups/filter/hpcups drv=/usr/share/cups/drv/hpcups.drv
opts="MediaType=Plain ColorModel=RGB OutputMode=Normal" model=hp-deskjet_5550 rflags=()
[[ $mode == black ]] && opts="MediaType=Plain ColorModel=RGB OutputMode=Best" model=hp-deskjet_2540_series rflags=(-k)

skip() { echo "make_stream.sh: SKIP: $*" >&2; exit 77; }
[[ -x $filter && -r $drv ]] || skip "hpcups not found (install printer-driver-hpcups)"
command -v ppdc >/dev/null || skip "ppdc not found (install cups-ppdc)"
[[ -r /usr/include/cups/raster.h && -r /usr/include/cups/ppd.h ]] ||
  skip "CUPS headers missing (install libcups2-dev libcupsimage2-dev)"
work=$(mktemp -d "${TMPDIR:-/tmp}/hpcups_stream.XXXXXX")
trap 'rm -rf "$work"' EXIT

cc -O2 -o "$work/ppm_to_raster" "$here/ppm_to_raster.c" -lcupsimage -lcups
ppdc -d "$work" "$drv" >"$work/ppdc.log" 2>&1 || true
ppd=$work/$model.ppd
[[ -s $ppd ]] || skip "ppdc did not produce $model.ppd"

read -r w h <<<"$("$work/ppm_to_raster" -S "$in")"
opts="$opts PageSize=Custom.$(awk -v w="$w" -v h="$h" 'BEGIN{printf "%.4fx%.4f", w*72/600, h*72/600}')"
"$work/ppm_to_raster" ${rflags[@]+"${rflags[@]}"} "$ppd" "$opts" "$in" "$work/page.ras"

# argv: job-id user title copies options [file]
if ! PPD=$ppd "$filter" 1 user make_stream 1 "$opts" "$work/page.ras" >"$out" 2>"$work/hpcups.log"; then
  echo "make_stream.sh: hpcups failed:" >&2
  grep -v '^DEBUG' "$work/hpcups.log" >&2 || true
  exit 1
fi
[[ -s $out ]] || { echo "make_stream.sh: hpcups wrote nothing" >&2; exit 1; }

#!/usr/bin/env bash
# make_stream.sh IN.ppm OUT.pcl [color|black]
#
# Produce a real PCL3GUI printer stream from a binary PPM (P6, maxval 255)
# with Debian's hpcups filter (package printer-driver-hpcups), run directly
# as a black box -- no cupsd needed.
#
#   color  (default) PPD hp-deskjet_5550.ppd, "ColorModel=RGB OutputMode=Normal":
#          the raster is RGB, 8 bits per colour (24-bit chunked), 600x600 dpi.
#          Colour rows come out as ESC*b#W in compression mode 10.
#   black  PPD hp-deskjet_2540_series.ppd, "ColorModel=RGB OutputMode=Best":
#          that PPD's raster is RGBW (cupsColorSpace 17, 32-bit), 600x600 dpi.
#          Every pixel is thresholded (luminance < 128 -> black, 00,00,00,00;
#          else white FF,FF,FF,FF); hpcups sends black pixels on its 1-bit
#          black plane: rows come out as ESC*b#V in compression mode 9 and the
#          mode 10 colour rows stay empty (ESC*b0W).
#
# Page geometry (env HPCUPS_PAGE):
#   fit (default)   the page is exactly the image: a custom page size of
#                   W x H dots at 600 dpi (PageSize=Custom.<pt>x<pt>).
#   Letter, A4 ...  a PPD paper size; the image sits at the top left of a
#                   full-page raster (no margins), the rest is white.
#   In both cases raster pixel (x,y) == image pixel (x,y); hpcups keeps that
#   mapping (output row/column 0 == image row/column 0).
#
# Other env:
#   HPCUPS_FILTER   path of the filter (default /usr/lib/cups/filter/hpcups)
#   HPCUPS_KEEP=DIR keep the intermediate files (PPD, raster, log) in DIR
#   CC              C compiler for ppm_to_raster.c (default cc)
#
# Needs: printer-driver-hpcups, libcups2-dev + libcupsimage2-dev (headers
# and libs to build ppm_to_raster.c), and cups-daemon (cups-driverd) or
# cups-ppdc (ppdc) to produce the PPD from /usr/share/cups/drv/hpcups.drv.
# Exit status 77 means "a prerequisite is missing" (skip).
set -euo pipefail

usage() { echo "usage: $0 IN.ppm OUT.pcl [color|black]" >&2; exit 2; }
[[ $# -ge 2 && $# -le 3 ]] || usage
in=$1 out=$2 mode=${3:-color}

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
filter=${HPCUPS_FILTER:-/usr/lib/cups/filter/hpcups}
drv=/usr/share/cups/drv/hpcups.drv
page=${HPCUPS_PAGE:-fit}
cc=${CC:-cc}

case $mode in
  color) model=hp-deskjet_5550
         opts="ColorModel=RGB OutputMode=Normal MediaType=Plain"
         rflags=() ;;
  black) model=hp-deskjet_2540_series
         opts="ColorModel=RGB OutputMode=Best MediaType=Plain"
         rflags=(-k) ;;
  *) usage ;;
esac

skip() { echo "make_stream.sh: SKIP: $*" >&2; exit 77; }
[[ -x $filter ]] || skip "$filter not found (install printer-driver-hpcups)"
[[ -r $drv ]] || skip "$drv not found (install printer-driver-hpcups)"
command -v "$cc" >/dev/null || skip "no C compiler ($cc)"
[[ -r /usr/include/cups/raster.h && -r /usr/include/cups/ppd.h ]] ||
  skip "CUPS headers missing (install libcups2-dev libcupsimage2-dev)"

if [[ -n ${HPCUPS_KEEP:-} ]]; then
  work=$HPCUPS_KEEP; mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/hpcups_stream.XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi

# --- raster maker ---------------------------------------------------------
"$cc" -O2 -o "$work/ppm_to_raster" "$here/ppm_to_raster.c" -lcupsimage -lcups

# --- PPD (generated from the installed driver information file) -----------
ppd=$work/$model.ppd
driverd=/usr/lib/cups/daemon/cups-driverd
if [[ -x $driverd ]] && "$driverd" cat "drv:///hpcups.drv/$model.ppd" >"$ppd" 2>"$work/driverd.log" &&
   [[ -s $ppd ]]; then
  :
elif command -v ppdc >/dev/null; then
  mkdir -p "$work/ppds"
  ppdc -d "$work/ppds" "$drv" >"$work/ppdc.log" 2>&1 || true
  [[ -s $work/ppds/$model.ppd ]] || skip "ppdc did not produce $model.ppd"
  cp "$work/ppds/$model.ppd" "$ppd"
else
  skip "need cups-driverd (cups-daemon) or ppdc (cups-ppdc) to make the PPD"
fi

# --- page size --------------------------------------------------------------
if [[ $page == fit ]]; then
  size=$("$work/ppm_to_raster" -S "$in")
  read -r w h <<<"$size"
  ptw=$(awk -v v="$w" 'BEGIN{printf "%.4f", v*72/600}')
  pth=$(awk -v v="$h" 'BEGIN{printf "%.4f", v*72/600}')
  opts="$opts PageSize=Custom.${ptw}x${pth}"
  rflags+=(-f)
else
  opts="$opts PageSize=$page"
fi

# --- raster, then the filter --------------------------------------------------
"$work/ppm_to_raster" "${rflags[@]}" "$ppd" "$opts" "$in" "$work/page.ras"

# argv: job-id user title copies options [file]
if ! PPD=$ppd "$filter" 1 user make_stream 1 "$opts" "$work/page.ras" \
      >"$out" 2>"$work/hpcups.log"; then
  echo "make_stream.sh: hpcups failed:" >&2
  grep -v '^DEBUG' "$work/hpcups.log" >&2 || true
  exit 1
fi
[[ -s $out ]] || { echo "make_stream.sh: hpcups wrote nothing" >&2; exit 1; }

/*
 * ppm_to_raster - turn a binary PPM (P6, maxval 255) into a one-page CUPS raster (v3,
 * uncompressed) that the hpcups filter accepts as input, the page exactly the image.
 *
 *   ppm_to_raster [-k] PPD "OPTIONS" IN.ppm OUT.ras
 *   ppm_to_raster -S IN.ppm        (prints "WIDTH HEIGHT" of the image)
 *
 * The page header is built the way a RIP builds it: the PPD's default choices plus OPTIONS are
 * marked and the PPD's setpagedevice code is interpreted with cupsRasterInterpretPPD(), which
 * yields HWResolution, cupsColorSpace, cupsRowStep, cupsInteger0, OutputType, cupsMediaType, ...
 * as the PPD asks for them. The page is then set to the image's size (pair it with a
 * "PageSize=Custom.WxH" option), 8 bits per colour, chunked, uncompressed.
 *
 * Pixels: R,G,B as in the image; for cupsColorSpace 17 (RGBW) R,G,B,W with W = 0xFF, or with -k
 * ("black only") 00,00,00,00 for every pixel whose luminance is below 128 and FF,FF,FF,FF for the
 * others: hpcups puts W = 0 pixels on its 1-bit black plane.
 */
#include <cups/cups.h>
#include <cups/ppd.h>
#include <cups/raster.h>

#include <ctype.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* ppdOpenFile & co. are deprecated but are the documented way to drive cupsRasterInterpretPPD. */
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

static void fail(const char* what) __attribute__((noreturn));
static void fail(const char* what) {
    fprintf(stderr, "ppm_to_raster: %s\n", what);
    exit(1);
}

/* A header number after blanks and comments; the one blank that ends it is read too. */
static unsigned read_token(FILE* f) {
    int c = getc(f);
    for (;; c = getc(f)) {
        if (c == '#')
            while ((c = getc(f)) != '\n' && c != EOF) {}
        if (!isspace(c)) break;
    }
    unsigned v = 0;
    for (; isdigit(c); c = getc(f)) v = v * 10 + (unsigned)(c - '0');
    return v;
}

static FILE* open_ppm(const char* name, unsigned* w, unsigned* h) {
    FILE* in = fopen(name, "rb");
    char magic[3] = {0};
    if (!in || fread(magic, 1, 2, in) != 2 || strcmp(magic, "P6") != 0 || !(*w = read_token(in)) || !(*h = read_token(in)) ||
        read_token(in) != 255)
        fail("not a binary PPM (need P6, maxval 255)");
    return in;
}

int main(int argc, char** argv) {
    unsigned iw, ih;
    if (argc == 3 && !strcmp(argv[1], "-S")) {
        fclose(open_ppm(argv[2], &iw, &ih));
        printf("%u %u\n", iw, ih);
        return 0;
    }
    const int black = argc > 1 && !strcmp(argv[1], "-k");
    if (argc != 5 + black) fail("usage: ppm_to_raster [-k] PPD OPTIONS IN.ppm OUT.ras | -S IN.ppm");
    argv += black;

    FILE* in = open_ppm(argv[3], &iw, &ih);
    const size_t isize = (size_t)iw * ih * 3;
    unsigned char* img = malloc(isize);
    if (!img || fread(img, 1, isize, in) != isize) fail("short PPM data");
    fclose(in);

    ppd_file_t* ppd = ppdOpenFile(argv[1]);
    if (!ppd) fail("cannot open the PPD");
    ppdMarkDefaults(ppd);
    cups_option_t* opts = NULL;
    const int nopts = cupsParseOptions(argv[2], 0, &opts);
    cupsMarkOptions(ppd, nopts, opts);
    cups_page_header2_t h;
    memset(&h, 0, sizeof h);
    if (cupsRasterInterpretPPD(&h, ppd, nopts, opts, NULL) || !h.HWResolution[0] || !h.HWResolution[1])
        fail(cupsRasterErrorString());

    /* The page is the image, without margins. */
    h.cupsWidth = iw;
    h.cupsHeight = ih;
    h.cupsPageSize[0] = (float)iw * 72.0f / (float)h.HWResolution[0];
    h.cupsPageSize[1] = (float)ih * 72.0f / (float)h.HWResolution[1];
    h.PageSize[0] = h.ImagingBoundingBox[2] = (unsigned)(h.cupsPageSize[0] + 0.5f);
    h.PageSize[1] = h.ImagingBoundingBox[3] = (unsigned)(h.cupsPageSize[1] + 0.5f);
    h.ImagingBoundingBox[0] = h.ImagingBoundingBox[1] = h.Margins[0] = h.Margins[1] = 0;
    h.cupsImagingBBox[0] = h.cupsImagingBBox[1] = 0.0f;
    h.cupsImagingBBox[2] = h.cupsPageSize[0];
    h.cupsImagingBBox[3] = h.cupsPageSize[1];

    const int rgbw = h.cupsColorSpace == CUPS_CSPACE_RGBW;
    const unsigned ncolors = rgbw ? 4 : 3;
    if (black && !rgbw) fail("-k needs a PPD and ColorModel with cupsColorSpace 17 (RGBW)");
    h.cupsBitsPerColor = 8;
    h.cupsColorOrder = CUPS_ORDER_CHUNKED;
    h.cupsBitsPerPixel = 8 * ncolors;
    h.cupsBytesPerLine = iw * ncolors;
    h.cupsNumColors = ncolors;
    h.NumCopies = 1;
    h.cupsCompression = 0;

    const int fd = open(argv[4], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    cups_raster_t* r = fd < 0 ? NULL : cupsRasterOpen(fd, CUPS_RASTER_WRITE);
    if (!r || !cupsRasterWriteHeader2(r, &h)) fail("cannot write the raster header");
    unsigned char* line = malloc(h.cupsBytesPerLine);
    for (unsigned y = 0; y < ih; y++) {
        for (unsigned x = 0; x < iw; x++) {
            const unsigned char* p = img + ((size_t)y * iw + x) * 3;
            unsigned char* q = line + (size_t)x * ncolors;
            const unsigned lum = (299u * p[0] + 587u * p[1] + 114u * p[2] + 500u) / 1000u;
            if (black) {
                memset(q, lum < 128 ? 0x00 : 0xFF, 4);
            } else {
                memcpy(q, p, 3);
                if (rgbw) q[3] = 0xFF;
            }
        }
        if (cupsRasterWritePixels(r, line, h.cupsBytesPerLine) != h.cupsBytesPerLine) fail("raster write error");
    }
    cupsRasterClose(r);
    close(fd);
    return 0;
}

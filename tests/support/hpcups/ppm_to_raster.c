/*
 * ppm_to_raster - turn a binary PPM (P6, maxval 255) into a one-page CUPS
 * raster (v3, uncompressed) that the hpcups filter accepts as input.
 *
 * Usage:
 *   ppm_to_raster [-f|-i] [-k] PPD "OPTIONS" IN.ppm OUT.ras
 *   ppm_to_raster -S IN.ppm        (just print "WIDTH HEIGHT" of the image)
 *
 * The page header is built the way a RIP builds it: the PPD's default
 * choices plus OPTIONS (e.g. "ColorModel=RGB OutputMode=Normal
 * PageSize=Letter") are marked and the PPD's setpagedevice code is
 * interpreted with cupsRasterInterpretPPD().  That yields HWResolution,
 * PageSize, cupsColorSpace, cupsRowStep, cupsInteger0 (paper code),
 * OutputType, cupsMediaType, ... exactly as the PPD asks for them.
 * cupsBitsPerColor is forced to 8, the order is chunked, no compression.
 *
 * Page geometry (raster pixel (0,0) is always image pixel (0,0)):
 *   default  full page, no margins: cupsWidth x cupsHeight = PageSize at
 *            HWResolution (this is what ghostscript makes of the PPD's
 *            "/ImagingBBox null"); image at the top left, rest white.
 *   -f       fit: the page is exactly the image (cupsWidth/cupsHeight =
 *            image size, PageSize = image size in points, rounded).  Use
 *            together with a "PageSize=Custom.WxH" option so the PPD side
 *            treats it as a custom size.
 *   -i       imageable area only, as cupsRasterInterpretPPD computes it
 *            from the PPD's ImageableArea (raster starts at the margins).
 *   Image pixels outside the page are dropped.
 *
 * Pixel format, chosen by the PPD's cupsColorSpace:
 *   3 colours (RGB, sRGB, ...): R,G,B as in the image.
 *   cupsColorSpace 17 (RGBW, 32 bits per pixel): R,G,B,W with W = 0xFF,
 *     or with -k ("black only"): every pixel whose luminance
 *     (0.299R + 0.587G + 0.114B) is below 128 becomes 00,00,00,00 and
 *     every other pixel FF,FF,FF,FF.  hpcups puts W = 0 pixels on its
 *     1-bit black plane.
 *   1 colour (W/K/SW): luminance (inverted for K).
 *
 * Environment:
 *   PPM_TO_RASTER_VERBOSE=1  print the resulting header fields to stderr.
 *
 * Build: cc -o ppm_to_raster ppm_to_raster.c -lcupsimage -lcups
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

/* ppdOpenFile & co. are marked deprecated but are the documented way to
   drive cupsRasterInterpretPPD; silence the warnings. */
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

static int read_token(FILE* f, unsigned* out) {
    int c;
    for (;;) {
        c = getc(f);
        if (c == EOF) return -1;
        if (c == '#') {
            while (c != '\n' && c != EOF) c = getc(f);
            continue;
        }
        if (!isspace(c)) break;
    }
    if (!isdigit(c)) return -1;
    unsigned v = 0;
    while (isdigit(c)) {
        v = v * 10 + (unsigned)(c - '0');
        c = getc(f);
    }
    /* c is the single whitespace character ending the header token */
    *out = v;
    return 0;
}

static FILE* open_ppm(const char* name, unsigned* w, unsigned* h) {
    FILE* in = fopen(name, "rb");
    if (!in) {
        perror(name);
        exit(1);
    }
    char magic[3] = {0};
    unsigned maxval;
    if (fread(magic, 1, 2, in) != 2 || strcmp(magic, "P6") != 0 || read_token(in, w) || read_token(in, h) ||
        read_token(in, &maxval) || maxval != 255 || *w == 0 || *h == 0) {
        fprintf(stderr, "%s: not a binary PPM (need P6, maxval 255)\n", name);
        exit(1);
    }
    return in;
}

static void usage(const char* prog) {
    fprintf(stderr,
            "usage: %s [-f|-i] [-k] PPD OPTIONS IN.ppm OUT.ras\n"
            "       %s -S IN.ppm\n",
            prog, prog);
    exit(2);
}

int main(int argc, char** argv) {
    int fit = 0, imageable = 0, black = 0, argi = 1;
    if (argc == 3 && !strcmp(argv[1], "-S")) {
        unsigned w, h;
        fclose(open_ppm(argv[2], &w, &h));
        printf("%u %u\n", w, h);
        return 0;
    }
    for (; argi < argc && argv[argi][0] == '-' && argv[argi][1]; argi++) {
        if (!strcmp(argv[argi], "-f")) fit = 1;
        else if (!strcmp(argv[argi], "-i")) imageable = 1;
        else if (!strcmp(argv[argi], "-k")) black = 1;
        else usage(argv[0]);
    }
    if (argc - argi != 4 || (fit && imageable)) usage(argv[0]);
    const char *ppdname = argv[argi], *optstr = argv[argi + 1], *inname = argv[argi + 2], *outname = argv[argi + 3];

    /* ---- read PPM ---- */
    unsigned iw, ih;
    FILE* in = open_ppm(inname, &iw, &ih);
    size_t isize = (size_t)iw * ih * 3;
    unsigned char* img = malloc(isize);
    if (!img || fread(img, 1, isize, in) != isize) {
        fprintf(stderr, "%s: short PPM data\n", inname);
        return 1;
    }
    fclose(in);

    /* ---- build the page header from PPD + options ---- */
    ppd_file_t* ppd = ppdOpenFile(ppdname);
    if (!ppd) {
        fprintf(stderr, "cannot open PPD %s\n", ppdname);
        return 1;
    }
    ppdMarkDefaults(ppd);
    cups_option_t* opts = NULL;
    int nopts = cupsParseOptions(optstr, 0, &opts);
    cupsMarkOptions(ppd, nopts, opts);

    cups_page_header2_t h;
    memset(&h, 0, sizeof h);
    if (cupsRasterInterpretPPD(&h, ppd, nopts, opts, NULL)) {
        fprintf(stderr, "cupsRasterInterpretPPD failed: %s\n", cupsRasterErrorString());
        return 1;
    }
    unsigned xres = h.HWResolution[0], yres = h.HWResolution[1];
    if (!xres || !yres) {
        fprintf(stderr, "no HWResolution\n");
        return 1;
    }

    if (fit) {
        h.cupsWidth = iw;
        h.cupsHeight = ih;
        h.cupsPageSize[0] = (float)iw * 72.0f / (float)xres;
        h.cupsPageSize[1] = (float)ih * 72.0f / (float)yres;
        h.PageSize[0] = (unsigned)(h.cupsPageSize[0] + 0.5f);
        h.PageSize[1] = (unsigned)(h.cupsPageSize[1] + 0.5f);
    }
    if (!imageable) {
        if (!fit) {
            h.cupsWidth = (unsigned)(h.cupsPageSize[0] * xres / 72.0f + 0.5f);
            h.cupsHeight = (unsigned)(h.cupsPageSize[1] * yres / 72.0f + 0.5f);
        }
        h.ImagingBoundingBox[0] = h.ImagingBoundingBox[1] = 0;
        h.ImagingBoundingBox[2] = h.PageSize[0];
        h.ImagingBoundingBox[3] = h.PageSize[1];
        h.cupsImagingBBox[0] = h.cupsImagingBBox[1] = 0.0f;
        h.cupsImagingBBox[2] = h.cupsPageSize[0];
        h.cupsImagingBBox[3] = h.cupsPageSize[1];
        h.Margins[0] = h.Margins[1] = 0;
    }

    h.cupsBitsPerColor = 8;
    h.cupsColorOrder = CUPS_ORDER_CHUNKED;
    unsigned ncolors;
    switch (h.cupsColorSpace) {
    case CUPS_CSPACE_W:
    case CUPS_CSPACE_K:
    case CUPS_CSPACE_SW: ncolors = 1; break;
    case CUPS_CSPACE_RGBA:
    case CUPS_CSPACE_RGBW:
    case CUPS_CSPACE_CMYK:
    case CUPS_CSPACE_KCMY: ncolors = 4; break;
    default: ncolors = 3; break;
    }
    if (black && h.cupsColorSpace != CUPS_CSPACE_RGBW) {
        fprintf(stderr, "-k needs a PPD/ColorModel with cupsColorSpace 17 (RGBW), got %d\n", (int)h.cupsColorSpace);
        return 1;
    }
    h.cupsBitsPerPixel = 8 * ncolors;
    h.cupsBytesPerLine = h.cupsWidth * ncolors;
    h.cupsNumColors = ncolors;
    h.NumCopies = 1;
    h.cupsCompression = 0;

    if (getenv("PPM_TO_RASTER_VERBOSE")) {
        fprintf(stderr,
                "ppm_to_raster: image %ux%u; raster %ux%u px, HWResolution %ux%u, "
                "PageSize %ux%u pt (%.3fx%.3f),\n"
                "  ImagingBBox %u %u %u %u, Margins %u %u, cupsColorSpace %d, "
                "bits/colour %u, bits/pixel %u, bytes/line %u,\n"
                "  cupsRowStep %u, cupsMediaType %d, cupsInteger0 %u, OutputType '%s', "
                "MediaType '%s'\n",
                iw, ih, h.cupsWidth, h.cupsHeight, xres, yres, h.PageSize[0], h.PageSize[1], h.cupsPageSize[0], h.cupsPageSize[1],
                h.ImagingBoundingBox[0], h.ImagingBoundingBox[1], h.ImagingBoundingBox[2], h.ImagingBoundingBox[3], h.Margins[0],
                h.Margins[1], (int)h.cupsColorSpace, h.cupsBitsPerColor, h.cupsBitsPerPixel, h.cupsBytesPerLine, h.cupsRowStep,
                (int)h.cupsMediaType, h.cupsInteger[0], h.OutputType, h.MediaType);
    }

    /* ---- write the raster ---- */
    int fd = open(outname, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        perror(outname);
        return 1;
    }
    cups_raster_t* r = cupsRasterOpen(fd, CUPS_RASTER_WRITE);
    if (!r || !cupsRasterWriteHeader2(r, &h)) {
        fprintf(stderr, "cannot write raster header\n");
        return 1;
    }
    unsigned char* line = malloc(h.cupsBytesPerLine ? h.cupsBytesPerLine : 1);
    for (unsigned y = 0; y < h.cupsHeight; y++) {
        for (unsigned x = 0; x < h.cupsWidth; x++) {
            unsigned char R = 255, G = 255, B = 255;
            if (y < ih && x < iw) {
                const unsigned char* p = img + ((size_t)y * iw + x) * 3;
                R = p[0];
                G = p[1];
                B = p[2];
            }
            unsigned lum = (299u * R + 587u * G + 114u * B + 500u) / 1000u;
            unsigned char* q = line + (size_t)x * ncolors;
            if (ncolors == 1) {
                q[0] = (unsigned char)(h.cupsColorSpace == CUPS_CSPACE_K ? 255 - lum : lum);
            } else if (ncolors == 3) {
                q[0] = R;
                q[1] = G;
                q[2] = B;
            } else if (black) {
                memset(q, lum < 128 ? 0x00 : 0xFF, 4);
            } else {
                q[0] = R;
                q[1] = G;
                q[2] = B;
                q[3] = 0xFF;
            }
        }
        if (cupsRasterWritePixels(r, line, h.cupsBytesPerLine) != h.cupsBytesPerLine) {
            fprintf(stderr, "raster write error\n");
            return 1;
        }
    }
    cupsRasterClose(r);
    close(fd);
    free(line);
    free(img);
    cupsFreeOptions(nopts, opts);
    ppdClose(ppd);
    return 0;
}

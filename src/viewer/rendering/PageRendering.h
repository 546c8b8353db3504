// Pictures of decoded pages as the viewer shows them: emboss dots, one-byte ink dots, RGB ink.
#pragma once

#include "job/PageData.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <cstdint>
#include <optional>

namespace brelmont::viewer {

// How emboss dots are drawn: in grey levels by their level (the usual picture), or all black with
// the level shown by the dot's size, for low vision (level 7 full size down to 55 % of it for
// level 1; value 15, a dot without a level, full size).
enum class EmbossLook { Levels, HighContrast };

// Emboss page (kinds 1 and 2; any other kind is drawn with the kind 1 geometry): one antialiased
// circle per drawable cell on white, Format_ARGB32_Premultiplied, fully opaque. A kind 1 cell is
// 5 x 5 pixels with a 4-pixel dot, a kind 2 cell is one pixel with a 4.8-pixel dot. Page row 0 is
// at the top; each dot's square rises from the bottom edge of its cell, so a kind 2 dot reaches
// into the rows above its own. Null for an empty page or one too large for a QImage.
// Every dot of a page has the same sub-pixel phase, so each colour's dot is rendered once and
// composited at every position.
// A smaller high-contrast dot is centred in the square of a full-size one.
QImage embossImage(const job::PageData& page, EmbossLook look = EmbossLook::Levels);

// Kind 3 ink page: every non-zero byte is a black antialiased circle inscribed in its pixel, on
// white, Format_ARGB32_Premultiplied. Null for an empty page.
QImage inkDotImage(const job::PageData& page);

// Kind 4 ink page: the page buffer itself, not copied (Format_RGB888, bytesPerLine = m_stride).
// The page must outlive the image and every copy of it; use QImage::copy() to keep the pixels
// longer. The view shows it at pageImageSize(), a third of its pixel size. Null for an empty page.
QImage rgbImage(const job::PageData& page);

// The picture for the page's kind (1, 2 emboss in the given look; 3 ink dots; 4 RGB); null for any
// other kind.
QImage pageImage(const job::PageData& page, EmbossLook look = EmbossLook::Levels);

// Size in points at which the view shows pageImage(): the pixel size, except a third of it
// (integer division) for kind 4. An invalid QSize when the page gives no picture.
QSize pageImageSize(const job::PageData& page);

// The diameter in image pixels of the smallest dot embossImage() draws in this look: a level 1 dot
// in high contrast, any dot in grey levels.
double smallestDotDiameter(const job::PageData& page, EmbossLook look);

// Fill colour of an emboss dot of this cell value (grey levels for 1 to 7, blue for 15), or none
// when the value is not drawn (0, 8 to 14, above 15).
std::optional<QColor> embossDotColour(unsigned value);

} // namespace brelmont::viewer

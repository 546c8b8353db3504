// Emboss pictures drawn the straightforward way, one QPainter ellipse per dot: the yardstick the
// stamped drawing of the viewer is timed against.
#pragma once

#include "job/PageData.h"

#include <QImage>

namespace brelmont::bench {

// The picture viewer::embossImage() draws in its usual look (grey levels, blue for 15), within one
// unit per channel.
QImage embossImageReference(const job::PageData& page);

} // namespace brelmont::bench

// The catalogue as the update server sends it: JSON, decoded strictly.
#pragma once

#include "firmware/Catalogue.h"

#include <QByteArray>

#include <optional>

namespace brelmont::firmware {

// None unless the body is an object whose "fw" is an array of entries, each with "version", "url"
// and "ext" texts and whole-number "model" and "size" (and, if present, a "sha256" text of 64
// hexadecimal digits). Other members are ignored.
std::optional<FirmwareCatalogue> decodeCatalogue(const QByteArray& body);

} // namespace brelmont::firmware

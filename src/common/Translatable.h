// Fixed texts that the plain C++ core hands to the windows. The core never translates: the mark
// lets lupdate gather a text into the translation template under the context "Brelmont", and the
// windows translate it when they show it (widgets::translated). brelmont-cli prints it as it is.
#pragma once

#define BRELMONT_TRANSLATABLE(context, text) text

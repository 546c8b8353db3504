// Texts that tell a user what to do when the program finds no embosser or no queue: every window
// that meets such a case says the same, and points at brelmont-cli doctor.
#pragma once

#include <QString>

namespace brelmont::widgets {

// There is no print queue for a Brelmont embosser, and how to add one.
QString noQueueText();
// `text` followed by where to find out what is missing (brelmont-cli doctor).
QString withDoctorHint(const QString& text);

} // namespace brelmont::widgets

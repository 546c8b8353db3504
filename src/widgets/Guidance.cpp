#include "widgets/Guidance.h"

#include <QCoreApplication>

namespace brelmont::widgets {

QString noQueueText() {
    return withDoctorHint(
        QCoreApplication::translate("Guidance",
                                    "There is no print queue for a Brelmont embosser.\n\nAdd one with Embosser ▸ Add Embosser… "
                                    "(or “brelmont-cli setup” in a terminal), then try again."));
}

QString withDoctorHint(const QString& text) {
    return text + QStringLiteral("\n\n") +
           QCoreApplication::translate("Guidance",
                                       "To find out what is missing, run \u201cbrelmont-cli doctor\u201d in a terminal.");
}

} // namespace brelmont::widgets

#include "widgets/Guidance.h"

#include <QCoreApplication>

namespace brelmont::widgets {

QString noQueueText() {
    return withDoctorHint(
        QCoreApplication::translate("Guidance",
                                    "There is no print queue for a Brelmont embosser.\n\nAdd the embosser as a printer in the "
                                    "system's printer settings (or with lpadmin), then try again."));
}

QString withDoctorHint(const QString& text) {
    return text + QStringLiteral("\n\n") +
           QCoreApplication::translate("Guidance",
                                       "To find out what is missing, run \u201cbrelmont-cli doctor\u201d in a terminal.");
}

} // namespace brelmont::widgets

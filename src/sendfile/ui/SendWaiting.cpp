#include "sendfile/ui/SendWaiting.h"

#include "widgets/Logging.h"
#include "widgets/LongWait.h"
#include "widgets/StatusLine.h"

#include <QObject>

namespace brelmont::sendfile {

namespace {

QString sendingText(const std::string& queue) {
    return QObject::tr("Sending to the queue %1\u2026").arg(QString::fromStdString(queue));
}

// Why lpr did not take the file, in words; its own message goes to the alert's Details.
QString notSentWhy(SendOutcome::Status status) {
    switch (status) {
    case SendOutcome::Status::Refused: return QObject::tr("the queue refused it");
    case SendOutcome::Status::TimedOut: return QObject::tr("the printing system did not answer in time");
    case SendOutcome::Status::Cancelled: return QObject::tr("the send was cancelled");
    default: return QObject::tr("the program that hands files to the printing system could not be started");
    }
}

} // namespace

std::optional<SendOutcome> sendWaiting(QWidget* parent, const std::string& path, const std::string& queue) {
    auto stop = std::make_shared<printer::StopSignal>();
    const std::optional<SendOutcome> outcome = widgets::LongWait::run<SendOutcome>(
        parent, sendingText(queue), [path, queue, stop] { return send(path, queue, std::chrono::minutes(2), stop); },
        {[stop] { stop->stop(); }, nullptr});
    if (outcome && !outcome->queued()) {
        qCWarning(lcSendFile, "%s not sent to %s: %s", path.c_str(), queue.c_str(), outcome->detail.c_str());
        const QString text = QObject::tr("The file was not sent to the queue %1: %2.")
                                 .arg(QString::fromStdString(queue), notSentWhy(outcome->status));
        widgets::reportFailure(parent, text, QString::fromStdString(outcome->detail));
    }
    return outcome;
}

std::optional<SendJobResult> sendJobWaiting(QWidget* parent, std::shared_ptr<const job::Document> document,
                                            const std::string& queue) {
    auto stop = std::make_shared<printer::StopSignal>();
    return widgets::LongWait::run<SendJobResult>(parent, sendingText(queue),
                                                 [document, queue, stop] { return sendJob(*document, queue, stop); },
                                                 {[stop] { stop->stop(); }, nullptr});
}

} // namespace brelmont::sendfile

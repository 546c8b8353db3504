#include "firmware/ui/FirmwareUpdateViewController.h"

#include "firmware/net/CatalogueJson.h"
#include "firmware/net/UpdateServer.h"
#include "printer/Printers.h"
#include "widgets/CoreText.h"
#include "widgets/EmbosserChoice.h"
#include "widgets/Guidance.h"
#include "widgets/Logging.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"
#include "widgets/QueueDiscovery.h"
#include "widgets/StatusLine.h"

#include "ui_FirmwareUpdateWindowController.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QEventLoop>

#include <thread>

namespace brelmont::firmware {

namespace {

QString qtext(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

} // namespace

FirmwareUpdateViewController::FirmwareUpdateViewController(QWidget* parent)
    : QDialog(parent),
      ui(new Ui::FirmwareUpdateWindowController),
      m_fetch(new HttpsFetch(this)) {
    ui->setupUi(this);
    m_status = widgets::StatusLine::addTo(this);
    setObjectName(QString::fromLatin1(Identifier));
    setModal(true);
    ui->m_progress->setFormat(tr("%v of %m bytes"));
    ui->m_progress->setRange(0, 0); // busy until something can be measured
    connect(ui->m_buttonUpdate, &QPushButton::clicked, this, &FirmwareUpdateViewController::updateClick);
    connect(ui->m_buttonCancel, &QPushButton::clicked, this, &FirmwareUpdateViewController::dismissClick);
    connect(m_fetch, &HttpsFetch::progress, this, [this](qint64 received, qint64) {
        if (m_downloading) ui->m_progress->setValue(int(std::min<qint64>(received, INT_MAX)));
    });
    // One request at a time: the catalogue first, then the offered file.
    connect(m_fetch, &HttpsFetch::finished, this,
            [this](const QByteArray& body) { m_downloading ? fileArrived(body) : catalogueArrived(body); });
    connect(m_fetch, &HttpsFetch::failed, this,
            [this](const QString& reason) { m_downloading ? fileFailed(reason) : catalogueFailed(reason); });
}

FirmwareUpdateViewController::~FirmwareUpdateViewController() {
    m_fetch->cancel();
    delete ui;
}

// The embosser and its version are had off the window thread; Cancel ends that device work. With
// several embossers attached, the person chooses one, as for the toolbox.
bool FirmwareUpdateViewController::viewDidLoad() {
    setWindowTitle(tr("Update Firmware"));
    printer::SharedStop stop = m_stop;
    const std::optional<printer::Printers> printers = widgets::discoverQueues(parentWidget());
    if (!printers) return false;
    std::vector<printer::PrinterItem> attached;
    for (const printer::PrinterItem& p : printers->items())
        if (p.connected) attached.push_back(p);
    std::optional<std::string> queue;
    if (attached.size() > 1) {
        const std::optional<printer::PrinterItem> picked = widgets::EmbosserChoice::pick(
            attached, tr("Several embossers are attached. Update the firmware of:"), parentWidget());
        if (!picked) return false;
        queue = picked->queue;
    }
    const std::optional<EmbosserCheck> found = widgets::LongWait::run<EmbosserCheck>(
        parentWidget(), tr("Reading the firmware version of the embosser\u2026"),
        [stop, queue] { return checkEmbosser(queue, systemChannels(stop)); }, {[stop] { stop->stop(); }, nullptr});
    if (!found || found->version.cancelled) return false;
    if (!found->embosser) {
        m_update.noDevice();
        showState();
        return true;
    }
    // The catalogue comes while the window is up; its answer fills the information text.
    m_check = *found;
    showState();
    m_fetch->get(catalogueUrl(), MaxCatalogueBytes, CatalogueDeadlineMs);
    return true;
}

void FirmwareUpdateViewController::catalogueArrived(const QByteArray& body) {
    const std::optional<FirmwareCatalogue> catalogue = decodeCatalogue(body);
    m_update.checked(*m_check.embosser, m_check.version, catalogue);
    showState();
    if (!catalogue) ui->m_info->appendPlainText(tr("The update server's catalogue could not be read."));
}

// "No update" would not be the truth when nobody could be asked: the reason follows it.
void FirmwareUpdateViewController::catalogueFailed(const QString& reason) {
    m_update.checked(*m_check.embosser, m_check.version, std::nullopt);
    showState();
    ui->m_info->appendPlainText(tr("The update server could not be asked: %1").arg(reason));
}

int FirmwareUpdateViewController::runModal() {
    if (!viewDidLoad()) return QDialog::Rejected;
    return exec();
}

void FirmwareUpdateViewController::updateClick() {
    switch (m_update.state()) {
    case FirmwareState::Offered: return download();
    case FirmwareState::Received:
    case FirmwareState::NotReady:
    case FirmwareState::SendFailed: return sendFile();
    default: return;
    }
}

// Cancel stops a download (the offer stays); during a send the window stays until the transport
// has ended, since a half-sent firmware file must not be taken for nothing.
void FirmwareUpdateViewController::dismissClick() {
    if (m_update.state() == FirmwareState::Sending) return QApplication::beep();
    if (m_downloading) {
        m_fetch->cancel();
        m_downloading = false;
        showState();
        return;
    }
    m_fetch->cancel();
    QDialog::reject();
}

void FirmwareUpdateViewController::download() {
    m_downloading = true;
    showState();
    ui->m_progress->setRange(0, int(std::min<int64_t>(m_update.entry()->size, INT_MAX)));
    ui->m_progress->setValue(0);
    m_fetch->get(QUrl(QString::fromStdString(m_update.entry()->url)), m_update.entry()->size, FirmwareDeadlineMs);
}

void FirmwareUpdateViewController::fileArrived(const QByteArray& body) {
    m_downloading = false;
    const std::string digest = QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex().toStdString();
    const bool received = m_update.received(std::vector<uint8_t>(body.begin(), body.end()), digest);
    if (!received) {
        qCWarning(lcFirmware, "firmware file refused (%lld bytes, sha256 %s)", static_cast<long long>(body.size()),
                  digest.c_str());
        widgets::reportFailure(this, widgets::translated(DownloadRefusedMessage));
    }
    showState();
    if (received) sayState();
}

void FirmwareUpdateViewController::fileFailed(const QString& reason) {
    m_downloading = false;
    qCWarning(lcFirmware, "firmware download failed: %s", qUtf8Printable(reason));
    widgets::reportFailure(this, widgets::translated(DownloadRefusedMessage), reason);
    showState();
}

// Whether the embosser is in update mode shows in its device line now; the transport then runs
// on a worker thread and the window waits for its end.
void FirmwareUpdateViewController::sendFile() {
    printer::SharedStop stop = m_stop;
    const AttachedEmbosser embosser = *m_update.embosser();
    const std::optional<std::string> line = widgets::LongWait::run<std::string>(
        this, tr("Looking for the embosser\u2026"), [stop, embosser] { return deviceLineNow(embosser, stop); },
        {[stop] { stop->stop(); }, nullptr});
    if (!line) return;
    if (const std::string_view alert = m_update.startSending(*line); !alert.empty()) {
        widgets::reportFailure(this, widgets::translated(alert));
        return showState();
    }
    if (m_update.state() != FirmwareState::Sending) return; // this family has no transport
    showState();
    AttachedEmbosser target = *m_update.embosser();
    target.deviceLine = *line;
    printer::ExchangeOutcome outcome;
    QEventLoop wait;
    std::thread sender([&] {
        outcome = sendFirmware(m_update.firmware(), m_update.plan(), target, stop);
        QMetaObject::invokeMethod(&wait, "quit", Qt::QueuedConnection);
    });
    wait.exec();
    sender.join();
    m_update.sendFinished(outcome);
    if (!outcome.ok()) {
        qCWarning(lcFirmware, "firmware not sent: %s", outcome.describe().c_str());
        widgets::reportFailure(this, tr("The firmware file was not sent: %1.").arg(qtext(outcome.summary())),
                               qtext(outcome.reason));
    }
    showState();
    if (outcome.ok()) sayState();
}

// What the window now says about the update, in the status line: the outcome of a download or a
// send that went well.
void FirmwareUpdateViewController::sayState() { m_status->say(ui->m_info->toPlainText().simplified()); }

void FirmwareUpdateViewController::showState() {
    const QString info = widgets::translated(m_update.info());
    // No embosser found: where to find out why.
    ui->m_info->setPlainText(m_update.state() == FirmwareState::NoDevice ? widgets::withDoctorHint(info) : info);
    const bool sending = m_update.state() == FirmwareState::Sending;
    ui->m_buttonUpdate->setText(qtext(m_update.updateTitle()));
    ui->m_buttonUpdate->setEnabled(m_update.updateEnabled() && !m_downloading);
    // Cancel stops a download; with nothing running the button closes the window, and says so.
    ui->m_buttonCancel->setText(m_downloading ? tr("Cancel") : tr("Close"));
    ui->m_buttonCancel->setEnabled(!sending);
    const bool busy = m_downloading || sending;
    if (!m_downloading) ui->m_progress->setRange(0, sending ? 0 : 1);
    if (!busy) ui->m_progress->setValue(m_update.firmware().empty() ? 0 : 1);
    // The step at work is named above the progress, which shows only while bytes move ("0 of 1
    // bytes" told an idle window nothing).
    const QString step = m_downloading ? tr("Step 2 of 3: downloading the firmware file:")
                         : sending     ? tr("Step 3 of 3: sending the firmware to the embosser:")
                         : m_update.state() == FirmwareState::Checking
                             ? tr("Step 1 of 3: asking the update server for updates\u2026")
                             : QString();
    ui->m_lbProgress->setText(step);
    ui->m_lbProgress->setVisible(!step.isEmpty());
    ui->m_progress->setVisible(busy);
    ui->m_progress->setAccessibleName(step);
    // The outcome is where the reader goes next: the button that goes on, or the text itself.
    if (ui->m_buttonUpdate->isEnabled()) ui->m_buttonUpdate->setFocus();
    else if (!busy) ui->m_info->setFocus();
}

void showFirmwareUpdateWindow(QWidget* parent) {
    FirmwareUpdateViewController window(parent);
    window.runModal();
}

} // namespace brelmont::firmware

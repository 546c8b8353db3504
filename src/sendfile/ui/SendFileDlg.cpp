#include "sendfile/ui/SendFileDlg.h"

#include "printer/ModelTable.h"
#include "sendfile/SendJob.h"
#include "sendfile/ui/QueueCombo.h"
#include "sendfile/ui/SendWaiting.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusLine.h"

#include "ui_SendFileDlg.h"

#include <QFileInfo>

namespace brelmont::sendfile {

using widgets::MessageBox;

SendFileDlg::SendFileDlg(std::shared_ptr<const job::Document> document, std::vector<printer::PrinterItem> printers,
                         QWidget* parent)
    : QDialog(parent),
      ui(new Ui::SendFileDlg),
      m_doc(std::make_shared<job::Document>()),
      m_printers(std::move(printers)) {
    ui->setupUi(this);
    widgets::StatusLine::addTo(this);
    m_comboPrinters = ui->m_comboPrinters;
    connect(ui->m_buttonSend, &QPushButton::clicked, this, &SendFileDlg::clickSend);
    connect(ui->m_buttonCancel, &QPushButton::clicked, this, &SendFileDlg::clickDismiss);
    setRepresentedObject(std::move(document));
    viewDidLoad();
}

SendFileDlg::~SendFileDlg() { delete ui; }

void SendFileDlg::setRepresentedObject(std::shared_ptr<const job::Document> document) {
    m_doc = document ? std::move(document) : std::make_shared<job::Document>();
    const QString name = QFileInfo(QString::fromStdString(m_doc->m_fileURL.string())).fileName();
    ui->m_lbJob->setText(name.isEmpty() ? tr("Sends the job unchanged to an embosser queue.")
                                        : tr("Sends the job \u201c%1\u201d unchanged to an embosser queue.").arg(name));
}

void SendFileDlg::viewDidLoad() {
    fillQueueCombo(m_comboPrinters, sendJobListing(m_printers, m_doc->m_printerType));
    // Send waits for a queue to be chosen when none is of the job's model.
    const auto chosen = [this] { ui->m_buttonSend->setEnabled(m_comboPrinters->currentIndex() >= 0); };
    connect(m_comboPrinters, &QComboBox::currentIndexChanged, this, chosen);
    chosen();
}

bool SendFileDlg::clickSend() {
    if (!hasPages(*m_doc)) {
        widgets::reportFailure(this,
                               tr("The job could not be sent (%1).").arg(QString::fromStdString(noPagesError().describe())));
        return false;
    }
    const std::optional<std::string> queue = queueAt(m_printers, m_comboPrinters->currentIndex());
    if (!queue) return false;
    if (!modelAgreed(m_printers[size_t(m_comboPrinters->currentIndex())])) return false;
    const std::optional<SendJobResult> result = sendJobWaiting(this, m_doc, *queue);
    if (!result) return false; // cancelled: the sheet stays
    const QString detail = QString::fromStdString(result->detail);
    if (result->status == SendJobStatus::WriteFailed)
        widgets::reportFailure(this, tr("The job could not be written for sending, so nothing was sent."), detail);
    else if (result->status == SendJobStatus::SendFailed)
        widgets::reportFailure(this, tr("The job was not sent to the queue %1.").arg(QString::fromStdString(*queue)), detail);
    if (result->status != SendJobStatus::Sent) return false;
    accept();
    return true;
}

// A job made for one model may emboss wrongly on another: the person says so first.
bool SendFileDlg::modelAgreed(const printer::PrinterItem& target) const {
    if (m_doc->m_printerType == 0 || target.model == m_doc->m_printerType) return true;
    const auto nameOf = [](int64_t code) {
        const std::optional<std::string> name = printer::modelName(code);
        return name ? QString::fromStdString(*name) : tr("another model");
    };
    const QString queue = QString::fromStdString(target.name.empty() ? target.makeAndModel : target.name);
    return MessageBox::confirm(tr("This job was made for the %1, but the queue %2 is for the %3, which may emboss it "
                                  "wrongly. Send it anyway?")
                                   .arg(nameOf(m_doc->m_printerType), queue, nameOf(target.model)),
                               tr("Send Anyway"));
}

void SendFileDlg::clickDismiss() { reject(); }

} // namespace brelmont::sendfile

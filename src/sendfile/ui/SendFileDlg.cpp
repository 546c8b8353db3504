#include "sendfile/ui/SendFileDlg.h"

#include "sendfile/SendJob.h"
#include "sendfile/ui/QueueCombo.h"
#include "widgets/MessageBox.h"

#include "ui_SendFileDlg.h"

#include <QFileInfo>

namespace brelmont::sendfile {

using widgets::MessageBox;

SendFileDlg::SendFileDlg(std::shared_ptr<const job::Document> document, QueueChoices printers, QWidget* parent)
    : QDialog(parent), ui(new Ui::SendFileDlg), m_doc(std::make_shared<job::Document>()), m_printers(std::move(printers)) {
    ui->setupUi(this);
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
    ui->m_lbJob->setText(name.isEmpty() ? QStringLiteral("Sends the job unchanged to an embosser queue.")
                                        : QStringLiteral("Sends the job “%1” unchanged to an embosser queue.").arg(name));
}

void SendFileDlg::viewDidLoad() { fillQueueCombo(m_comboPrinters, sendJobListing(m_printers, m_doc->m_printerType)); }

bool SendFileDlg::clickSend() {
    if (!hasPages(*m_doc)) {
        MessageBox::show(QStringLiteral("The job could not be sent (%1).").arg(QString::fromStdString(noPagesError().describe())));
        return false;
    }
    const std::optional<std::string> queue = m_printers.queueAt(m_comboPrinters->currentIndex());
    if (!queue) return false;
    const SendJobResult result = sendJob(*m_doc, *queue);
    const QString detail = QString::fromStdString(result.detail);
    if (result.status == SendJobStatus::WriteFailed)
        MessageBox::show(QStringLiteral("The job could not be written for sending, so nothing was sent: %1").arg(detail));
    else if (result.status == SendJobStatus::LaunchFailed)
        MessageBox::show(QStringLiteral("The job could not be sent: %1").arg(detail));
    accept();
    return result.status == SendJobStatus::Sent;
}

void SendFileDlg::clickDismiss() { reject(); }

} // namespace brelmont::sendfile

#include "sendfile/ui/TestPageDlg.h"

#include "printer/ModelTable.h"
#include "sendfile/TestPage.h"
#include "sendfile/ui/QueueCombo.h"
#include "widgets/Logging.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusLine.h"

#include "ui_TestPageDlg.h"

namespace brelmont::sendfile {

using widgets::MessageBox;

TestPageDlg::TestPageDlg(std::vector<printer::PrinterItem> printers, QWidget* parent)
    : QDialog(parent),
      ui(new Ui::TestPageDlg),
      m_printers(std::move(printers)) {
    ui->setupUi(this);
    widgets::StatusLine::addTo(this);
    m_comboPrinters = ui->m_comboPrinters;
    fillQueueCombo(m_comboPrinters, sendFileListing(m_printers));
    connect(ui->m_buttonPrint, &QPushButton::clicked, this, &TestPageDlg::printClick);
    connect(ui->m_buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TestPageDlg::~TestPageDlg() { delete ui; }

bool TestPageDlg::printClick() {
    const int index = m_comboPrinters->currentIndex();
    if (index < 0 || size_t(index) >= m_printers.size()) return false;
    const printer::PrinterItem queue = m_printers[size_t(index)];
    // The name the person knows the queue by, as the list shows it.
    const QString name = QString::fromStdString(!queue.name.empty()           ? queue.name
                                                : !queue.makeAndModel.empty() ? queue.makeAndModel
                                                                              : queue.queue);
    auto stop = std::make_shared<printer::StopSignal>();
    const std::optional<TestPageOutcome> outcome = widgets::LongWait::run<TestPageOutcome>(
        this, tr("Printing the test page on %1\u2026").arg(name), [queue, stop] { return printTestPage(queue, stop); },
        {[stop] { stop->stop(); }, nullptr});
    if (!outcome) return false; // cancelled: the window stays
    if (!outcome->sent.queued()) {
        qCWarning(lcSendFile, "test page for %s not sent: %s", queue.queue.c_str(), outcome->sent.detail.c_str());
        widgets::reportFailure(this, tr("The test page was not printed on %1.").arg(name),
                               QString::fromStdString(outcome->sent.detail));
        return false;
    }
    qCInfo(lcSendFile, "test page for %s sent in %s spacing", queue.queue.c_str(), outcome->spacing.c_str());
    MessageBox::inform(
        tr("The test page went to the queue %1 (%2 braille spacing).").arg(name, QString::fromStdString(outcome->spacing)));
    accept();
    return true;
}

TestPageDlg* showTestPageWindow(QWidget* parent) {
    std::optional<std::vector<printer::PrinterItem>> printers = offerableQueues(parent);
    if (!printers) return nullptr;
    auto* window = new TestPageDlg(std::move(*printers), parent);
    showApplicationModal(window);
    return window;
}

} // namespace brelmont::sendfile

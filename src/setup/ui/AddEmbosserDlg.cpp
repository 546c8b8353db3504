#include "setup/ui/AddEmbosserDlg.h"

#include "printer/DeviceUri.h"
#include "setup/AddQueue.h"
#include "setup/Search.h"
#include "setup/TypedAddress.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"

#include "ui_AddEmbosserDlg.h"

#include <QKeyEvent>
#include <QLoggingCategory>
#include <QTimer>

namespace brelmont::setup::ui {

namespace {

Q_LOGGING_CATEGORY(lcSetup, "brelmont.setup", QtWarningMsg)

struct Made {
    AddOutcome outcome;
    std::optional<std::vector<ExistingQueue>> queues; // as they are afterwards
};

QString text(const std::string& s) { return QString::fromStdString(s); }

QString joined(const std::vector<Note>& notes) {
    QStringList lines;
    for (const Note& note : notes) lines << text(note.text);
    return lines.join(QLatin1Char('\n'));
}

QString sourceText(Source source) {
    switch (source) {
    case Source::Usb: return AddEmbosserDlg::tr("USB");
    case Source::Typed: return AddEmbosserDlg::tr("typed address");
    case Source::Configured: return AddEmbosserDlg::tr("configured address");
    case Source::DnsSd: return AddEmbosserDlg::tr("announced on the network");
    }
    return {};
}

// What a search brings back to the window thread.
struct Look {
    bool queuesRead = false;
    std::vector<ExistingQueue> queues;
    std::string queueError;
    SearchResult search;
};

// The queues there are, then the devices: run off the window thread.
Look lookAround(const SearchRequest& request, const printer::SharedStop& stop) {
    Look found;
    std::optional<std::vector<ExistingQueue>> queues = currentQueues(&found.queueError, stop);
    if (!queues) return found;
    found.queuesRead = true;
    found.queues = std::move(*queues);
    found.search = lookForDevices(request, stop);
    return found;
}

} // namespace

AddEmbosserDlg::AddEmbosserDlg(QWidget* parent) : QDialog(parent), ui(new Ui::AddEmbosserDlg) {
    ui->setupUi(this);
    m_listEmbossers = ui->m_listEmbossers;
    m_tfAddress = ui->m_tfAddress;
    // A list view takes no name from its buddy label (the label gives it only the mnemonic).
    m_listEmbossers->setAccessibleName(ui->m_lbEmbossers->text().remove(QLatin1Char('&')));
    connect(ui->m_buttonAddAddress, &QPushButton::clicked, this, &AddEmbosserDlg::addAddressClick);
    connect(ui->m_buttonAddQueue, &QPushButton::clicked, this, &AddEmbosserDlg::addQueueClick);
    connect(ui->m_buttonSearch, &QPushButton::clicked, this, &AddEmbosserDlg::search);
    connect(ui->m_buttonClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_listEmbossers, &QListWidget::currentRowChanged, this,
            [this](int row) { ui->m_buttonAddQueue->setEnabled(row >= 0); });
    ui->m_buttonAddQueue->setEnabled(false);
}

AddEmbosserDlg::~AddEmbosserDlg() { delete ui; }

QString AddEmbosserDlg::status() const { return ui->m_lbStatus->text(); }

// Enter in the address field adds the address, not a queue.
void AddEmbosserDlg::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_tfAddress->hasFocus()) {
        addAddressClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AddEmbosserDlg::showOutcome(const QString& outcome, bool alert) {
    ui->m_lbStatus->setText(outcome);
    if (alert) widgets::MessageBox::show(outcome);
}

std::optional<SearchResult> AddEmbosserDlg::look(const SearchRequest& request, const QString& what) {
    auto stop = std::make_shared<printer::StopSignal>();
    std::optional<Look> got = widgets::LongWait::run<Look>(this, what, [request, stop] { return lookAround(request, stop); },
                                                           {[stop] { stop->stop(); }, nullptr});
    if (!got) return std::nullopt;
    m_queuesRead = got->queuesRead;
    if (got->queuesRead) {
        m_queues = std::move(got->queues);
        return std::move(got->search);
    }
    // Without the queues no name can be checked: nothing is offered.
    m_found.clear();
    m_searchNotes.clear();
    refill();
    const QString why = got->queueError.empty() ? tr("the search failed") : text(got->queueError);
    qCWarning(lcSetup, "%s", qPrintable(why));
    showOutcome(tr("No queue can be added: %1").arg(why), true);
    return std::nullopt;
}

bool AddEmbosserDlg::search() {
    std::optional<SearchResult> found = look({m_typed, true, m_dnsSdTime}, tr("Looking for embossers\u2026"));
    if (!found) return false;
    m_found = std::move(found->found);
    m_searchNotes = std::move(found->notes);
    refill();
    return true;
}

void AddEmbosserDlg::refill() {
    const int row = m_listEmbossers->currentRow();
    m_discovery = candidatesFrom(m_found, m_queues);
    m_listEmbossers->clear();
    for (const Candidate& c : m_discovery.candidates)
        m_listEmbossers->addItem(
            tr("%1 at %2 (%3), new queue %4")
                .arg(text(std::string(c.profile->makeAndModel)), text(c.uri), sourceText(c.source), text(c.queueName)));
    if (m_listEmbossers->count() > 0) m_listEmbossers->setCurrentRow(std::clamp(row, 0, m_listEmbossers->count() - 1));
    ui->m_buttonAddQueue->setEnabled(m_listEmbossers->currentRow() >= 0);

    std::vector<Note> notes = m_searchNotes;
    notes.insert(notes.end(), m_discovery.notes.begin(), m_discovery.notes.end());
    const QString found = m_discovery.candidates.empty()
                              ? tr("No Brelmont embosser without a queue was found.")
                              : tr("%n embosser(s) without a queue found.", nullptr, int(m_discovery.candidates.size()));
    ui->m_lbStatus->setText(notes.empty() ? found : found + QLatin1Char('\n') + joined(notes));
}

bool AddEmbosserDlg::addAddressClick() {
    const TypedAddress typed = parseTypedAddress(m_tfAddress->text().toStdString());
    if (!typed.ok()) {
        showOutcome(tr("That is not the address of a network embosser: %1").arg(text(typed.error)), true);
        return false;
    }
    const std::optional<SearchResult> result =
        look({{typed.uri}, false, std::chrono::milliseconds(0)}, tr("Asking %1\u2026").arg(text(typed.uri)));
    if (!result) return false;

    // The typed address replaces whatever the list had for that device.
    for (const FoundDevice& device : result->found) {
        std::erase_if(m_found, [&](const FoundDevice& known) { return printer::sameDevice(known.uri, device.uri); });
        m_found.push_back(device);
    }
    refill();

    const Discovery alone = candidatesFrom(result->found, m_queues);
    if (alone.candidates.empty()) {
        // No embosser of ours there, or it has a queue already: said, and the field kept for a correction.
        showOutcome(alone.notes.empty() ? tr("No embosser was added to the list.") : joined(alone.notes), true);
        return false;
    }
    // Asked again at every search from now on.
    if (std::none_of(m_typed.begin(), m_typed.end(), [&](const std::string& t) { return printer::sameDevice(t, typed.uri); }))
        m_typed.push_back(typed.uri);
    for (int i = 0; i < int(m_discovery.candidates.size()); ++i)
        if (printer::sameDevice(m_discovery.candidates[size_t(i)].uri, typed.uri)) m_listEmbossers->setCurrentRow(i);
    m_tfAddress->clear();
    showOutcome(tr("The %1 at %2 was added to the list.")
                    .arg(text(std::string(alone.candidates.front().profile->makeAndModel)), text(typed.uri)),
                false);
    m_listEmbossers->setFocus();
    return true;
}

bool AddEmbosserDlg::addQueueClick() {
    const int row = m_listEmbossers->currentRow();
    if (!m_queuesRead || row < 0 || size_t(row) >= m_discovery.candidates.size()) {
        showOutcome(tr("Choose an embosser in the list first."), false);
        return false;
    }
    const Candidate candidate = m_discovery.candidates[size_t(row)];
    auto stop = std::make_shared<printer::StopSignal>();
    const std::optional<Made> made =
        widgets::LongWait::run<Made>(this, tr("Adding the queue %1\u2026").arg(text(candidate.queueName)),
                                     [candidate, stop] {
                                         Made result{addQueue(candidate, stop), std::nullopt};
                                         if (result.outcome.added()) result.queues = currentQueues(nullptr, stop);
                                         return result;
                                     },
                                     {[stop] { stop->stop(); }, nullptr});
    if (!made) {
        // Cancelled: lpadmin may have been stopped before or after the printing system took it.
        showOutcome(
            tr("Cancelled. The queue %1 may or may not have been made; search again to see.").arg(text(candidate.queueName)),
            true);
        return false;
    }
    const AddOutcome& outcome = made->outcome;
    if (outcome.added()) {
        qCInfo(lcSetup, "queue %s made for %s", outcome.queue.c_str(), candidate.uri.c_str());
        if (made->queues) m_queues = *made->queues;
        else m_queues.push_back({outcome.queue, candidate.uri});
        refill();
    } else {
        qCWarning(lcSetup, "queue %s not made: %s", candidate.queueName.c_str(), outcome.message.c_str());
    }
    showOutcome(text(outcome.message), true);
    return outcome.added();
}

AddEmbosserDlg* showAddEmbosserWindow(QWidget* parent) {
    auto* window = new AddEmbosserDlg(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    QTimer::singleShot(0, window, &AddEmbosserDlg::search);
    return window;
}

} // namespace brelmont::setup::ui

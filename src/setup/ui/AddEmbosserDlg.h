// The Add Embosser window (Embosser ▸ Add Embosser…): the embossers found without a queue, a
// field for the address of a network embosser, and Add Queue, which makes the queue with lpadmin.
// The searches and lpadmin run off the window thread; every outcome is shown in the status line
// and in an alert.
#pragma once

#include "setup/Candidates.h"
#include "setup/Search.h"

#include <QDialog>

#include <chrono>
#include <optional>
#include <vector>

class QLineEdit;
class QListWidget;
class QLabel;

namespace Ui {
class AddEmbosserDlg;
}

namespace brelmont::setup::ui {

class AddEmbosserDlg : public QDialog {
    Q_OBJECT

public:
    explicit AddEmbosserDlg(QWidget* parent = nullptr);
    ~AddEmbosserDlg() override;

    // Looks for embossers again (the queues, the device listing, DNS-SD and the addresses typed so
    // far) and fills the list. False when cancelled.
    bool search();
    // Asks the typed address for its device ID and adds it to the list; the field is kept when the
    // address is refused or no embosser of ours answers there. True when it was added to the list.
    bool addAddressClick();
    // Makes the queue for the chosen embosser. True when it was made.
    bool addQueueClick();

    const std::vector<Candidate>& candidates() const { return m_discovery.candidates; }
    // The status line's text.
    QString status() const;

    // How long a search looks for DNS-SD announcements (tests shorten it).
    std::chrono::milliseconds m_dnsSdTime{2000};

    QListWidget* m_listEmbossers = nullptr;
    QLineEdit* m_tfAddress = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Reads the queues (kept) and runs the search off the window thread; none when cancelled or
    // when the queues could not be read (which is then shown, and the list emptied).
    std::optional<SearchResult> look(const SearchRequest& request, const QString& what);
    void refill();
    void showOutcome(const QString& text, bool alert);

    Ui::AddEmbosserDlg* const ui;
    bool m_queuesRead = false;
    std::vector<ExistingQueue> m_queues;
    std::vector<FoundDevice> m_found;
    std::vector<std::string> m_typed;
    std::vector<Note> m_searchNotes;
    Discovery m_discovery;
};

// The menu command: the window, modal for the whole application and deleted when closed; the
// search starts as soon as it shows.
AddEmbosserDlg* showAddEmbosserWindow(QWidget* parent);

} // namespace brelmont::setup::ui

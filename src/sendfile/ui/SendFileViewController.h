// The send-file window ("sendFileWindowController"): any file the user picks or names, sent
// unchanged to a chosen embosser queue.
#pragma once

#include "sendfile/QueueList.h"

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

class QComboBox;
class QLineEdit;

namespace Ui {
class SendFileWindowController;
}

namespace brelmont::widgets {
class StatusLine;
}

namespace brelmont::sendfile {

class SendFileViewController : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* Identifier = "sendFileWindowController";

    explicit SendFileViewController(std::vector<printer::PrinterItem> printers, QWidget* parent = nullptr);
    ~SendFileViewController() override;

    // Fills the queue list.
    void viewDidLoad();
    // Asks for a file; a confirmed one becomes the file to send and its name is shown.
    void browseClick();
    // Sends the file and closes the window; false (the window stays open) when there is no queue
    // selected, no file, or the command could not be started.
    bool sendClick();
    void dismissClick();

    // The file to send; a folder URL until a file is browsed or named.
    const QUrl& fileUrl() const { return m_fileurl; }

    QLineEdit* m_fileName = nullptr;
    QComboBox* m_comboPrinters = nullptr;

    // The open panel; tests put answers here. An empty answer is a cancel.
    std::function<QString(QWidget*)> m_askFile;

private:
    Ui::SendFileWindowController* const ui;
    widgets::StatusLine* m_status; // what is not sent, and why
    std::vector<printer::PrinterItem> m_printers;
    QUrl m_fileurl;
};

} // namespace brelmont::sendfile

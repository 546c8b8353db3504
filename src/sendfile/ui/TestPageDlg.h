// The test page window (Embosser ▸ Print Test Page…): a queue to choose, and Print, which makes the
// page for the queue's model and braille spacing and sends it raw; the outcome is shown.
#pragma once

#include "printer/Printers.h"

#include <QDialog>

#include <vector>

class QComboBox;

namespace Ui {
class TestPageDlg;
}

namespace brelmont::sendfile {

class TestPageDlg : public QDialog {
    Q_OBJECT

public:
    explicit TestPageDlg(std::vector<printer::PrinterItem> printers, QWidget* parent = nullptr);
    ~TestPageDlg() override;

    // Prints on the chosen queue, waiting off the window thread (Cancel stops lpr). The window
    // closes when the queue took the page and stays, the failure shown, when it did not. True when
    // the queue took it.
    bool printClick();

    QComboBox* m_comboPrinters = nullptr;

private:
    Ui::TestPageDlg* const ui;
    std::vector<printer::PrinterItem> m_printers;
};

// The menu command: the window, modal for the whole application and deleted when closed, over the
// queue list read now; with no queue, a message saying how to add one instead.
TestPageDlg* showTestPageWindow(QWidget* parent);

} // namespace brelmont::sendfile

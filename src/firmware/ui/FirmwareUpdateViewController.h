// The firmware update window ("firmwareUpdateWindowController"): checks for newer firmware for the
// attached embosser when it opens, then downloads the offered file and sends it. The steps and
// their texts are the core's FirmwareUpdate; this window runs the device work off the window thread
// and the downloads with a progress bar, and shows every outcome.
#pragma once

#include "firmware/FirmwareUpdate.h"
#include "printer/StopSignal.h"

#include <QDialog>

#include <memory>

namespace Ui {
class FirmwareUpdateWindowController;
}

namespace brelmont::widgets {
class StatusLine;
}

namespace brelmont::firmware {

class HttpsFetch;

class FirmwareUpdateViewController : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* Identifier = "firmwareUpdateWindowController";

    explicit FirmwareUpdateViewController(QWidget* parent = nullptr);
    ~FirmwareUpdateViewController() override;

    // Finds the embosser and reads its version (with a progress dialog and Cancel), then fetches
    // the catalogue. False when the user cancelled the wait: the window is then not shown.
    bool viewDidLoad();
    // viewDidLoad, then the window modally.
    int runModal();

    const FirmwareUpdate& update() const { return m_update; }

public slots:
    void updateClick();
    void dismissClick();
    void reject() override { dismissClick(); }

private:
    void catalogueArrived(const QByteArray& body);
    void catalogueFailed(const QString& reason);
    void fileArrived(const QByteArray& body);
    void fileFailed(const QString& reason);
    void download();
    void sendFile();
    void showState();
    void sayState();

    Ui::FirmwareUpdateWindowController* const ui;
    FirmwareUpdate m_update;
    EmbosserCheck m_check;
    HttpsFetch* m_fetch;
    widgets::StatusLine* m_status = nullptr; // every outcome, in words
    bool m_downloading = false;
    printer::SharedStop m_stop = std::make_shared<printer::StopSignal>();
};

// Embosser ▸ Firmware Update…
void showFirmwareUpdateWindow(QWidget* parent);

} // namespace brelmont::firmware

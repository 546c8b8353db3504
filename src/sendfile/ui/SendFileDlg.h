// The send-job sheet: the raw job of the document shown in a viewer window, sent unchanged to a
// chosen embosser queue. Modal over its viewer window only.
#pragma once

#include "job/Document.h"
#include "sendfile/QueueList.h"

#include <QDialog>

#include <memory>

class QComboBox;

namespace Ui {
class SendFileDlg;
}

namespace brelmont::sendfile {

class SendFileDlg : public QDialog {
    Q_OBJECT

public:
    // `document` may be null (a window without a document): the sheet then holds an empty one.
    SendFileDlg(std::shared_ptr<const job::Document> document, std::vector<printer::PrinterItem> printers,
                QWidget* parent = nullptr);
    ~SendFileDlg() override;

    // The job to send; null stands for an empty document.
    void setRepresentedObject(std::shared_ptr<const job::Document> document);
    const std::shared_ptr<const job::Document>& document() const { return m_doc; }

    // Fills the queue list, preselecting a queue of the job's model.
    void viewDidLoad();
    // A job without pages: an error alert, and the sheet stays open. No queue selected: nothing
    // happens. Otherwise the job is sent (a failure is shown) and the sheet closes. True when sent.
    bool clickSend();
    void clickDismiss();

    QComboBox* m_comboPrinters = nullptr;

private:
    // Whether the job may go to `target`: at once when it is of the job's model, else when the
    // person agrees.
    bool modelAgreed(const printer::PrinterItem& target) const;

    Ui::SendFileDlg* const ui;
    std::shared_ptr<const job::Document> m_doc;
    std::vector<printer::PrinterItem> m_printers;
};

} // namespace brelmont::sendfile

#include "sendfile/ui/SendWindows.h"

#include "sendfile/ui/QueueCombo.h"
#include "sendfile/ui/SendFileDlg.h"
#include "sendfile/ui/SendFileViewController.h"

namespace brelmont::sendfile {

SendFileViewController* showSendFileWindow(QWidget* parent) {
    std::optional<std::vector<printer::PrinterItem>> printers = offerableQueues(parent);
    if (!printers) return nullptr;
    auto* window = new SendFileViewController(std::move(*printers), parent);
    showApplicationModal(window);
    return window;
}

SendFileDlg* presentSendFileDlg(QWidget* window, std::shared_ptr<const job::Document> document) {
    std::optional<std::vector<printer::PrinterItem>> printers = offerableQueues(window);
    return printers ? presentSendFileDlg(window, std::move(document), std::move(*printers)) : nullptr;
}

SendFileDlg* presentSendFileDlg(QWidget* window, std::shared_ptr<const job::Document> document,
                                std::vector<printer::PrinterItem> printers) {
    if (!offerableOrSaidSo(printers)) return nullptr;
    auto* sheet = new SendFileDlg(std::move(document), std::move(printers), window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
    return sheet;
}

} // namespace brelmont::sendfile

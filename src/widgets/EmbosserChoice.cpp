#include "widgets/EmbosserChoice.h"

#include "printer/ModelTable.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace brelmont::widgets {

std::string embosserLine(const printer::PrinterItem& queue) {
    const std::string name = queue.name.empty() ? queue.queue : queue.name;
    const std::string model = printer::modelName(queue.model).value_or(queue.makeAndModel);
    return model.empty() ? name : name + " (" + model + ")";
}

// The list has the focus with its first line chosen, so arrows and Enter are enough.
EmbosserChoice::EmbosserChoice(const std::vector<printer::PrinterItem>& queues, const QString& prompt, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("embosserChoice"));
    setWindowTitle(tr(Title));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setWordWrap(true);
    auto* caption = new QLabel(tr("&Attached embossers:"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("m_lbEmbossers"));
    caption->setBuddy(m_list); // the mnemonic; a list view takes no name from its buddy, so it gets one
    m_list->setAccessibleName(tr("Attached embossers:"));
    for (const printer::PrinterItem& queue : queues) m_list->addItem(QString::fromStdString(embosserLine(queue)));
    m_list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Open)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(caption);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    m_list->setFocus();
}

std::optional<printer::PrinterItem> EmbosserChoice::pick(const std::vector<printer::PrinterItem>& queues, const QString& prompt,
                                                         QWidget* parent) {
    EmbosserChoice choice(queues, prompt, parent);
    if (choice.exec() != QDialog::Accepted) return std::nullopt;
    const int row = choice.m_list->currentRow();
    if (row < 0 || size_t(row) >= queues.size()) return std::nullopt;
    return queues[size_t(row)];
}

} // namespace brelmont::widgets

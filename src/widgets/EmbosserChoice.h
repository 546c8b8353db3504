// The choice among several attached embossers: one line per queue, its name and its model.
#pragma once

#include "printer/Printers.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace brelmont::widgets {

// "Orvin in the lab (Orvin)": the queue's name, or its CUPS name, and the model the user owns.
std::string embosserLine(const printer::PrinterItem& queue);

class EmbosserChoice : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* Title = "Choose an Embosser";

    // `prompt` says what the choice is for ("Several embossers are attached. Open the toolbox of:").
    EmbosserChoice(const std::vector<printer::PrinterItem>& queues, const QString& prompt, QWidget* parent = nullptr);

    // Shows the list modally; the queue picked, none when the user cancelled.
    static std::optional<printer::PrinterItem> pick(const std::vector<printer::PrinterItem>& queues, const QString& prompt,
                                                    QWidget* parent);

private:
    QListWidget* m_list = nullptr;
};

} // namespace brelmont::widgets

// What the send-window tests share: alerts recorded instead of shown, queue lists, and keyboard
// helpers.
#pragma once

#include "sendfile/QueueList.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <QList>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace sendtest {

// Records the alerts instead of running them modally.
struct Alerts {
    Alerts() {
        brelmont::widgets::MessageBox::setPresenter([this](const QString& text) { texts << text; });
    }
    ~Alerts() {
        QCoreApplication::processEvents();
        brelmont::widgets::MessageBox::setPresenter({});
    }
    QStringList take() {
        QCoreApplication::processEvents();
        QStringList t = texts;
        texts.clear();
        return t;
    }
    QStringList texts;
};

// Queues "q0", "q1", ... with these display names, make-and-model texts and model codes.
using Queues = std::vector<brelmont::printer::PrinterItem>;
inline Queues queues(std::vector<std::string> names, std::vector<std::string> makeAndModel, std::vector<int64_t> models) {
    Queues items;
    for (size_t i = 0; i < names.size(); ++i)
        items.push_back({"", "q" + std::to_string(i), names[i], models[i], false, makeAndModel[i]});
    return items;
}

// What a screen reader is told labels the widget (a combo box's own name is its current entry).
inline QString labelledBy(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    const auto labels = iface ? iface->relations(QAccessible::Label) : decltype(iface->relations())();
    return labels.size() == 1 ? labels.first().first->text(QAccessible::Name) : QString();
}

// The widgets that Tab visits, starting at `first`, once round the window.
inline QList<QWidget*> tabCycle(QWidget* first) {
    QList<QWidget*> visited{first};
    for (QWidget* next = first->nextInFocusChain(); next != first; next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(first->window())) visited << next;
    return visited;
}

// Enter as a keyboard user presses it on a button that has the focus.
inline void pressEnterOn(QWidget* button) {
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
}

} // namespace sendtest

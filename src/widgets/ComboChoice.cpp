#include "widgets/ComboChoice.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace brelmont::widgets {

ComboChoice::ComboChoice(QComboBox* combo, std::function<void(int)> chosen)
    : QObject(combo),
      m_combo(combo),
      m_chosen(std::move(chosen)),
      m_inEffect(combo->currentIndex()) {
    combo->installEventFilter(this);
    // The popup's frame hides when an item is picked with the mouse or Enter, or the popup is left.
    combo->view()->window()->installEventFilter(this);
}

void ComboChoice::settle() { m_inEffect = m_combo->currentIndex(); }

bool ComboChoice::choose() {
    const int index = m_combo->currentIndex();
    if (index == m_inEffect) return false;
    m_inEffect = index;
    m_chosen(index);
    settle();
    return true;
}

bool ComboChoice::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_combo) {
        // The popup's selection lands in the box just after the frame hides.
        if (event->type() == QEvent::Hide) QTimer::singleShot(0, this, [this] { choose(); });
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter that makes a choice is taken; Enter on the choice in effect goes on to the window.
        return (key == Qt::Key_Return || key == Qt::Key_Enter) && choose();
    }
    case QEvent::FocusOut:
        // Leaving the box (Tab, a click elsewhere) commits what it shows: going back quietly would
        // lose a choice the person saw made.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) choose();
        return false;
    default: return false;
    }
}

} // namespace brelmont::widgets

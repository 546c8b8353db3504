// A combo box whose choice takes effect when the user makes it: an item picked in the popup
// (click or Enter, the popup closing), Enter on the closed box, or leaving the box. Arrow steps on
// the closed box only move through the items, so a keyboard user can listen to them without
// loading each one.
#pragma once

#include <QObject>

#include <functional>

class QComboBox;

namespace brelmont::widgets {

class ComboChoice : public QObject {
    Q_OBJECT

public:
    // `chosen` runs with the new index when a choice differs from the one in effect; it may change
    // the box (remove an item, pick another), whose index is then the one in effect.
    ComboChoice(QComboBox* combo, std::function<void(int index)> chosen);

    // The box's current index is the one in effect (after the window filled or set it).
    void settle();
    int inEffect() const { return m_inEffect; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the choice differed and `chosen` ran.
    bool choose();

    QComboBox* m_combo;
    std::function<void(int)> m_chosen;
    int m_inEffect;
};

} // namespace brelmont::widgets

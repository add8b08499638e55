// Option buttons with the program's selection rule: selecting a button from
// code runs its click handler (the chosen() signal) exactly when it was not
// selected before; selecting a selected one, or clearing one, runs nothing.
// A user click that selects the button runs the handler too.
#pragma once

#include <QRadioButton>

namespace qel {

class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr) : QRadioButton(caption, parent) {}

    // Selects the button as a user click would.
    void select() {
        if (isChecked()) return;
        setChecked(true);
        emit chosen();
    }
    // Clears the button without running anything, even inside its group.
    void clear() {
        if (!isChecked()) return;
        bool exclusive = autoExclusive();
        setAutoExclusive(false);
        setChecked(false);
        setAutoExclusive(exclusive);
    }

signals:
    void chosen();

protected:
    void nextCheckState() override {
        bool was = isChecked();
        QRadioButton::nextCheckState();
        if (!was && isChecked()) emit chosen();
    }
};

}  // namespace qel

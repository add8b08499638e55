#include "settings/settings_widgets.h"

#include <QMouseEvent>

#include "app/number_text.h"

namespace qel {

double Field::value() const { return valueOfText(textUtf8()); }

void Field::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    emit focusLeft(e->reason());
}

void Field::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    emit focusEntered();
}

void ClickableLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        e->accept();
        return;
    }
    QLabel::mousePressEvent(e);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(e);
}

}  // namespace qel

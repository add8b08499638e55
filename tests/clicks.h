// Clicking a control where it reacts, whatever the fonts: a check box or an
// option button toggles only on its indicator and caption, and a layout may
// make the widget wider than they are, so its centre can lie beside them.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace qel {

inline QPoint whereItReacts(QWidget* w) {
    const bool box = qobject_cast<QCheckBox*>(w) != nullptr;
    if (!box && !qobject_cast<QRadioButton*>(w)) return w->rect().center();
    QStyleOptionButton option;
    option.initFrom(w);
    const auto indicator = box ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator;
    return w->style()->subElementRect(indicator, &option, w).center();
}

inline void clickWhereItReacts(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, whereItReacts(w)); }

}  // namespace qel

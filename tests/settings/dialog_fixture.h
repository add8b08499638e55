// A settings dialog on the start state, with the toolkit stand-in recording
// its message boxes, and helpers that work its controls as a user does.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "clicks.h"
#include "app/number_text.h"
#include "platform/qt_option_button.h"
#include "platform/test_platform.h"
#include "render/surface.h"
#include "settings/settings_dialog.h"

namespace qel {

class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        setStartValues(s);
        picture1.resize(1600, 1200);
        gh = std::make_unique<SettingsDialog>(s, platform, picture1);
        gh->fillAtStartUp();
    }

    template <typename W = QWidget>
    W* control(const char* name) {
        W* w = gh->findChild<W*>(name);
        if (!w) ADD_FAILURE() << "no control " << name;
        return w;
    }
    QLineEdit* field(const char* name) { return control<QLineEdit>(name); }
    OptionButton* option(const char* name) { return control<OptionButton>(name); }
    QCheckBox* box(const char* name) { return control<QCheckBox>(name); }
    std::string text(const char* name) { return field(name)->text().toStdString(); }
    std::string tip(const char* name) { return control(name)->toolTip().toStdString(); }

    // Fills the dialog and shows it as the active window, not modal.
    void open() {
        gh->fill();
        gh->show();
        gh->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(gh.get()));
    }
    // Puts the focus into a field and types over its text.
    void type(const char* name, const char* keys) {
        QLineEdit* f = field(name);
        f->setFocus(Qt::TabFocusReason);
        f->selectAll();
        QTest::keyClicks(f, QString::fromUtf8(keys));
    }
    // Puts the focus into a field and pastes a whole new text over it.
    void paste(const char* name, const char* whole) {
        QLineEdit* f = field(name);
        f->setFocus(Qt::TabFocusReason);
        f->setText(QString::fromUtf8(whole));
        f->setModified(true);
    }
    // Leaves the edited field for another one, as a Tab or click does.
    void moveFocusTo(const char* name) { control(name)->setFocus(Qt::TabFocusReason); }
    void click(const char* name) { clickWhereItReacts(control(name)); }

    AppState s;
    TestPlatform platform;
    Surface picture1;
    std::unique_ptr<SettingsDialog> gh;
};

}  // namespace qel

// The whole program in process, driven by real mouse and key events while
// the menu's and the dialog's own event loops run; message boxes and the end
// of the program are recorded, file dialogs answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "window/fm5main.h"
#include "window/main_window.h"
#include "app/program.h"
#include "clicks.h"
#include "finite_state.h"
#include "platform/qt_platform.h"
#include "support/test_platform.h"
#include "settings/settings_dialog.h"

namespace qel {

const std::string kZoomHint8 = "  Clickするとそこを中心に8倍に拡大描画します:";
constexpr Colour kPeriodOne = 16318464;  // lower left, the colours of periods 1 and 2
constexpr Colour kPeriodTwo = 16645376;

class JourneyPlatform : public QtPlatform {
public:
    explicit JourneyPlatform(std::string folder) : folder_(std::move(folder)) {}

    void messageBox(const std::string& text, const std::string& title, int style) override {
        messages.push_back({text, title, style});
    }
    // A drawing shows each row as soon as it is written.
    void pictureChanged() override { if (afterPictureChanged) afterPictureChanged(); QtPlatform::pictureChanged(); }
    void endProgram() override { ++endRequests; }
    std::string showSave(const std::string&, const std::string& offered, const std::string&) override {
        return offered;
    }
    std::string showOpen(const std::string&, const std::string&, const std::string&) override { return openAnswer; }
    std::string programFolder() const override { return folder_; }

    std::vector<ShownMessage> messages;
    int endRequests = 0;
    std::function<void()> afterPictureChanged;
    std::string openAnswer;

private:
    std::string folder_;
};

// Colour number of a pixel of a grabbed widget image.
inline Colour colourOf(const QImage& image, int x, int y) {
    const QRgb c = image.pixel(x, y);
    return qRed(c) + 256 * qGreen(c) + 65536 * qBlue(c);
}

// Its steps are public, so that a journey's parts can be passed around.
class JourneyTest : public ::testing::Test {
public:
    JourneyTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 (std::string("qel-journey-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        platform = std::make_unique<JourneyPlatform>(folder.string());
    }
    ~JourneyTest() override {
        for (QPointer<QTimer>& t : watchers_) delete t.data();
        qel.reset();
        std::filesystem::remove_all(folder);
    }

    // Start-up up to the hidden windows, with the manual beside the program;
    // then the main window with the first drawing.
    void createProgram() {
        std::filesystem::copy_file(QCoreApplication::applicationDirPath().toStdString() + "/readme.txt",
                                   folder / "readme.txt", std::filesystem::copy_options::overwrite_existing);
        qel = std::make_unique<QelProgram>(*platform);
    }
    void start() { createProgram(); qel->showMainWindow(); }

    Program& p() { return qel->program(); }
    AppState& s() { return qel->program().s; }
    SettingsDialog& gh() { return qel->settingsDialog(); }
    PictureWidget* picture() { return qel->mainWindow().picture(); }
    std::string title() { return qel->mainWindow().windowTitle().toStdString(); }
    // The picture as shown, one image pixel per window pixel whatever the
    // display's scaling (a grab has one per device pixel).
    QImage screen() {
        QImage image(picture()->size(), QImage::Format_RGB32);
        picture()->render(&image);
        return image;
    }

    void leftClickAt(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, picture()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(picture(), &move);
        QTest::mouseClick(picture(), Qt::LeftButton, {}, at);
    }
    void rightClick(QPoint at = QPoint(400, 300)) { QTest::mouseClick(picture(), Qt::RightButton, {}, at); }

    // A press or release of `button` at `at` on the picture as the window
    // system delivers it, stamped `ms`: from the stamps Qt decides which
    // presses make a double click, and an open popup menu takes the events
    // first. The mouse pointer is put where the click is.
    void systemMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, ulong ms) {
        QWindow* window = picture()->window()->windowHandle();
        const QPoint local = picture()->mapTo(picture()->window(), at), global = picture()->mapToGlobal(at);
        if (QCursor::pos() != global) {
            QCursor::setPos(global);
            QCoreApplication::processEvents();  // the pointer's move comes first
        }
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        qt_handleMouseEvent(window, local, global, held, button, type, {}, static_cast<int>(ms));
    }

    // Once the drawing has shown `row` rows, queues Escape or a right click
    // (press and release) for the picture; the drawing's next yield
    // delivers them as the window system would.
    void duringDrawingAfterRow(int row, bool key) {
        auto shown = std::make_shared<int>(0);
        platform->afterPictureChanged = [this, row, key, shown] {
            if (!s().busy || ++*shown != row) return;
            const QPointF at(400, 300), global = picture()->mapToGlobal(at);
            if (key) {
                QCoreApplication::postEvent(picture(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}, "\x1b"));
                return;
            }
            QCoreApplication::postEvent(
                picture(), new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::RightButton, Qt::RightButton, {}));
            QCoreApplication::postEvent(
                picture(), new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::RightButton, Qt::NoButton, {}));
        };
    }

    // Runs `act` once on the first widget `find` returns, looking while any
    // event loop runs (a menu's or a modal dialog's own among them).
    void whenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
        auto* watcher = new QTimer;
        watcher->setInterval(5);
        QObject::connect(watcher, &QTimer::timeout, [watcher, find, act] {
            QWidget* w = find();
            if (!w) return;
            watcher->stop();
            act(w);
        });
        watcher->start();
        watchers_.push_back(watcher);
    }
    // Every window the journey waited for has appeared.
    void expectAllShown() {
        for (QPointer<QTimer>& t : watchers_) EXPECT_FALSE(t && t->isActive()) << "a window never appeared";
    }

    static QMenu* openMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

    // Opens the popup menu with a right click and chooses the item, as the
    // menu does: it closes, then the item's command runs.
    void chooseFromMenu(const char* item) {
        whenShown(openMenu, [item](QWidget* menu) {
            QAction* action = menu->findChild<QAction*>(item);
            ASSERT_NE(action, nullptr) << item;
            menu->hide();
            if (action->isEnabled()) action->trigger();
        });
        rightClick();
    }
    // "画面設定の変更", with `inDialog` run on the shown dialog once it is
    // active: a person types only into an active window (on a loaded
    // machine activation can trail the showing).
    void useSettings(std::function<void()> inDialog) {
        whenShown(
            [this]() -> QWidget* {
                if (gh().isVisible() && !gh().isActiveWindow()) gh().activateWindow();
                return gh().isActiveWindow() ? &gh() : nullptr;
            },
            [inDialog](QWidget*) { inDialog(); });
        chooseFromMenu("mnugh");
    }

    template <typename W = QWidget>
    W* control(const char* name) {
        W* w = gh().findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void clickControl(const char* name) { clickWhereItReacts(control(name)); }
    void typeInto(const char* name, const QString& text) {
        auto* f = control<QLineEdit>(name);
        f->setFocus(Qt::MouseFocusReason);
        f->selectAll();
        QTest::keyClicks(f, text);
    }

    std::filesystem::path folder;
    std::unique_ptr<JourneyPlatform> platform;
    std::unique_ptr<QelProgram> qel;

private:
    std::vector<QPointer<QTimer>> watchers_;
};

// Number of rows of the lower-left picture (the escape bands and periods,
// which have no black) that hold a drawn pixel: rows [top, top + rows),
// columns [0, width).
inline int drawnRows(const Surface& picture, int top, int rows, int width) {
    int drawn = 0;
    for (int v = top; v < top + rows; ++v) {
        int u = 0;
        while (u < width && picture.pixel(u, v) == 0) ++u;
        drawn += u < width;
    }
    return drawn;
}

}  // namespace qel

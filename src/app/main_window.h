// The main window fm5: the picture surface on screen, its mouse and key
// events, the popup menu and the window's set-up with the first drawing.
#pragma once

#include <QMenu>
#include <QWidget>
#include <functional>

#include "app/program.h"

namespace qel {

class QtPlatform;

// Paints the drawing surface at its position and hands the mouse and key
// events to the picture logic; it knows nothing of what a click does.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(Program& p, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void moveTo(QPointF windowPos);
    Program& p_;
    bool inDoubleClick_ = false;
};

class MainWindow : public QWidget, public WindowPort {
    Q_OBJECT
public:
    MainWindow(Program& p, QtPlatform& platform);

    // Fixed outer size picW x picH at the screen's top-left corner, the
    // surfaces, the colour tables and the first drawing.
    void Form_Load(const std::function<void(int fontPoints)>& scaleFonts);

    void showPopupMenu(bool previousEnabled) override;
    void hidePopupMenu() override;
    void openSettings() override;
    void openHelp() override;

    void setSettingsOpener(std::function<void()> f) { openSettings_ = std::move(f); }
    void setHelpOpener(std::function<void()> f) { openHelp_ = std::move(f); }

    PictureWidget* picture() const { return picture_; }
    QMenu* popupMenu() const { return pmenu_; }

protected:
    // Keeps the second click of a double click from the popup menu that
    // its first click opened.
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Closing the main window ends the program, also during a drawing (whose
    // loop would otherwise go on drawing into a window nobody sees).
    void closeEvent(QCloseEvent* e) override;

private:
    void buildPopupMenu();
    void sizeWindow();

    Program& p_;
    QtPlatform& platform_;
    PictureWidget* picture_;
    QMenu* pmenu_;
    QAction* mnuzen_ = nullptr;
    // The menu has seen no mouse button since it opened; it is swallowing
    // the double click that completes the click which opened it.
    bool menuAwaitsFirstButton_ = false, menuSwallowsDoubleClick_ = false;
    std::function<void()> openSettings_, openHelp_;
};

}  // namespace qel

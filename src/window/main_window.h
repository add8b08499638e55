// The main window fm5: the picture surface on screen, its mouse and key
// events, the popup menu and the window's set-up with the first drawing.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/program.h"
#include "platform/qt_platform.h"

namespace qel {

// Paints the drawing surface at its position and hands the mouse and key
// events to the picture logic; it knows nothing of what a click does.
//
// What it shows is kept in the screen's own pixel format: the rows of the
// surface that changed are converted as they are written, so a paint is a
// plain copy of the rows that changed, and while a drawing writes row after
// row they are painted once a frame of the screen.
class PictureWidget : public PictureDisplay {
    Q_OBJECT
public:
    PictureWidget(Program& p, QWidget* parent);

    void showChanges(bool now) override;
    // One frame of the screen in ms: while a drawing runs, the picture is
    // painted at most once in that time.
    int frameMs() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void moveTo(QPointF windowPos);
    // Converts what changed on the surface into the shown image and adds it
    // to the rows still to be painted.
    void takeChanges();
    void convertRow(int row);
    void paintNow();
    void paintWithinAFrame();

    Program& p_;
    bool inDoubleClick_ = false;
    int wheelEighths_ = 0;  // a turn of less than a notch, in eighths of a degree
    QImage shown_;  // the widget's pixels, in the screen's format
    struct Place {
        int left = 0, top = 0, width = -1, height = -1;
        bool operator==(const Place&) const = default;
    };
    Place shownPlace_;  // where the surface was, and its size, when shown_ was made
    QRegion unpainted_;  // parts of shown_ that changed since they were painted
    QElapsedTimer sincePaint_;
    QTimer nextFrame_;
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

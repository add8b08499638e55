#include "app/main_window.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <utility>

#include "app/first_drawing.h"
#include "files/picture_files.h"
#include "platform/qt_platform.h"
#include "render/colouring.h"
#include "render/render_loop.h"
#include "view/axes.h"
#include "view/picture_events.h"
#include "view/previous_screen.h"

namespace qel {

// ---------------------------------------------------------------- picture

PictureWidget::PictureWidget(Program& p, QWidget* parent) : QWidget(parent), p_(p) {
    setObjectName("Picture1");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const Surface& s = p_.picture1;
    if (s.width() == 0) return;
    // A colour number R + 256G + 65536B is, in memory, the bytes R, G, B, 0.
    QImage image(reinterpret_cast<const uchar*>(s.row(0)), s.width(), s.height(), s.width() * 4,
                 QImage::Format_RGBX8888);
    painter.drawImage(QPoint(s.left(), s.top()), image);
}

static Int16 buttonNumber(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

void PictureWidget::moveTo(QPointF windowPos) {
    PictureFloat at = surfacePosition(p_, windowPos.x(), windowPos.y());
    Picture1_MouseMove(p_, at.x, at.y);
}

// One click: MouseDown, Click, MouseUp. A double click: MouseDown, Click,
// MouseUp, DblClick, MouseUp. Qt's second press arrives as the double click.
void PictureWidget::mousePressEvent(QMouseEvent* e) {
    inDoubleClick_ = false;
    Picture1_MouseDown(p_, buttonNumber(e->button()));
}

void PictureWidget::mouseDoubleClickEvent(QMouseEvent*) {
    inDoubleClick_ = true;
    Picture1_DblClick(p_);
}

void PictureWidget::mouseReleaseEvent(QMouseEvent*) {
    if (inDoubleClick_) {
        inDoubleClick_ = false;
        return;
    }
    Picture1_Click(p_);
}

void PictureWidget::mouseMoveEvent(QMouseEvent* e) { moveTo(e->position()); }

void PictureWidget::keyPressEvent(QKeyEvent*) { Picture1_KeyPress(p_); }

// ---------------------------------------------------------------- window

MainWindow::MainWindow(Program& p, QtPlatform& platform)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint),
      p_(p),
      platform_(platform),
      picture_(new PictureWidget(p, this)),
      pmenu_(new QMenu(this)) {
    setObjectName("fm5");
    platform_.attach(this, picture_);
    buildPopupMenu();
}

void MainWindow::buildPopupMenu() {
    pmenu_->setObjectName("pmenu");
    pmenu_->installEventFilter(this);
    auto add = [this](const char* name, const QString& caption, std::function<void()> action) {
        QAction* a = pmenu_->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [action] { action(); });
        return a;
    };
    add("mnugh", QString::fromUtf8("画面設定の変更"), [this] { openSettings(); });
    mnuzen_ = add("mnuzen", QString::fromUtf8("前画面に戻す  (現画面は破棄)"), [this] { mnuzen_Click(p_); });
    add("mnuyomi", QString::fromUtf8("画像fileを表示 (現画面は破棄)"), [this] { mnuyomi_Click(p_); });
    add("mnuhozon", QString::fromUtf8("fileに現画面を保存"), [this] { mnuhozon_Click(p_); });
    add("mnuza", QString::fromUtf8("座標軸"), [this] { mnuza_Click(p_); });
    pmenu_->addSeparator()->setObjectName("sepa");
    add("hlp", QString::fromUtf8("Help (readme.txt)"), [this] { openHelp(); });
    add("mnuowli", QString::fromUtf8("qel の終了 "), [this] { mnuowli_Click(p_); });
}

void MainWindow::closeEvent(QCloseEvent*) { platform_.endProgram(); }

void MainWindow::showPopupMenu(bool previousEnabled) {
    mnuzen_->setEnabled(previousEnabled);
    pmenu_->setVisible(false);
    menuAwaitsFirstButton_ = true;
    menuSwallowsDoubleClick_ = false;
    pmenu_->exec(QCursor::pos());
}

// The menu runs its own loop, as a modal menu does, but Qt hands it the
// double click that completes the click which opened it (without the press
// that made it one), and the menu closes on it; the picture's next click
// would then only take back the mark of a menu already gone. A modal menu
// takes the second click as part of the gesture that opened it and stays
// open; so does this one. A double click that reaches the menu before any
// other button is its opener's.
bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched != pmenu_) return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseButtonDblClick:
        menuSwallowsDoubleClick_ = std::exchange(menuAwaitsFirstButton_, false);
        return menuSwallowsDoubleClick_;
    case QEvent::MouseButtonPress:
        menuAwaitsFirstButton_ = false;
        return false;
    case QEvent::MouseButtonRelease:
        menuAwaitsFirstButton_ = false;
        return std::exchange(menuSwallowsDoubleClick_, false);
    default:
        return false;
    }
}

void MainWindow::hidePopupMenu() { pmenu_->hide(); }

void MainWindow::openSettings() {
    if (openSettings_) openSettings_();
}

void MainWindow::openHelp() {
    if (openHelp_) openHelp_();
}

// The outer size, frame and title bar included, is picW x picH; the frame
// is measured once the window system has framed the window.
void MainWindow::sizeWindow() {
    AppState& s = p_.s;
    setFixedSize(s.picW, s.picH);
    move(0, 0);
    show();
    QCoreApplication::processEvents();
    QRect outer = frameGeometry(), inner = geometry();
    s.frameW = static_cast<Int16>(outer.width() - inner.width());
    s.frameH = static_cast<Int16>(outer.height() - inner.height());
    setFixedSize(s.picW - s.frameW, s.picH - s.frameH);
    move(0, 0);
    picture_->setGeometry(0, 0, s.picW - s.frameW, s.picH - s.frameH);
}

void MainWindow::Form_Load(const std::function<void(int fontPoints)>& scaleFonts) {
    setUpPictures(p_);
    if (scaleFonts) scaleFonts(baseFontPoints(platform_.twipsPerPixel()));
    sizeWindow();
    picture_->setFocus();
    calibratePeriodColours(p_.s);
    captionFirstDrawing(p_);
    Essence(p_);
}

}  // namespace qel

#include "window/main_window.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/first_drawing.h"
#include "files/picture_files.h"
#include "platform/qt_platform.h"
#include "render/colouring.h"
#include "app/drawing.h"
#include "view/axes.h"
#include "view/picture_events.h"
#include "view/previous_screen.h"
#include "view/wheel_zoom.h"

namespace qel {

// ---------------------------------------------------------------- picture

namespace {

// Colour numbers R + 256G + 65536B as the screen's pixels 0xffRRGGBB.
void toScreenFormat(const std::uint32_t* colours, QRgb* out, int count) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t c = colours[i];
        out[i] = 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
    }
}

}  // namespace

PictureWidget::PictureWidget(Program& p, QWidget* parent) : PictureDisplay(parent), p_(p) {
    setObjectName("Picture1");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    nextFrame_.setSingleShot(true);
    connect(&nextFrame_, &QTimer::timeout, this, [this] { paintNow(); });
}

// Row `row` of the widget from the surface at its position; black where the
// surface does not reach.
void PictureWidget::convertRow(int row) {
    const Surface& s = p_.picture1;
    auto* out = reinterpret_cast<QRgb*>(shown_.scanLine(row));
    const int width = shown_.width(), v = row - s.top();
    const int first = std::clamp(s.left(), 0, width), end = std::clamp(s.left() + s.width(), 0, width);
    if (v < 0 || v >= s.height() || first >= end) {
        std::fill(out, out + width, qRgb(0, 0, 0));
        return;
    }
    std::fill(out, out + first, qRgb(0, 0, 0));
    std::fill(out + end, out + width, qRgb(0, 0, 0));
    toScreenFormat(s.row(v) + (first - s.left()), out + first, end - first);
}

void PictureWidget::takeChanges() {
    Surface& s = p_.picture1;
    const Place place{s.left(), s.top(), s.width(), s.height()};
    if (shown_.size() != size() || !(place == shownPlace_)) {
        // Moved, resized or new: everything is shown again.
        if (shown_.size() != size()) shown_ = QImage(size(), QImage::Format_RGB32);
        shownPlace_ = place;
        s.takeChangedRows([](int) {});
        for (int row = 0; row < shown_.height(); ++row) convertRow(row);
        unpainted_ = rect();
        return;
    }
    s.takeChangedRows([this, &s](int v) {
        const int row = v + s.top();
        if (row < 0 || row >= shown_.height()) return;
        convertRow(row);
        unpainted_ += QRect(0, row, shown_.width(), 1);
    });
}

int PictureWidget::frameMs() const {
    const QScreen* sc = screen();
    const double hz = sc ? sc->refreshRate() : 0.0;
    return hz >= 1.0 ? std::max(1, static_cast<int>(std::lround(1000.0 / hz))) : 16;
}

void PictureWidget::paintNow() {
    nextFrame_.stop();
    if (!unpainted_.isEmpty()) repaint(std::exchange(unpainted_, QRegion()));
}

// One paint a frame: at once when the last one is a frame ago, else when
// the frame is over.
void PictureWidget::paintWithinAFrame() {
    if (unpainted_.isEmpty() || nextFrame_.isActive()) return;
    const qint64 wait = sincePaint_.isValid() ? frameMs() - sincePaint_.elapsed() : 0;
    if (wait <= 0)
        paintNow();
    else
        nextFrame_.start(static_cast<int>(wait));
}

void PictureWidget::showChanges(bool now) {
    takeChanges();
    if (now)
        paintNow();
    else
        paintWithinAFrame();
}

void PictureWidget::paintEvent(QPaintEvent* e) {
    takeChanges();
    QPainter painter(this);
    for (const QRect& r : e->region()) painter.drawImage(r.topLeft(), shown_, r);
    sincePaint_.restart();
    // Changes outside the region painted wait for the next frame.
    unpainted_ -= e->region();
    if (!unpainted_.isEmpty() && !nextFrame_.isActive()) nextFrame_.start(frameMs());
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

// A notch is 15 degrees, 120 eighths; finer wheels and touchpads turn less
// at a time, which adds up to notches.
void PictureWidget::wheelEvent(QWheelEvent* e) {
    constexpr int kEighthsPerNotch = 120;
    e->accept();
    wheelEighths_ += e->angleDelta().y();
    const int notches = wheelEighths_ / kEighthsPerNotch;
    wheelEighths_ -= notches * kEighthsPerNotch;
    if (notches == 0) return;
    const PictureFloat at = surfacePosition(p_, e->position().x(), e->position().y());
    Picture1_Wheel(p_, at.x, at.y, notches);
}

// A key press that types a character: letters, digits, punctuation, space,
// Return, Escape, Backspace, Tab and the control characters typed with Ctrl.
// A modifier alone, an arrow, a function key or Print types none and comes
// without text; the Delete key types none either, though its text is DEL.
// With Alt or the logo key held a key is a shortcut (Alt+Tab to another
// window when the desktop lets it through), not typing.
static bool typesCharacter(const QKeyEvent* e) {
    if (e->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = e->text();
    return !text.isEmpty() && text != QString(QChar(0x7f));
}

void PictureWidget::keyPressEvent(QKeyEvent* e) {
    if (typesCharacter(e))
        Picture1_KeyPress(p_);
    else
        QWidget::keyPressEvent(e);
}

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

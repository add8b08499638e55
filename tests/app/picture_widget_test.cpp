#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTest>
#include <vector>

#include "app/first_drawing.h"
#include "headless_program.h"
#include "window/main_window.h"
#include "app/drawing.h"

namespace qel {
namespace {

class CaptionsKept : public QtPlatform {
public:
    void setMainCaption(const std::string& c) override { captions.push_back(c); }
    std::vector<std::string> captions;
};

// Every paint of the widget: its region and how many captions were set before it.
class PaintLog : public QObject {
public:
    explicit PaintLog(const std::vector<std::string>& captions) : captions_(captions) {}
    struct Paint {
        QRegion region;
        std::size_t captionsBefore;
    };
    std::vector<Paint> paints;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) paints.push_back({static_cast<QPaintEvent*>(e)->region(), captions_.size()});
        return false;
    }

private:
    const std::vector<std::string>& captions_;
};

class PictureWidgetTest : public ::testing::Test {
protected:
    CaptionsKept platform;
    HeadlessDialog dialog;
    NoWindow window;
    Program p{platform, dialog, window};
    PictureWidget widget{p, nullptr};

    void SetUp() override {
        setStartValues(p.s);
        setUpPictures(p);
        platform.attach(nullptr, &widget);
        widget.resize(800, 600);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        QApplication::processEvents();
    }

    // Every pixel the widget shows against the surface at its position,
    // black where the surface does not reach.
    void expectShowsSurface() {
        const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const Surface& s = p.picture1;
        int differ = 0;
        for (int y = 0; y < shown.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
            for (int x = 0; x < shown.width(); ++x) {
                const int u = x - s.left(), v = y - s.top();
                const Colour want = s.inside(u, v) ? s.pixel(u, v) : 0;
                differ += rgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])) != want;
            }
        }
        EXPECT_EQ(differ, 0) << "surface at " << s.left() << ", " << s.top();
    }
};

TEST_F(PictureWidgetTest, ShowsTheSurfaceWhereverItLiesAndBlackBeyondIt) {
    Surface& s = p.picture1;
    for (int v = 0; v < s.height(); ++v) {
        std::uint32_t* row = s.rowToWrite(v, 0, s.width());
        for (int u = 0; u < s.width(); ++u) row[u] = Surface::stored((u * 7919 + v * 104729) & 0xFFFFFF);
    }
    platform.pictureChanged();
    expectShowsSurface();
    s.move(-800, -600);  // the lower right picture, as a right click shows it
    platform.pictureChanged();
    expectShowsSurface();
    s.move(-1000, 100);
    platform.pictureChanged();
    expectShowsSurface();
    s.setPixel(1100, 200, rgb(255, 0, 0));
    s.setDrawMode(DrawMode::Invert);
    s.line(1000, 350, 1400, 350);
    platform.showPictureNow();
    expectShowsSurface();
}

// While the rows arrive the picture is painted once a frame, not once a row,
// and all of it is on the screen before the end caption.
TEST_F(PictureWidgetTest, ADrawingIsPaintedOnceAFrameAndWholeBeforeItsEndCaption) {
    p.s.firstDrawing = true;
    p.s.live.drawMethod = 1;  // 600 rows, each computed point by point
    PaintLog log(platform.captions);
    widget.installEventFilter(&log);
    QElapsedTimer clock;
    clock.start();
    Essence(p);
    const qint64 elapsed = clock.elapsed();

    ASSERT_EQ(platform.captions.size(), 1u);
    QRegion painted;
    for (const PaintLog::Paint& paint : log.paints) {
        EXPECT_EQ(paint.captionsBefore, 0u);
        painted += paint.region;
    }
    const QRect unpainted = (QRegion(widget.rect()) - painted).boundingRect();
    EXPECT_TRUE(unpainted.isEmpty()) << "rows " << unpainted.top() << " to " << unpainted.bottom() << " unpainted";
    EXPECT_LE(static_cast<qint64>(log.paints.size()), elapsed / widget.frameMs() + 2) << elapsed << " ms";
    expectShowsSurface();
}

}  // namespace
}  // namespace qel

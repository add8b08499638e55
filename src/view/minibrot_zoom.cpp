#include "view/minibrot_zoom.h"

#include <chrono>
#include <future>
#include <mutex>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing_request.h"
#include "app/minibrot_view.h"
#include "view/pixel_mapping.h"

namespace qel {
namespace {

// How often the window's events run while the search goes on.
constexpr std::chrono::milliseconds kYieldEvery{10};

// The point of a folded position on the grid of the picture on the screen,
// at the precision its pixel size needs.
BigComplex pointAt(const AppState& s, PicturePos folded) {
    if (isDeep(s.cur)) {
        DeepPoint d = deepGridPoint(s, folded);
        return {std::move(d.re), std::move(d.im)};
    }
    const long bits = precisionBitsFor(shownPixelSize(s));
    const PlanePoint c = cursorPoint(s, folded);
    return {BigReal(c.re, bits), BigReal(c.im, bits)};
}

// The search on a thread of its own; this one lets the window's events run
// and shows the progress until it ends. A stop request stops it.
std::optional<Nucleus> searchWhileResponsive(Program& p, const BigComplex& point) {
    AppState& s = p.s;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    NucleusProgress latest;
    NucleusControl control{&stop, [&](const NucleusProgress& progress) {
                               const std::lock_guard<std::mutex> lock(mutex);
                               latest = progress;
                           }};
    const ExtFloat pixelSize = shownPixelSize(s);
    const int halfWidth = s.halfW;
    const double maxIter = s.cur.maxIter;
    std::future<std::optional<Nucleus>> search = std::async(std::launch::async, [&] {
        return findMinibrot(point, pixelSize, halfWidth, maxIter, control);
    });
    std::string shown;
    do {
        p.platform.doEvents();
        if (s.stopRequest) stop = true;
        std::string caption;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            caption = minibrotSearchCaption(latest);
        }
        if (caption != shown) p.platform.setMainCaption(shown = caption);
    } while (search.wait_for(kYieldEvery) != std::future_status::ready);
    return search.get();
}

}  // namespace

bool minibrotZoomAvailable(const AppState& s) { return s.live.isJulia == kNo && s.cur.isJulia == kNo; }

void mnuminibrot_Click(Program& p) {
    AppState& s = p.s;
    if (s.busy || !minibrotZoomAvailable(s)) return;
    const PicturePos folded = foldAgainForZoom(s, s.mouseX, s.mouseY);
    const BigComplex point = pointAt(s, folded);
    const std::string caption = p.platform.mainCaption();
    const double zoom = s.zoom;
    s.busy = true;
    s.stopRequest = false;
    p.platform.setBusyPointer(true);
    const std::optional<Nucleus> minibrot = searchWhileResponsive(p, point);
    const bool stopped = s.stopRequest;
    s.busy = false;
    s.stopRequest = false;
    p.platform.setBusyPointer(false);
    // A stop's right click leaves the zoom as it was: nothing changes.
    s.zoom = zoom;
    if (stopped || !minibrot || !putMinibrotView(s, *minibrot)) {
        p.platform.setMainCaption(caption);
        if (stopped) return;
        if (!minibrot) return p.platform.messageBox(kMinibrotNotFound, kMinibrotTitle, kMsgQuestion);
        return p.platform.messageBox(kMagnificationTooLarge, kMagnificationTooLargeTitle, kMsgStop);
    }
    s.mouseX = folded.x;
    s.mouseY = folded.y;
    redrw(p);
}

}  // namespace qel

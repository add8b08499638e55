// Everything one run of the program works on: the state record, the three
// picture surfaces, the toolkit, the settings dialog and the main window as
// the logic sees them. Plain C++; the Qt windows implement the ports.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/settings_port.h"
#include "platform/platform.h"
#include "render/deep/reference.h"
#include "render/surface.h"

namespace qel {

class RowEngine;

// What the picture logic asks of the main window itself.
class WindowPort {
public:
    virtual ~WindowPort() = default;
    // Shows the popup menu at the mouse position; "前画面に戻す" and
    // "近くのMinibrotへ拡大" enabled or not.
    virtual void showPopupMenu(bool previousEnabled, bool minibrotEnabled) = 0;
    virtual void hidePopupMenu() = 0;
    // Fills and shows the settings dialog modally (the menu's first item).
    virtual void openSettings() = 0;
    // Opens the help window modally.
    virtual void openHelp() = 0;
};

struct Program {
    Program(Platform& p, SettingsPort& d, WindowPort& w) : platform(p), dialog(d), window(w) {}

    AppState s;
    Surface picture1;  // the pictures on the screen (2*picW x 2*picH)
    Surface picture2;  // the copy for going back one step
    Surface picture3;  // the buffer for saving and opening files
    Platform& platform;
    SettingsPort& dialog;
    WindowPort& window;
    // Computes the rows of a drawing; none means the reference engine.
    RowEngine* engine = nullptr;
    // The memory the system can give now; a deep drawing may take a share.
    std::uint64_t (*availableMemory)() = availableMemoryBytes;
};

}  // namespace qel

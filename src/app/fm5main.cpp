#include "app/fm5main.h"

#include <QApplication>
#include <memory>

#include "app/drawing_request.h"
#include "app/first_drawing.h"
#include "app/main_window.h"
#include "app/port_links.h"
#include "help/help_window.h"
#include "platform/qt_platform.h"
#include "settings/settings_dialog.h"

namespace qel {

// The start-up module: the record, the settings dialog, the help window and
// the main window, created in this order.
int runProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    QtPlatform platform;
    SettingsLink dialogLink;
    WindowLink windowLink;
    Program p(platform, dialogLink, windowLink);

    setStartValues(p.s);
    p.s.appPath = folderWithSeparator(platform.programFolder(), platform.folderSeparator());

    SettingsDialog gh(p.s, platform, p.picture1);
    dialogLink.bind(&gh);
    gh.fillAtStartUp();

    // The help window is created hidden at start-up; it reads the manual and
    // reports a missing one. Each later opening creates it anew.
    int fontPoints = baseFontPoints(platform.twipsPerPixel());
    auto hlp1 = std::make_unique<HelpWindow>(platform, p.s.appPath, fontPoints);

    MainWindow fm5(p, platform);
    windowLink.bind(&fm5);
    gh.setDrawingRequest([&p] { redrw(p); });
    fm5.setSettingsOpener([&gh] { gh.mnugh_Click(); });
    fm5.setHelpOpener([&platform, &p, &fontPoints] { showHelp(platform, p.s.appPath, fontPoints); });
    fm5.Form_Load([&](int points) {
        fontPoints = points;
        gh.setFontPointSize(points);
    });
    return app.exec();
}

}  // namespace qel

#include "app/fm5main.h"

#include <QApplication>
#include <QTranslator>
#include <cstdio>

#include "app/command_line.h"
#include "app/drawing_request.h"
#include "app/first_drawing.h"
#include "app/main_window.h"
#include "app/port_links.h"
#include "help/help_window.h"
#include "help/manual_places.h"
#include "platform/qt_platform.h"
#include "render/engine_rows.h"
#include "settings/settings_dialog.h"

namespace qel {

struct QelProgram::Parts {
    explicit Parts(QtPlatform& platform) : platform(platform), p(platform, dialogLink, windowLink) {}

    QtPlatform& platform;
    SettingsLink dialogLink;
    WindowLink windowLink;
    Program p;
    FastRowEngine engine;  // rows on every processor, exactly as the reference draws them
    int fontPoints = 9;
    std::unique_ptr<SettingsDialog> gh;
    std::unique_ptr<HelpWindow> hlp1;
    std::unique_ptr<MainWindow> fm5;
};

QelProgram::QelProgram(QtPlatform& platform) : parts_(std::make_unique<Parts>(platform)) {
    Parts& w = *parts_;
    Program& p = w.p;
    setStartValues(p.s);
    p.engine = &w.engine;
    p.s.appPath = folderWithSeparator(platform.programFolder(), platform.folderSeparator());

    w.gh = std::make_unique<SettingsDialog>(p.s, platform, p.picture1);
    w.dialogLink.bind(w.gh.get());
    w.gh->fillAtStartUp();

    // The help window is created hidden at start-up: it reads the manual and
    // reports a missing one. Each later opening creates it anew.
    w.fontPoints = baseFontPoints(platform.twipsPerPixel());
    w.hlp1 = std::make_unique<HelpWindow>(platform, p.s.appPath, w.fontPoints);
}

QelProgram::~QelProgram() = default;

void QelProgram::showMainWindow() {
    Parts& w = *parts_;
    Program& p = w.p;
    w.fm5 = std::make_unique<MainWindow>(p, w.platform);
    w.windowLink.bind(w.fm5.get());
    w.gh->setDrawingRequest([&p] { redrw(p); });
    w.fm5->setSettingsOpener([&w] { w.gh->mnugh_Click(); });
    w.fm5->setHelpOpener([&w] { showHelp(w.platform, w.p.s.appPath, w.fontPoints); });
    w.fm5->Form_Load([&w](int points) {
        w.fontPoints = points;
        w.gh->setFontPointSize(points);
    });
}

Program& QelProgram::program() { return parts_->p; }
SettingsDialog& QelProgram::settingsDialog() { return *parts_->gh; }
MainWindow& QelProgram::mainWindow() { return *parts_->fm5; }

// Prints the version or the usage without opening any window.
static int answerCommandLine(CommandLineRequest request, int argc, char** argv) {
    if (request == CommandLineRequest::version) {
        std::fputs(versionText().c_str(), stdout);
        return 0;
    }
    QCoreApplication core(argc, argv);  // for the program's folder only
    QtPlatform platform;
    const std::string appPath = folderWithSeparator(platform.programFolder(), platform.folderSeparator());
    std::fputs(usageText(findManual(appPath), manualFolders(appPath)).c_str(), stdout);
    return 0;
}

int runProgram(int argc, char** argv) {
    if (const CommandLineRequest request = readCommandLine(argc, argv); request != CommandLineRequest::start)
        return answerCommandLine(request, argc, argv);
    QApplication app(argc, argv);
    QTranslator qtTexts;
    installJapaneseQtTexts(qtTexts);
    QtPlatform platform;
    QelProgram qel(platform);
    qel.showMainWindow();
    return app.exec();
}

}  // namespace qel

// Start-up: the entry point of the program and the program's windows.
#pragma once

#include <memory>

namespace qel {

class QtPlatform;
class SettingsDialog;
class MainWindow;
class HelpWindow;
struct Program;

// One run's windows around the program record. Making it runs the start-up
// steps up to the main window: start values, snapshots, program folder, the
// settings dialog created hidden and filled, the help window created hidden.
// showMainWindow() then creates the main window, which shows itself and
// makes the first drawing before it returns.
class QelProgram {
public:
    explicit QelProgram(QtPlatform& platform);
    ~QelProgram();

    void showMainWindow();

    Program& program();
    SettingsDialog& settingsDialog();
    MainWindow& mainWindow();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Runs the program: start-up, the first drawing, then the event loop.
int runProgram(int argc, char** argv);

}  // namespace qel

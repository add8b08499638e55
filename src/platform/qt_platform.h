// The platform on Qt 6 Widgets.
#pragma once

#include <QPointer>
#include <QWidget>

class QTranslator;

#include "platform/platform.h"

namespace qel {

class QtPlatform : public Platform {
public:
    // `mainWindow` gets the caption; `picture` is repainted on pictureChanged.
    void attach(QWidget* mainWindow, QWidget* picture) {
        main_ = mainWindow;
        picture_ = picture;
    }
    void messageBox(const std::string& text, const std::string& title, int style) override;
    void setMainCaption(const std::string& caption) override;
    std::string mainCaption() const override;
    void pictureChanged() override;
    float timer() override;
    void doEvents() override;
    void beep() override;
    void setBusyPointer(bool busy) override;
    void endProgram() override;
    std::string showSave(const std::string& title, const std::string& fileName, const std::string& filter) override;
    std::string showOpen(const std::string& title, const std::string& fileName, const std::string& filter) override;
    std::string programFolder() const override;
    std::optional<std::string> readShiftJisFile(const std::string& path) override;
    int twipsPerPixel() const override;

    // "desc|pattern" -> Qt's "desc (pattern)"; a description that already
    // ends in "(pattern)" is the whole filter, so the dialog shows it once.
    static QString qtFilter(const std::string& filter);

private:
    QPointer<QWidget> main_, picture_;
    bool busyPointer_ = false;
};

// Loads Qt's own Japanese texts (the file dialogs' buttons and labels,
// Debian's qt6-translations-l10n) into `translator` and installs it for the
// application; false when they are missing, and Qt's dialogs stay English.
bool installJapaneseQtTexts(QTranslator& translator);

}  // namespace qel

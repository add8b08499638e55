// The platform on Qt 6 Widgets.
#pragma once

#include <QPointer>
#include <QWidget>

class QTranslator;

#include "platform/platform.h"

namespace qel {

// The widget that shows the picture surface.
class PictureDisplay : public QWidget {
public:
    using QWidget::QWidget;
    // Shows what changed on the surface since the last call: within a frame
    // of the screen, or with `now` before this returns.
    virtual void showChanges(bool now) = 0;
};

class QtPlatform : public Platform {
public:
    // `mainWindow` gets the caption; `picture` shows the surface's changes.
    void attach(QWidget* mainWindow, PictureDisplay* picture) {
        main_ = mainWindow;
        picture_ = picture;
    }
    void messageBox(const std::string& text, const std::string& title, int style) override;
    void setMainCaption(const std::string& caption) override;
    std::string mainCaption() const override;
    void pictureChanged() override;
    void showPictureNow() override;
    float timer() override;
    void doEvents() override;
    void beep() override;
    void setBusyPointer(bool busy) override;
    void endProgram() override;
    std::string showSave(const std::string& title, const std::string& fileName, const std::string& filter) override;
    std::string showOpen(const std::string& title, const std::string& fileName, const std::string& filter) override;
    std::optional<Surface> loadPicture(const std::string& path, int width, int height) override;
    std::string programFolder() const override;
    bool folderWritable(const std::string& folder) const override;
    std::string picturesFolder() const override;
    std::string homeFolder() const override;
    bool makeFolder(const std::string& folder) override;
    std::optional<std::string> readShiftJisFile(const std::string& path) override;
    int twipsPerPixel() const override;

    // "desc|pattern" -> Qt's "desc (pattern)"; a description that already
    // ends in "(pattern)" is the whole filter, so the dialog shows it once.
    // More pairs ("desc|pattern|desc2|pattern2") are more filters, the
    // first one chosen.
    static QString qtFilter(const std::string& filter);

private:
    QPointer<QWidget> main_;
    QPointer<PictureDisplay> picture_;
    bool busyPointer_ = false;
};

// Loads Qt's own Japanese texts (the file dialogs' buttons and labels,
// Debian's qt6-translations-l10n) into `translator` and installs it for the
// application; false when they are missing, and Qt's dialogs stay English.
bool installJapaneseQtTexts(QTranslator& translator);

}  // namespace qel

// The toolkit and system services the program uses, behind one interface.
// Plain C++: the Qt implementation lives in qt_platform.*, the test double in
// tests/support/test_platform.*. Texts are UTF-8.
#pragma once

#include <optional>
#include <string>

#include "render/surface.h"

namespace qel {

// Message box styles: an icon and an OK button.
enum MsgStyle : int { kMsgNoIcon = 0, kMsgStop = 16, kMsgQuestion = 32 };

class Platform {
public:
    virtual ~Platform() = default;

    // Modal message box; returns when the user has closed it.
    virtual void messageBox(const std::string& text, const std::string& title, int style) = 0;

    // Caption of the main window.
    virtual void setMainCaption(const std::string& caption) = 0;
    virtual std::string mainCaption() const = 0;

    // The picture surface changed and should be shown again; a window may
    // gather the changes of one frame of the screen into one repaint.
    virtual void pictureChanged() = 0;
    // A drawing has ended: every change of the picture is shown at once.
    virtual void showPictureNow() = 0;

    // Seconds since midnight.
    virtual float timer() = 0;
    // Lets queued window events run (mouse clicks, key presses, repaints).
    virtual void doEvents() = 0;
    virtual void beep() = 0;
    // Hourglass (busy) or default mouse pointer.
    virtual void setBusyPointer(bool busy) = 0;
    // Ends the program at once.
    virtual void endProgram() = 0;

    // File dialogs; `filter` is in the form "bitmap file(*.bmp)|*.bmp", or
    // more such pairs joined by "|" for a choice of filters.
    // An empty result means nothing was chosen.
    virtual std::string showSave(const std::string& title, const std::string& fileName,
                                 const std::string& filter) = 0;
    virtual std::string showOpen(const std::string& title, const std::string& fileName,
                                 const std::string& filter) = 0;

    // Reads the bitmap file at `path` (LoadPicture) into a width x height
    // picture: the file's picture at the top-left corner, clipped at the
    // right and bottom, black beyond it. Nothing when the file cannot be
    // read as a bitmap.
    virtual std::optional<Surface> loadPicture(const std::string& path, int width, int height) = 0;

    // The folder of the program's executable (never the current directory).
    virtual std::string programFolder() const = 0;
    // Whether the user may make files in `folder`, an existing folder.
    virtual bool folderWritable(const std::string& folder) const = 0;
    // The user's picture folder, as the desktop names it; empty when it has
    // none. It may not exist yet.
    virtual std::string picturesFolder() const = 0;
    // The user's home folder.
    virtual std::string homeFolder() const = 0;
    // Makes `folder` and the folders above it that are missing; true when
    // it exists afterwards.
    virtual bool makeFolder(const std::string& folder) = 0;
    // The platform's folder separator: "/" or "\".
    virtual std::string folderSeparator() const { return "/"; }
    // Reads a whole text file written in Shift-JIS and returns it as UTF-8;
    // nothing when the file cannot be opened or read.
    virtual std::optional<std::string> readShiftJisFile(const std::string& path) = 0;
    // Screen size of one pixel in twips (15 at 96 dots per inch).
    virtual int twipsPerPixel() const { return 15; }
};

}  // namespace qel

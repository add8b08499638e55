// A stand-in for the toolkit that records what the program shows: message
// boxes, captions, beeps, pointer changes, and answers file dialogs and the
// timer from values the test sets. doEvents runs a hook the test provides,
// so a test can "click" during a drawing.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qel {

struct ShownMessage {
    std::string text, title;
    int style;
};

class TestPlatform : public Platform {
public:
    void messageBox(const std::string& text, const std::string& title, int style) override {
        messages.push_back({text, title, style});
        if (onMessage) onMessage();
    }
    void setMainCaption(const std::string& c) override { caption = c; captions.push_back(c); }
    std::string mainCaption() const override { return caption; }
    void pictureChanged() override { ++pictureUpdates; }
    void showPictureNow() override { shownNowAtCaption.push_back(captions.size()); }
    // The clock stands still unless the test tells the time.
    float timer() override { return timerHook ? timerHook() : 0.0f; }
    void doEvents() override { ++yields; if (onDoEvents) onDoEvents(); }
    void beep() override { ++beeps; }
    void setBusyPointer(bool b) override { busyPointer = b; }
    void endProgram() override {}
    std::string showSave(const std::string&, const std::string& fileName, const std::string&) override {
        offeredNames.push_back(fileName);
        return saveAnswer ? saveAnswer(fileName) : std::string();
    }
    std::string showOpen(const std::string&, const std::string&, const std::string&) override { return openAnswer; }
    // The program's own reader, on the files the test wrote.
    std::optional<Surface> loadPicture(const std::string& path, int width, int height) override;
    std::string programFolder() const override { return folder; }
    // Every folder may be written to but those the test lists; the picture
    // folder and the home are the test's, made on the real file system.
    bool folderWritable(const std::string& f) const override { return !readOnlyFolders.contains(f); }
    std::string picturesFolder() const override { return pictures; }
    std::string homeFolder() const override { return home; }
    bool makeFolder(const std::string& f) override;
    std::optional<std::string> readShiftJisFile(const std::string& path) override;

    std::vector<ShownMessage> messages;
    std::vector<std::string> captions;
    std::vector<std::string> offeredNames;  // the names the save dialog offered
    std::string caption;
    int pictureUpdates = 0, yields = 0, beeps = 0;
    std::vector<std::size_t> shownNowAtCaption;  // per showPictureNow, the captions set before it
    bool busyPointer = false;
    std::function<float()> timerHook;
    std::function<void()> onDoEvents, onMessage;
    std::function<std::string(const std::string&)> saveAnswer;
    std::string openAnswer;
    std::string folder = "/tmp/";
    std::set<std::string> readOnlyFolders;
    std::string pictures, home = "/tmp";
    std::vector<std::string> madeFolders;  // the folders makeFolder was asked for
    // Files the double "reads": path -> UTF-8 text; missing path: unreadable.
    std::map<std::string, std::string> files;
};

}  // namespace qel

// The help window: the manual readme.txt from the program's folder beside a
// column of its eight section headings. Modal; closing it discards it, and
// every opening builds it anew and reads the manual again.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "platform/platform.h"

class QLabel;
class QPlainTextEdit;

namespace qel {

inline const std::string kHelpCaption = "readme.txt";
inline const std::string kManualMissing = "readme.txt がありません";
inline const std::string kManualMissingTitle = "エラー";
// Label3 as designed, and as set once the manual is read: the key to the
// quadrants of the four-way split screen. Lines end in a carriage return.
inline const std::string kMethodsHeading = "3 描画法";
inline const std::string kQuadrantKey = "3 描画法\r\r左上 右上\r左下 右下";

class HelpWindow : public QDialog {
public:
    // Builds the window and reads the manual readme.txt from the program
    // folder appPath (ending in a separator), or else from where an install
    // puts it (manual_places.h); a manual that cannot be read is reported
    // with a message box and leaves the text empty. fontPt <= 0 keeps the
    // toolkit's font.
    HelpWindow(Platform& platform, const std::string& appPath, int fontPt, QWidget* parent = nullptr);

    QPlainTextEdit* text1() const { return text1_; }
    // Label1 .. Label8.
    QLabel* label(int number) const { return labels_.at(static_cast<std::size_t>(number - 1)); }

private:
    void buildControls();
    void applyFontSize(int fontPt);
    void Form_Load(Platform& platform, const std::string& appPath);

    QPlainTextEdit* text1_ = nullptr;
    std::array<QLabel*, 8> labels_{};
};

// Opens the help window modally: builds it, waits until the user closes it,
// and discards it.
void showHelp(Platform& platform, const std::string& appPath, int fontPt);

}  // namespace qel

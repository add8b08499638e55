// The popup menu's file commands: save the picture on the screen under a
// name that carries its view, open such a picture to go on exploring from
// it, and quit.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "app/program.h"

namespace qel {

inline const std::string kSaveDialogTitle =
    "本ソフトで再読み込み可能なfileとするにはこの名前で保存してください.名前冒頭に付け加えはok";
inline const std::string kOpenDialogTitle = "画像呼び出し";
inline const std::string kBitmapFilter = "bitmap file(*.bmp)|*.bmp";
// The open dialog's second choice: locations of Kalles Fraktaler files.
inline const std::string kLocationFilter = "Kalles Fraktaler file(*.kfr)|*.kfr";
inline const std::string kSaveFailed = "保存できませんでした．";
inline const std::string kSaveTitle = "fileの出力";
inline const std::string kOpenTitle = "fileの入力";
inline const std::string kNameWithoutView =
    "この画像には中心や倍率のデータがないので\r読み込んで拡大縮小処理をすることができません．\r他のソフトで表示してください.";
inline const std::string kPictureUnreadable = "画像を読み込めませんでした．";

// A saved or opened picture is always this size.
constexpr int kFilePictureWidth = 800;
constexpr int kFilePictureHeight = 600;

// Top-left pixel of the visible 800 x 600 part of picture1 for the shown
// method (0 split, 1..4 one colouring at full size); nothing for another
// method. The doubled half extents are 16-bit values.
std::optional<std::pair<int, int>> visibleAreaOrigin(const AppState& s);
// The visible 800 x 600 part of picture1, as a save writes it; black for a
// method without a visible area.
Surface visiblePicture(const Program& p);

// The folder the save dialog offers, ending in the platform's separator:
// the program's own folder `appPath` wherever the user may write to it;
// otherwise (a program installed under /usr/bin) the user's picture folder,
// made when missing, or else the home folder.
std::string saveFolder(Platform& platform, const std::string& appPath);

// "fileに現画面を保存": offers the generated name in the save folder and
// writes the visible picture where the user chose. Changes nothing but the
// file (and makes the picture folder when it is offered and missing).
void mnuhozon_Click(Program& p);

// "画像fileを表示 (現画面は破棄)": asks for a bitmap, and when its name
// carries a view and its picture can be read, shows the picture and makes
// its view the current one (no previous screen, a single stored picture).
// Otherwise a message says why, and screen and state stay as they were.
// A location file (.kfr) chosen instead goes to openLocation.
void mnuyomi_Click(Program& p);

// Draws the location of a Kalles Fraktaler file (files/kfr_file.h) as
// "描画開始" draws a view: the Mandelbrot set with the current drawing
// method and contour interval, the file's iteration limit (or the current
// one), the picture before it kept for going back. A file that holds no
// location the window can draw gets the message of an unreadable file, and
// screen and state stay as they were.
void openLocation(Program& p, const std::string& path);

// "qel の終了 ": ends the program at once.
void mnuowli_Click(Program& p);

}  // namespace qel

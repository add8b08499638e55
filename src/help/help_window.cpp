#include "help/help_window.h"

#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRect>

#include "help/manual_places.h"

namespace qel {
namespace {

// Positions are designed in twips; the window shows them at 15 twips a pixel.
constexpr int kTwipsPerPixel = 15;

QRect fromTwips(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
}

struct LabelDesign {
    std::string caption;
    int left, top, width, height;
};

std::array<LabelDesign, 8> labelDesigns() {
    return {{
        {"1 使い方", 6120, 360, 1575, 375},
        {"2 奇妙な集合", 6120, 840, 1695, 375},
        {kMethodsHeading, 6120, 2280, 1695, 1095},
        {"4 保存ファイル名", 6120, 4440, 1695, 375},
        {"5 等高線間隔 t", 6120, 4920, 1695, 375},
        {"6 予想残り時間", 6120, 5760, 1695, 375},
        {"7 ハングの危険", 6120, 6360, 1695, 375},
        {"8 注意事項", 6120, 6840, 1695, 255},
    }};
}

// Width and height of the window's inside, in twips: the text field and the
// column of headings beside it.
constexpr int kClientWidth = 7920;
constexpr int kClientHeight = 7335;

// The program's captions end their lines with a carriage return; the
// toolkit breaks lines at a line feed.
QString toolkitLines(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

}  // namespace

HelpWindow::HelpWindow(Platform& platform, const std::string& appPath, int fontPt, QWidget* parent)
    : QDialog(parent) {
    buildControls();
    applyFontSize(fontPt);
    Form_Load(platform, appPath);
}

void HelpWindow::buildControls() {
    setWindowTitle(QString::fromStdString(kHelpCaption));
    setModal(true);
    setFixedSize(fromTwips(0, 0, kClientWidth, kClientHeight).size());

    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName("Text1");
    text1_->setGeometry(fromTwips(0, 0, 6015, 7335));
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Nothing writes the manual back, so edits would only be lost.
    text1_->setReadOnly(true);

    const std::array<LabelDesign, 8> designs = labelDesigns();
    for (std::size_t i = 0; i < designs.size(); ++i) {
        const LabelDesign& d = designs[i];
        auto* l = new QLabel(QString::fromStdString(d.caption), this);
        l->setObjectName(QString("Label%1").arg(i + 1));
        l->setGeometry(fromTwips(d.left, d.top, d.width, d.height));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        labels_[i] = l;
    }
}

void HelpWindow::applyFontSize(int fontPt) {
    if (fontPt <= 0) return;
    QFont f = font();
    f.setPointSize(fontPt);
    setFont(f);
    for (QLabel* l : labels_) l->setFont(f);
    QFont large = f;
    large.setPointSize(static_cast<int>(fontPt * 1.3));
    text1_->setFont(large);
}

void HelpWindow::Form_Load(Platform& platform, const std::string& appPath) {
    std::optional<std::string> manual;
    for (const std::string& folder : manualFolders(appPath)) {
        manual = platform.readShiftJisFile(folder + kManualFileName);
        if (manual) break;
    }
    if (!manual) {
        platform.messageBox(kManualMissing, kManualMissingTitle, kMsgQuestion);
        return;
    }
    text1_->setPlainText(toolkitLines(*manual));
    labels_[2]->setText(toolkitLines(kQuadrantKey));
}

void showHelp(Platform& platform, const std::string& appPath, int fontPt) {
    HelpWindow window(platform, appPath, fontPt);
    window.exec();
}

}  // namespace qel

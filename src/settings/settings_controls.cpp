// The controls of the settings dialog, their captions, fixed tool tips and
// places, and the wiring of their events to the handlers.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/number_text.h"
#include "settings/settings_dialog.h"

namespace qel {
namespace {

template <typename W>
W* named(W* widget, const char* name, const char* tip = nullptr) {
    widget->setObjectName(name);
    if (tip) widget->setToolTip(QString::fromUtf8(tip));
    return widget;
}

Field* field(const char* name, QWidget* parent, const char* tip = nullptr) {
    return named(new Field(parent), name, tip);
}

OptionButton* option(const char* name, const char* caption, QWidget* parent, const char* tip = nullptr) {
    return named(new OptionButton(QString::fromUtf8(caption), parent), name, tip);
}

QCheckBox* check(const char* name, const char* caption, QWidget* parent, const char* tip = nullptr) {
    // A check box takes the focus when clicked, so the field being edited is
    // checked before the box acts.
    auto* box = named(new QCheckBox(QString::fromUtf8(caption), parent), name, tip);
    box->setFocusPolicy(Qt::StrongFocus);
    return box;
}

QLabel* label(const char* name, const char* caption, QWidget* parent, const char* tip = nullptr) {
    return named(new QLabel(QString::fromUtf8(caption), parent), name, tip);
}

ClickableLabel* clickable(const char* name, const char* caption, QWidget* parent) {
    return named(new ClickableLabel(QString::fromUtf8(caption), parent), name);
}

QPushButton* button(const char* name, const char* caption, QWidget* parent, const char* tip = nullptr) {
    auto* b = named(new QPushButton(QString::fromUtf8(caption), parent), name, tip);
    // Return in a field must not press a button behind the field's check.
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QFrame* plainFrame(const char* name, QWidget* parent) {
    auto* f = named(new QFrame(parent), name);
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

// Widgets side by side from the left; inside `frame` when one is given.
QHBoxLayout* row(std::initializer_list<QWidget*> widgets, QWidget* frame = nullptr) {
    auto* line = new QHBoxLayout(frame);
    for (QWidget* w : widgets) line->addWidget(w);
    line->addStretch();
    return line;
}

// a and b side by side, c and d below them.
QGridLayout* square(QWidget* a, QWidget* b, QWidget* c, QWidget* d) {
    auto* grid = new QGridLayout;
    grid->addWidget(a, 0, 0);
    grid->addWidget(b, 0, 1);
    grid->addWidget(c, 1, 0);
    grid->addWidget(d, 1, 1);
    return grid;
}

}  // namespace

void SettingsDialog::createControls() {
    Frame1 = named(new QGroupBox(QString::fromUtf8("画面分割"), this), "Frame1");
    Option16 = option("Option16", "４分割画面", Frame1,
                      "1つのデータの色の決め方を変える事で4通りに表示します.面積が小さい分,拡大図より4倍高速に表示されます.");
    Option3 = option("Option3", "左上全画面", Frame1,
                     "普通の表示.内部は青で明るさを|Z(m)|で決定.外は白黒.黒さを発散の速さで決定.速いほど黒い.");
    Option4 = option("Option4", "右上全画面", Frame1,
                     "内は|Z(ｍ)|の等高線を8色,外は|Z(n)|>2となったときの|Z(n)|の等高線を緑で表示.");
    Option5 = option("Option5", "左下全画面", Frame1,
                     "内は点列の周期で16色.表示しｶｰｿﾙﾃﾞｰﾀ横にも周期の値を表示.外は初めて|Z(n)|>2となったnの等高線を6色表示.");
    Option6 = option("Option6", "右下全画面", Frame1,
                     "各初期点からの最終移動方向を7色表示.右=緑,右上=紫,右下=赤,左=青,左上=黄,左下=水色,上下=白."
                     "明るさは移動量で決定.移動量が大きいほど明るい.");

    Label1 = label("Label1", "現画面を", this, "次の描画倍率を決めます");
    Frame5 = plainFrame("Frame5", this);
    Text1 = field("Text1", Frame5, "次の描画倍率を決めます.");
    Label10 = label("Label10", "倍に拡大", Frame5);
    Option13 = option("Option13", "1倍", Frame5);
    Option14 = option("Option14", "4倍", Frame5);
    Option15 = option("Option15", "8倍", Frame5);
    Option1 = option("Option1", "16倍", Frame5);
    Check5 = check("Check5", "次以降もこの倍率で拡大", this);

    Label9 = clickable("Label9", kNewMagnificationTitle, this);
    Text7 = field("Text7", this);
    Label2 = label("Label2", "初期画面からの現倍率", this);
    Text2 = field("Text2", this);
    Text2->setReadOnly(true);

    Label4 = clickable("Label4", kMandelbrotRows.label4, this);
    Text3 = field("Text3", this, "マウス位置で指示するならこのウィンドウを閉じてその位置をクリック");
    Label3 = label("Label3", "，", this);
    Text5 = field("Text5", this, "マウスで指示するならこのウィンドウを閉じてその位置をクリック");
    Label6 = label("Label6", "）", this);
    Label5 = label("Label5", kMandelbrotRows.label5, this);
    Text4 = field("Text4", this);
    Label8 = label("Label8", "，", this);
    Text6 = field("Text6", this);
    Label7 = label("Label7", "）", this);
    Text4->setReadOnly(true);
    Text6->setReadOnly(true);

    Command1 = button("Command1", "描画開始", this, "この設定で直ちに描画.不適な設定値は変更されることがあります.");
    Command2 = button("Command2", "閉じる", this);
    showPointRows(kMandelbrotRows);

    Frame3 = plainFrame("Frame3", this);
    Option9 = option("Option9", "Mandelbrot集合", Frame3, "Mandelbrot集合を描画します");
    Option10 = option("Option10", "Julia集合", Frame3, "Julia集合を描画します");

    Label11 = label("Label11", kIterationsTitle, this);
    Frame2 = plainFrame("Frame2", this);
    Text8 = field("Text8", Frame2);
    Label12 = label("Label12", "回", Frame2);
    Option2 = option("Option2", "100", Frame2);
    Option7 = option("Option7", "1000", Frame2);
    Option8 = option("Option8", "10000", Frame2);
    Option11 = option("Option11", "100000", Frame2);

    Check2 = check("Check2", "画面消去せずに描画", this, "現画面の上に上書きします.設定を変えてどう変わるかを比較するのに便利.");
    Check1 = check("Check1", "予想必要時間の表示", this,
                   "描画終了まであと何分かかるかを大雑把に予想します."
                   "現ラインまでの描画時間を残りライン数に比例させて表示するだけなので正確な値ではありません");
    Check4 = check("Check4", "10ラインごとの粗表示", this, "隙間だらけですが10倍高速におおよその全体像が見れます");
    Check3 = check("Check3", "Title説明の単純化", this,
                   "小数値データが長くなってｶｰｿﾙデータなどが見れなくなったときのために");

    Text9 = field("Text9", this);
    Label13 = label("Label13", "=t  等高線間隔+明暗 (", this);
    const char* digitNames[] = {"Label14", "Label15", "Label16", "Label17", "Label18", "Label19"};
    const char* digitCaptions[] = {"0", "1", "2", "3", "4", "5 )"};
    for (int k = 0; k < 6; ++k) contourDigits_[k] = clickable(digitNames[k], digitCaptions[k], this);

    // As designed: split screen, zoom 8, the Mandelbrot set.
    for (OptionButton* b : {Option16, Option15, Option9}) b->setChecked(true);
    for (OptionButton* b : {Option16, Option3, Option4, Option5, Option6, Option1, Option13, Option14, Option15,
                            Option9, Option10, Option2, Option7, Option8, Option11})
        b->setFocusPolicy(Qt::StrongFocus);
    for (Field* f : {Text1, Text7, Text2, Text8, Text9}) f->setMaximumWidth(90);

    zoomPresets_ = {{{Option13, 1, "1"}, {Option14, 4, "4"}, {Option15, 8, "8"}, {Option1, 16, "16"}}};
    iterationPresets_ = {{{Option2, 100, "100"},
                          {Option7, 1000, strDouble(1000)},
                          {Option8, 10000, strDouble(10000)},
                          {Option11, 100000, strDouble(100000)}}};
    methodButtons_ = {Option16, Option3, Option4, Option5, Option6};
}

void SettingsDialog::layOutControls() {
    auto* methods = new QVBoxLayout(Frame1);
    methods->addWidget(Option16);
    methods->addLayout(square(Option3, Option4, Option5, Option6));

    row({Text1, Label10, Option13, Option14, Option15, Option1}, Frame5);
    row({Option9, Option10}, Frame3);
    row({Text8, Label12, Option2, Option7, Option8, Option11}, Frame2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addStretch();
    buttons->addWidget(Command2);

    auto* all = new QVBoxLayout(this);
    all->addWidget(Frame1);
    all->addLayout(row({Label1, Frame5}));
    all->addWidget(Check5);
    all->addLayout(square(Label9, Label2, Text7, Text2));
    all->addLayout(row({Label4, Text3, Label3, Text5, Label6}));
    all->addLayout(row({Label5, Text4, Label8, Text6, Label7}));
    all->addLayout(buttons);
    all->addWidget(Frame3);
    all->addLayout(row({Label11, Frame2}));
    all->addLayout(square(Check2, Check1, Check4, Check3));
    const auto& d = contourDigits_;
    all->addLayout(row({Text9, Label13, d[0], d[1], d[2], d[3], d[4], d[5]}));
    // A fixed border: the dialog keeps the size its contents need.
    all->setSizeConstraint(QLayout::SetFixedSize);
}

// The fields are destroyed after the dialog's own part: their last focus
// events must not reach handlers of a dialog that is already gone.
SettingsDialog::~SettingsDialog() {
    for (Field* f : {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9}) f->disconnect(this);
}

void SettingsDialog::connectHandlers() {
    for (Field* f : {Text1, Text3, Text5, Text7, Text8, Text9})
        connect(f, &Field::focusLeft, this, [this, f](Qt::FocusReason reason) { fieldLeft(f, reason); });
    connect(Text1, &Field::focusEntered, this, [this] { Text1_GotFocus(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text8, &QLineEdit::textChanged, this, [this] { Text8_Change(); });

    for (const Preset& p : zoomPresets_)
        connect(p.button, &OptionButton::chosen, this, [this, &p] { chooseZoomPreset(p); });
    for (const Preset& p : iterationPresets_)
        connect(p.button, &OptionButton::chosen, this, [this, &p] { chooseIterationPreset(p); });
    for (int m = 0; m < static_cast<int>(methodButtons_.size()); ++m)
        connect(methodButtons_[m], &OptionButton::chosen, this, [this, m] { chooseMethod(m); });
    connect(Option9, &OptionButton::chosen, this, [this] { Option9_Click(); });
    connect(Option10, &OptionButton::chosen, this, [this] { Option10_Click(); });

    connect(Check1, &QCheckBox::toggled, this, [this](bool on) { s_.showTimeLeft = on; });
    connect(Check4, &QCheckBox::toggled, this, [this](bool on) { s_.lineStep = on ? s_.coarseLineStep : -1; });

    for (int k = 0; k < 6; ++k) connect(contourDigits_[k], &ClickableLabel::clicked, this, [this, k] { chooseContourDigit(k); });
    connect(Label4, &ClickableLabel::clicked, this, [this] {
        Text3->setText("0");
        Text5->setText("0");
    });
    connect(Label9, &ClickableLabel::clicked, this, [this] { Text7->setText("1"); });

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void SettingsDialog::Form_Load() {
    const char* iterationTip =
        "反復計算の最大値を決定します.大きいほど画像は正確鮮明になりますが描画速度が落ちます.既定値=500";
    Label11->setToolTip(QString::fromUtf8(iterationTip));
    Text8->setToolTip(Label11->toolTip());
    Text9->setToolTip(QString::fromUtf8("等高線の間隔や明暗を変えます.J集合のときは3以上にすると面白いかもしれません"));
    Label13->setToolTip(Text9->toolTip());
    Check5->setToolTip(QString::fromUtf8("未チェックのときは描画終了ごとに次の倍率は8倍になります"));
    // Text1 comes first: it takes the focus when the dialog is first shown.
    Text1->setFocus();
}

void SettingsDialog::setFontPointSize(int points) {
    QFont f = font();
    f.setPointSize(points);
    setFont(f);
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindChildrenRecursively)) {
        const QString name = w->objectName();
        if (name.startsWith("Label") || name.startsWith("Option") || name.startsWith("Text") ||
            name.startsWith("Check") || name.startsWith("Command") || name == "Frame1")
            w->setFont(f);
    }
}

}  // namespace qel

#include "platform/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTime>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "platform/qt_picture_file.h"
#include "platform/shift_jis.h"

namespace qel {

static QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void QtPlatform::messageBox(const std::string& text, const std::string& title, int style) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (style == kMsgStop) icon = QMessageBox::Critical;
    if (style == kMsgQuestion) icon = QMessageBox::Question;
    QMessageBox box(icon, q(title), q(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtPlatform::setMainCaption(const std::string& caption) {
    if (main_) main_->setWindowTitle(q(caption));
}

std::string QtPlatform::mainCaption() const { return main_ ? main_->windowTitle().toStdString() : std::string(); }

void QtPlatform::pictureChanged() {
    if (picture_) picture_->showChanges(false);
}

void QtPlatform::showPictureNow() {
    if (picture_) picture_->showChanges(true);
}

float QtPlatform::timer() { return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay() / 1000.0); }

void QtPlatform::doEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::setBusyPointer(bool busy) {
    if (busy == busyPointer_) return;
    busyPointer_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatform::endProgram() {
    std::fflush(nullptr);
    std::_Exit(0);
}

QString QtPlatform::qtFilter(const std::string& filter) {
    auto bar = filter.find('|');
    if (bar == std::string::npos) return q(filter);
    const std::size_t next = filter.find('|', bar + 1);
    const std::string description = filter.substr(0, bar),
                      pattern = "(" + filter.substr(bar + 1, next == std::string::npos ? next : next - bar - 1) + ")";
    const QString shown = description.ends_with(pattern) ? q(description) : q(description) + " " + q(pattern);
    if (next == std::string::npos) return shown;
    return shown + ";;" + qtFilter(filter.substr(next + 1));
}

std::string QtPlatform::showSave(const std::string& title, const std::string& fileName, const std::string& filter) {
    return QFileDialog::getSaveFileName(main_, q(title), q(fileName), qtFilter(filter)).toStdString();
}

std::string QtPlatform::showOpen(const std::string& title, const std::string& fileName, const std::string& filter) {
    return QFileDialog::getOpenFileName(main_, q(title), q(fileName), qtFilter(filter)).toStdString();
}

std::optional<Surface> QtPlatform::loadPicture(const std::string& path, int width, int height) {
    return readPictureFile(path, width, height);
}

std::string QtPlatform::programFolder() const { return QCoreApplication::applicationDirPath().toStdString(); }

bool QtPlatform::folderWritable(const std::string& folder) const {
    // The user's permissions as the system checks them (access() on Unix),
    // so root may write where others may not.
    const QFileInfo info(q(folder));
    return info.isDir() && info.isWritable();
}

std::string QtPlatform::picturesFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString();
}

std::string QtPlatform::homeFolder() const { return QDir::homePath().toStdString(); }

bool QtPlatform::makeFolder(const std::string& folder) { return QDir().mkpath(q(folder)); }

std::optional<std::string> QtPlatform::readShiftJisFile(const std::string& path) { return qel::readShiftJisFile(path); }

int QtPlatform::twipsPerPixel() const {
    QScreen* s = QApplication::primaryScreen();
    double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    if (dpi <= 0) dpi = 96.0;
    return static_cast<int>(1440.0 / dpi + 0.5);
}

bool installJapaneseQtTexts(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

}  // namespace qel

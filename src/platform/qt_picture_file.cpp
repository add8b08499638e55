#include "platform/qt_picture_file.h"

#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>
#include <cstdlib>

namespace qel {
namespace {

// A file that notes a read asking for more than is left: Qt's reader keeps
// what it has read when the file ends before the picture does, and leaves
// the rest of the picture as it was.
class EndWatchingFile : public QFile {
public:
    using QFile::QFile;
    bool ranShort() const { return ranShort_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 got = QFile::readData(data, maxSize);
        if (got < maxSize) ranShort_ = true;
        return got;
    }

private:
    bool ranShort_ = false;
};

// A cleared image of the size and kind the file declares, within the
// memory limit: the reader fills it in place, so that no pixel it skips
// holds what the memory held before.
QImage clearedImageFor(QImageReader& reader) {
    const QSize declared = reader.size();  // a negative height: rows from the top
    QImage image;
    if (!QImageIOHandler::allocateImage(QSize(declared.width(), std::abs(declared.height())), reader.imageFormat(),
                                        &image))
        return {};
    image.fill(0);
    return image;
}

Surface clippedOnBlack(const QImage& image, int width, int height) {
    Surface out(width, height);
    const int w = std::min(width, image.width()), h = std::min(height, image.height());
    QImage part = image.copy(0, 0, w, h);
    // Colours as written: transparency is not blended in.
    if (part.format() != QImage::Format_RGB32 && part.format() != QImage::Format_ARGB32)
        part = part.convertToFormat(QImage::Format_RGB32);
    for (int v = 0; v < h; ++v) {
        const auto* row = reinterpret_cast<const QRgb*>(part.constScanLine(v));
        for (int u = 0; u < w; ++u) out.setPixel(u, v, rgb(qRed(row[u]), qGreen(row[u]), qBlue(row[u])));
    }
    return out;
}

}  // namespace

std::optional<Surface> readPictureFile(const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) return std::nullopt;
    EndWatchingFile file(QString::fromStdString(path));
    // Unbuffered, every read of the image reader reaches readData as asked.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return std::nullopt;
    QImageReader::setAllocationLimit(kPictureMemoryLimitMB);
    QImageReader reader(&file, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage image = clearedImageFor(reader);
    if (image.isNull() || !reader.read(&image) || file.ranShort()) return std::nullopt;
    return clippedOnBlack(image, width, height);
}

}  // namespace qel

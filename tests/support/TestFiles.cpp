#include "TestFiles.h"

#include <QImage>

#include <fstream>
#include <sstream>
#include <sys/resource.h>

namespace mapreg {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool WritePlainBitmap(const std::filesystem::path& path, QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(color);
    return image.save(QString::fromStdString(path.string()), "BMP");
}

long PeakRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace mapreg

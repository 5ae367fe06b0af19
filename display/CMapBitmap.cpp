#include "display/CMapBitmap.h"

#include "display/CBmpDecoder.h"
#include "display/CDisplayCapabilities.h"
#include "display/CPalette.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

// The bitmap resources are compiled into this library; referencing their initialiser keeps the
// linker from dropping them from a static link. Qt's initialiser lives outside any namespace.
static void InitBitmapResources() {
    Q_INIT_RESOURCE(worldmap);
}

namespace mapreg {

namespace {

bool g_bResourceFailure = false;

// Closes a file descriptor when it goes out of scope.
class CFileHandle {
public:
    explicit CFileHandle(int fd) : m_fd(fd) {}
    ~CFileHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// A failed open. Insufficient kernel memory for an open is a read fault: "out of memory" is
// kept for a picture that does not fit.
BitmapLoadResult OpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return BitmapLoadResult::NotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
        return BitmapLoadResult::AccessDenied;
    default:
        return BitmapLoadResult::ReadFault;
    }
}

} // namespace

CMapBitmap::CMapBitmap() : CMapBitmap(CDisplayCapabilities::Screen()) {}

CMapBitmap::CMapBitmap(const CDisplayCapabilities& display) : m_pDisplay(&display) {}

CMapBitmap::~CMapBitmap() = default;

BitmapLoadResult CMapBitmap::LoadFromFile(const std::string& path) {
    // Not blocking on open, so that a named pipe in place of a map is refused instead of waited on.
    CFileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        return OpenError(errno);
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return BitmapLoadResult::AccessDenied;
    }
    QFile file;
    if (!file.open(fd.Get(), QIODevice::ReadOnly | QIODevice::Unbuffered,
                   QFileDevice::DontCloseHandle)) {
        return BitmapLoadResult::ReadFault;
    }
    return Load(file);
}

void CMapBitmap::SetResourceFailureForTesting(bool bFail) {
    g_bResourceFailure = bFail;
}

BitmapLoadResult CMapBitmap::LoadFromResource(unsigned id) {
    InitBitmapResources();
    QFile file(QStringLiteral(":/mapreg/bitmaps/%1.bmp").arg(id & 0xffffu));
    if (g_bResourceFailure || !file.open(QIODevice::ReadOnly)) {
        return BitmapLoadResult::NotFound;
    }
    return Load(file);
}

BitmapLoadResult CMapBitmap::Load(QIODevice& device) {
    QImage image;
    CBmpDecoder::ColorInfo colors;
    switch (CBmpDecoder::Decode(device, image, colors)) {
    case CBmpDecoder::Status::Ok:
        break;
    case CBmpDecoder::Status::OutOfMemory:
        return BitmapLoadResult::OutOfMemory;
    case CBmpDecoder::Status::NotBitmap:
        return BitmapLoadResult::NotABitmap;
    case CBmpDecoder::Status::Truncated:
        return BitmapLoadResult::Truncated;
    case CBmpDecoder::Status::ReadFailed:
        return BitmapLoadResult::ReadFault;
    }

    Picture picture;
    try {
        picture.pImage = std::make_unique<QImage>(std::move(image));
    } catch (const std::bad_alloc&) {
        return BitmapLoadResult::OutOfMemory;
    }
    picture.pPalette = BuildPalette(colors.nBitCount, colors.nColorsUsed, colors.colorTable);
    // Only the complete picture replaces the one held.
    m_picture = std::move(picture);
    return BitmapLoadResult::Ok;
}

// A palette display shows at most 256 colours at once. A picture with a colour table gets a palette
// of its own colours, as many as its header says it uses (all its depth allows when it names
// none); a deeper picture gets the halftone palette, or the colour list stored in the file when
// its header names at most 256 colours and the file holds them all. A failure here only costs the
// palette: the picture is then shown with the display's default colours.
std::unique_ptr<CPalette> CMapBitmap::BuildPalette(int bitCount, std::uint32_t colorsUsed,
                                                   const std::vector<QRgb>& table) const {
    if (!m_pDisplay->HasPalette()) {
        return nullptr;
    }
    try {
        if (bitCount <= 8) {
            const std::uint32_t full = std::uint32_t{1} << bitCount;
            const std::uint32_t count = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
            std::vector<QRgb> entries(table.begin(),
                                      table.begin() + std::min<std::size_t>(table.size(), count));
            entries.resize(count, qRgb(0, 0, 0));
            return std::make_unique<CPalette>(std::move(entries));
        }
        if (colorsUsed != 0 && colorsUsed <= CPalette::kMaxEntries && table.size() >= colorsUsed) {
            return std::make_unique<CPalette>(
                std::vector<QRgb>(table.begin(), table.begin() + colorsUsed));
        }
        return std::make_unique<CPalette>(CPalette::Halftone());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace mapreg

#include "import/CRasterImporter.h"

#include "import/BandRoles.h"

#include "georef/DeviceError.h"
#include "import/CBmpStreamWriter.h"
#include "resources/StringTable.h"

#include <cpl_conv.h>
#include <cpl_minixml.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace mapreg {

namespace {

// The buffer of source samples read at a time; rows are read in bands of about this size.
constexpr std::size_t kChunkBytes = std::size_t{8} << 20;
// A .prj beside a world file is a line of WKT; anything larger is not one.
constexpr std::uintmax_t kMaxPrjBytes = 1 << 16;
// The widest picture converted: one row of samples read as doubles (up to four bands) stays
// within 256 MB, whatever the picture's height.
constexpr int kMaxWidth = 8 << 20;
// VRTs naming VRTs are followed this deep when their sources are checked.
constexpr int kMaxVrtDepth = 8;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsVrtFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(64, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t start = head.find_first_not_of(" \t\r\n");
    return start != std::string::npos && Lower(head.substr(start)).starts_with("<vrtdataset");
}

// The files a VRT names as its sources, relative ones resolved against the VRT's folder; true
// when one of its bands is a raw band (which reads the bytes of any file the user can read).
bool CollectVrtSources(const CPLXMLNode* node, const std::filesystem::path& folder,
                       std::vector<std::filesystem::path>& sources) {
    bool rawBand = false;
    for (; node != nullptr; node = node->psNext) {
        if (node->eType != CXT_Element) {
            continue;
        }
        rawBand = rawBand || EQUAL(CPLGetXMLValue(node, "subClass", ""), "VRTRawRasterBand");
        if (EQUAL(node->pszValue, "SourceFilename")) {
            const bool relative = CPLTestBool(CPLGetXMLValue(node, "relativeToVRT", "0"));
            const char* name = nullptr;
            for (const CPLXMLNode* child = node->psChild; child != nullptr; child = child->psNext) {
                name = child->eType == CXT_Text ? child->pszValue : name;
            }
            if (name != nullptr) {
                sources.push_back(relative ? folder / name : std::filesystem::path(name));
            }
        }
        rawBand = CollectVrtSources(node->psChild, folder, sources) || rawBand;
    }
    return rawBand;
}

bool IsSpecialFile(const std::filesystem::file_status& status) {
    namespace fs = std::filesystem;
    return fs::is_fifo(status) || fs::is_socket(status) || fs::is_character_file(status) ||
           fs::is_block_file(status);
}

// Why a source must not be opened: the file at fault and the message that says why.
struct SourceRefusal {
    std::string file; // empty: nothing refused
    unsigned messageId = 0;
};

// Checks the files GDAL may open for path before it opens any: path itself, the files beside
// it named after it (sidecars such as .aux.xml, .prj, world files, .ovr, .msk) and, for a VRT,
// the same for every source it names. A pipe or a device among them is refused (reading one
// blocks or never ends), and so is a VRT raw band.
SourceRefusal CheckSourceFiles(const std::filesystem::path& path, int depth = 0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        return {}; // not in the file system (one of GDAL's own paths), or nothing to read
    }
    if (IsSpecialFile(status)) {
        return {path.string(), IDS_IMPORT_NOT_PLAIN_FILE};
    }
    if (!fs::is_regular_file(status)) {
        return {};
    }
    const std::string stem = Lower(path.stem().string());
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = Lower(it->path().filename().string());
        if (name != stem && !name.starts_with(stem + ".") && !name.starts_with(stem + "_")) {
            continue;
        }
        std::error_code statError;
        if (IsSpecialFile(it->status(statError)) && !statError) {
            return {it->path().string(), IDS_IMPORT_NOT_PLAIN_FILE};
        }
    }
    if (depth >= kMaxVrtDepth || !IsVrtFile(path)) {
        return {};
    }
    std::vector<fs::path> sources;
    if (CPLXMLNode* tree = CPLParseXMLFile(path.c_str())) {
        const bool rawBand = CollectVrtSources(tree, path.parent_path(), sources);
        CPLDestroyXMLNode(tree);
        if (rawBand) {
            return {path.string(), IDS_IMPORT_VRT_RAW_BAND};
        }
    }
    for (const fs::path& source : sources) {
        if (SourceRefusal refusal = CheckSourceFiles(source, depth + 1); !refusal.file.empty()) {
            return refusal;
        }
    }
    return {};
}

// The permission bits every plain file in GDAL's list shares: what the source lets others see.
unsigned SharedMode(GDALDataset& dataset) {
    unsigned mode = 0777;
    char** files = dataset.GetFileList();
    for (char** file = files; file != nullptr && *file != nullptr; ++file) {
        struct stat info {};
        if (::stat(*file, &info) == 0 && S_ISREG(info.st_mode)) {
            mode &= info.st_mode & 0777;
        }
    }
    CSLDestroy(files);
    return mode;
}

std::uint8_t ToByte(double value) {
    if (!(value > 0.0)) { // NaN too
        return 0;
    }
    return value >= 255.0 ? 255 : static_cast<std::uint8_t>(value + 0.5);
}

// A colour component c (0..255) seen through opacity a (0..1) against white.
double OnWhite(double c, double a) {
    return c * a + 255.0 * (1.0 - a);
}

} // namespace

void CRasterImporter::SDatasetCloser::operator()(GDALDataset* dataset) const {
    GDALClose(GDALDataset::ToHandle(dataset));
}

void CRasterImporter::SSrsDeleter::operator()(OGRSpatialReference* srs) const {
    srs->Release();
}

CRasterImporter::CRasterImporter(const std::string& sourcePath) : m_strSource(sourcePath) {
    try {
        Open(sourcePath);
    } catch (const std::bad_alloc&) {
        m_pDataset.reset();
        Fail(Status::TooLarge, IDS_IMPORT_NO_MEMORY, "");
    }
}

void CRasterImporter::Open(const std::string& sourcePath) {
    if (const SourceRefusal refusal = CheckSourceFiles(sourcePath); !refusal.file.empty()) {
        Fail(Status::CannotRead, IDS_IMPORT_CANNOT_READ,
             FormatString1(refusal.messageId, refusal.file));
        return;
    }
    m_pDataset.reset(GDALDataset::FromHandle(GDALOpenEx(
        sourcePath.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    if (!m_pDataset || m_pDataset->GetRasterCount() < 1 || m_pDataset->GetRasterXSize() < 1 ||
        m_pDataset->GetRasterYSize() < 1) {
        m_pDataset.reset();
        Fail(Status::CannotRead, IDS_IMPORT_CANNOT_READ, CGdalSession::LastError());
        return;
    }
    Describe(sourcePath);
}

CRasterImporter::~CRasterImporter() = default;

CRasterImporter::Status CRasterImporter::Fail(Status status, unsigned messageId,
                                              const std::string& detail) {
    m_status = status;
    m_strMessage = FormatString1(messageId, m_strSource);
    if (!detail.empty()) {
        m_strMessage += "  " + detail;
    }
    return status;
}

void CRasterImporter::Describe(const std::string& sourcePath) {
    GDALDataset& ds = *m_pDataset;
    m_nWidth = ds.GetRasterXSize();
    m_nHeight = ds.GetRasterYSize();
    GDALDriver* driver = ds.GetDriver();
    m_bBitmapSource = driver != nullptr && EQUAL(driver->GetDescription(), "BMP");

    const SBandRoles roles = FindBandRoles(ds);
    if (roles.palette) {
        const GDALColorTable* table = ds.GetRasterBand(1)->GetColorTable();
        m_form = Form::Palette;
        m_colorBands = {1};
        m_nAlphaBand = roles.alpha;
        for (int i = 0; i < table->GetColorEntryCount(); ++i) {
            const GDALColorEntry* e = table->GetColorEntry(i);
            const double a = e->c4 / 255.0;
            m_paletteColors.push_back({OnWhite(e->c1, a), OnWhite(e->c2, a), OnWhite(e->c3, a)});
        }
    } else {
        m_form = roles.colour.size() == 3 ? Form::Rgb : Form::Grey;
        m_colorBands = roles.colour;
        m_nAlphaBand = roles.colourAlpha;
    }
    for (int band : m_colorBands) {
        m_bAllBytes = m_bAllBytes && ds.GetRasterBand(band)->GetRasterDataType() == GDT_Byte;
    }
    if (m_nAlphaBand) {
        const GDALDataType type = ds.GetRasterBand(m_nAlphaBand)->GetRasterDataType();
        m_bAllBytes = m_bAllBytes && type == GDT_Byte;
        m_dAlphaMax = type == GDT_Byte ? 255.0 : type == GDT_UInt16 ? 65535.0 : 0.0;
    }
    // Up to 256 byte indices keep their palette; other palettes become colours.
    m_bExpandPalette =
        m_form == Form::Palette && (!m_bAllBytes || m_nAlphaBand || m_paletteColors.size() > 256);
    m_nBitCount = m_form == Form::Rgb || m_bExpandPalette ? 24 : 8;
    const std::size_t paletteSize = m_nBitCount == 24         ? 0
                                    : m_form == Form::Palette ? m_paletteColors.size()
                                                              : 256;
    if (CBmpStreamWriter::FileSize(m_nWidth, m_nHeight, m_nBitCount, paletteSize) == 0) {
        Fail(Status::TooLarge, IDS_IMPORT_TOO_LARGE, "");
        return;
    }
    if (m_nWidth > kMaxWidth) {
        Fail(Status::TooLarge, IDS_IMPORT_TOO_WIDE, "");
        return;
    }
    m_nModeLimit = SharedMode(ds);

    m_dGcpResidual = std::nan("");
    m_bHasGeoTransform = ds.GetGeoTransform(m_geoTransform.data()) == CE_None;
    // GDAL hands out the identity as a placeholder for a raster georeferenced by control
    // points; it means "no geotransform", as GDAL itself reads it.
    constexpr std::array<double, 6> kIdentity{0, 1, 0, 0, 0, 1};
    if (ds.GetGCPCount() > 0 && (!m_bHasGeoTransform || m_geoTransform == kIdentity)) {
        FitGcps();
    } else if (m_bHasGeoTransform) {
        ReadSpatialRef(sourcePath);
    }
}

void CRasterImporter::FitGcps() {
    GDALDataset& ds = *m_pDataset;
    m_bHasGeoTransform = false;
    std::vector<GDAL_GCP> usable;
    const GDAL_GCP* gcps = ds.GetGCPs();
    for (int i = 0; i < ds.GetGCPCount(); ++i) {
        const GDAL_GCP& g = gcps[i];
        if (std::isfinite(g.dfGCPPixel) && std::isfinite(g.dfGCPLine) && std::isfinite(g.dfGCPX) &&
            std::isfinite(g.dfGCPY)) {
            usable.push_back(g);
        }
    }
    const OGRSpatialReference* srs = ds.GetGCPSpatialRef();
    if (usable.size() < 3 || srs == nullptr ||
        !GDALGCPsToGeoTransform(static_cast<int>(usable.size()), usable.data(),
                                m_geoTransform.data(), TRUE)) {
        m_bTooFewGcps = true;
        m_geoTransform = {0, 1, 0, 0, 0, 1};
        return;
    }
    m_pSpatialRef.reset(srs->Clone());
    m_pSpatialRef->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    m_bHasGeoTransform = true;
    m_bGcpFit = true;
    // Residuals measured on the ellipsoid: each control point against the fit at its pixel.
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> ct(
        OGRCreateCoordinateTransformation(m_pSpatialRef.get(), &wgs84));
    const std::array<double, 6>& gt = m_geoTransform;
    double largest = 0.0;
    for (const GDAL_GCP& g : usable) {
        double x[2] = {g.dfGCPX, gt[0] + g.dfGCPPixel * gt[1] + g.dfGCPLine * gt[2]};
        double y[2] = {g.dfGCPY, gt[3] + g.dfGCPPixel * gt[4] + g.dfGCPLine * gt[5]};
        if (!ct || !ct->Transform(2, x, y)) {
            largest = std::nan("");
            break;
        }
        largest = std::max(largest, GeodesicMetres({x[0], y[0]}, {x[1], y[1]}));
    }
    m_dGcpResidual = largest;
}

void CRasterImporter::ReadSpatialRef(const std::string& sourcePath) {
    if (const OGRSpatialReference* srs = m_pDataset->GetSpatialRef()) {
        m_pSpatialRef.reset(srs->Clone());
    } else {
        // A world file names no coordinate system; a .prj beside the picture may.
        namespace fs = std::filesystem;
        for (const char* ext : {".prj", ".PRJ"}) {
            const fs::path prj = fs::path(sourcePath).replace_extension(ext);
            std::error_code ec;
            const auto size = fs::file_size(prj, ec);
            if (ec || size > kMaxPrjBytes) {
                continue;
            }
            std::ifstream in(prj, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            auto read = std::unique_ptr<OGRSpatialReference, SSrsDeleter>(new OGRSpatialReference);
            if (read->SetFromUserInput(text.str().c_str(),
                                       OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS) ==
                OGRERR_NONE) {
                m_pSpatialRef = std::move(read);
                break;
            }
        }
    }
    if (m_pSpatialRef) {
        m_pSpatialRef->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    }
}

std::vector<std::string> CRasterImporter::ReadableExtensions() {
    CGdalSession session;
    std::set<std::string> found;
    GDALDriverManager* manager = GetGDALDriverManager();
    for (int i = 0; i < manager->GetDriverCount(); ++i) {
        GDALDriver* driver = manager->GetDriver(i);
        if (driver->GetMetadataItem(GDAL_DCAP_RASTER) == nullptr) {
            continue;
        }
        const char* list = driver->GetMetadataItem(GDAL_DMD_EXTENSIONS);
        std::istringstream words(list != nullptr ? list : "");
        for (std::string ext; words >> ext;) {
            std::transform(ext.begin(), ext.end(), ext.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            found.insert(ext);
        }
    }
    found.erase("bmp");
    std::vector<std::string> out{"bmp"};
    out.insert(out.end(), found.begin(), found.end());
    return out;
}

bool CRasterImporter::MeasureRange(const Progress& progress) {
    // The colour samples' real range, for scaling them to 8 bits; no-data values and NaN are
    // not samples. Palette indices are looked up, not scaled.
    m_dMin = std::numeric_limits<double>::infinity();
    m_dMax = -m_dMin;
    double alphaMax = 0.0;
    const bool measureAlpha = m_nAlphaBand && m_dAlphaMax == 0.0;
    std::vector<int> bands = m_form == Form::Palette ? std::vector<int>{} : m_colorBands;
    if (measureAlpha) {
        bands.push_back(m_nAlphaBand);
    }
    if (bands.empty()) {
        return true;
    }
    const std::size_t rowSamples = static_cast<std::size_t>(m_nWidth);
    const int rows = static_cast<int>(
        std::clamp<std::size_t>(kChunkBytes / (rowSamples * sizeof(double)), 1, 1 << 20));
    std::vector<double> buffer(rowSamples * static_cast<std::size_t>(std::min(rows, m_nHeight)));
    const double steps = static_cast<double>(bands.size()) * m_nHeight;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        GDALRasterBand* band = m_pDataset->GetRasterBand(bands[b]);
        int hasNoData = 0;
        const double noData = band->GetNoDataValue(&hasNoData);
        const bool isAlpha = bands[b] == m_nAlphaBand;
        for (int y = 0; y < m_nHeight; y += rows) {
            const int n = std::min(rows, m_nHeight - y);
            if (band->RasterIO(GF_Read, 0, y, m_nWidth, n, buffer.data(), m_nWidth, n, GDT_Float64,
                               0, 0, nullptr) != CE_None) {
                Fail(Status::CannotRead, IDS_IMPORT_CANNOT_READ, CGdalSession::LastError());
                return false;
            }
            for (std::size_t i = 0; i < rowSamples * static_cast<std::size_t>(n); ++i) {
                const double v = buffer[i];
                if (std::isnan(v) || (hasNoData && v == noData)) {
                    continue;
                }
                if (isAlpha) {
                    alphaMax = std::max(alphaMax, v);
                } else {
                    m_dMin = std::min(m_dMin, v);
                    m_dMax = std::max(m_dMax, v);
                }
            }
            if (progress && !progress(0.5 * (static_cast<double>(b) * m_nHeight + y + n) / steps)) {
                Fail(Status::Cancelled, 0, "");
                return false;
            }
        }
    }
    if (measureAlpha) {
        m_dAlphaMax = alphaMax;
    }
    return true;
}

CRasterImporter::Status CRasterImporter::WriteBitmap(const std::string& path,
                                                     const Progress& progress) {
    try {
        return Write(path, progress);
    } catch (const std::bad_alloc&) {
        // The writer has removed its temporary file on the way out.
        return Fail(Status::TooLarge, IDS_IMPORT_NO_MEMORY, "");
    }
}

CRasterImporter::Status CRasterImporter::Write(const std::string& path, const Progress& progress) {
    if (!m_pDataset) {
        return m_status;
    }
    if (m_status == Status::TooLarge) {
        return m_status;
    }
    m_status = Status::Ok;
    m_strMessage.clear();
    CGdalSession session;
    m_strTarget = path;
    const bool scaled = !m_bAllBytes;
    if (scaled && !MeasureRange(progress)) {
        return m_status;
    }
    std::vector<CBmpStreamWriter::Rgb> palette;
    if (m_nBitCount == 8) {
        for (int i = 0; i < 256; ++i) {
            const auto g = static_cast<std::uint8_t>(i);
            palette.push_back({g, g, g});
        }
        if (m_form == Form::Palette) {
            palette.clear();
            for (const auto& c : m_paletteColors) {
                palette.push_back({ToByte(c[0]), ToByte(c[1]), ToByte(c[2])});
            }
        }
    }
    CBmpStreamWriter writer;
    CFileError error = writer.Open(path, m_nWidth, m_nHeight, m_nBitCount, palette, m_nModeLimit);
    if (!error.IsError()) {
        if (!Convert(writer, progress, scaled ? 0.5 : 0.0)) {
            return m_status; // the writer removes its temporary file
        }
        error = writer.Commit();
    }
    if (error.IsError()) {
        m_status = Status::CannotWrite;
        m_strMessage = FormatString1(IDS_IMPORT_CANNOT_WRITE, path) + "  " +
                       std::string(LoadStringId(error.ReasonId(true)));
    }
    return m_status;
}

bool CRasterImporter::Convert(CBmpStreamWriter& writer, const Progress& progress,
                              double progressFrom) {
    GDALDataset& ds = *m_pDataset;
    const std::size_t width = static_cast<std::size_t>(m_nWidth);
    const std::size_t stride = CBmpStreamWriter::RowStride(m_nWidth, m_nBitCount);
    // 8-bit sources without alpha are read straight into the bitmap's rows: blue, green, red
    // in that order, or the index or grey value; anything else goes through samples.
    const bool direct = m_bAllBytes && m_nAlphaBand == 0 && !m_bExpandPalette;
    std::vector<int> bands(m_colorBands.rbegin(), m_colorBands.rend());
    if (!direct && m_nAlphaBand) {
        bands.push_back(m_nAlphaBand);
    }
    const int bandCount = static_cast<int>(bands.size());
    const std::size_t sampleBytes = direct ? 1 : sizeof(double);
    const std::size_t rowBytes = direct ? stride : width * bands.size() * sampleBytes;
    int blockX = 0;
    int blockY = 0;
    ds.GetRasterBand(bands.front())->GetBlockSize(&blockX, &blockY);
    int rows = static_cast<int>(std::clamp<std::size_t>(kChunkBytes / rowBytes, 1, 1 << 20));
    if (blockY > 0 && rows > blockY) {
        rows -= rows % blockY; // whole blocks, so that no block is decoded twice
    }
    rows = std::min(rows, m_nHeight);
    // Rows read in whole blocks are done with once read: dropping their blocks from GDAL's
    // cache keeps the memory of a conversion independent of the picture's size.
    const bool dropBlocks = blockY > 0 && rows % blockY == 0;

    std::vector<unsigned char> chunk(rowBytes * static_cast<std::size_t>(rows));
    std::string row(direct ? 0 : stride, '\0');
    const double scale = m_dMax > m_dMin ? 255.0 / (m_dMax - m_dMin) : 0.0;
    const auto colour = [&](double v) {
        return m_bAllBytes ? v : scale > 0.0 ? (v - m_dMin) * scale : 0.0;
    };
    for (int y = 0; y < m_nHeight; y += rows) {
        const int n = std::min(rows, m_nHeight - y);
        const CPLErr read =
            direct ? ds.RasterIO(GF_Read, 0, y, m_nWidth, n, chunk.data(), m_nWidth, n, GDT_Byte,
                                 bandCount, bands.data(), bandCount, static_cast<GSpacing>(stride),
                                 1, nullptr)
                   : ds.RasterIO(GF_Read, 0, y, m_nWidth, n, chunk.data(), m_nWidth, n, GDT_Float64,
                                 bandCount, bands.data(),
                                 static_cast<GSpacing>(sampleBytes * bands.size()),
                                 static_cast<GSpacing>(rowBytes), sizeof(double), nullptr);
        if (read != CE_None) {
            Fail(Status::CannotRead, IDS_IMPORT_CANNOT_READ, CGdalSession::LastError());
            return false;
        }
        for (int r = 0; r < n; ++r) {
            const unsigned char* source = chunk.data() + rowBytes * static_cast<std::size_t>(r);
            if (!direct) {
                const auto* s = reinterpret_cast<const double*>(source);
                for (std::size_t x = 0; x < width; ++x, s += bandCount) {
                    double a = 1.0;
                    if (m_nAlphaBand) {
                        const double alpha = s[bandCount - 1];
                        a = m_dAlphaMax > 0.0 ? std::clamp(alpha / m_dAlphaMax, 0.0, 1.0) : 1.0;
                        a = std::isnan(a) ? 1.0 : a;
                    }
                    if (m_form == Form::Palette) {
                        const double index = s[0];
                        static constexpr std::array<double, 3> kBlack{0.0, 0.0, 0.0};
                        const auto& c =
                            index >= 0.0 && index < static_cast<double>(m_paletteColors.size())
                                ? m_paletteColors[static_cast<std::size_t>(index)]
                                : kBlack;
                        for (int k = 0; k < 3; ++k) {
                            row[3 * x + static_cast<std::size_t>(k)] =
                                static_cast<char>(ToByte(OnWhite(c[2 - k], a)));
                        }
                    } else if (m_form == Form::Grey) {
                        row[x] = static_cast<char>(ToByte(OnWhite(colour(s[0]), a)));
                    } else {
                        for (std::size_t k = 0; k < 3; ++k) {
                            row[3 * x + k] = static_cast<char>(ToByte(OnWhite(colour(s[k]), a)));
                        }
                    }
                }
            }
            const std::string_view out =
                direct ? std::string_view(reinterpret_cast<const char*>(source), stride)
                       : std::string_view(row);
            if (const CFileError error = writer.WriteRow(y + r, out); error.IsError()) {
                m_status = Status::CannotWrite;
                m_strMessage = FormatString1(IDS_IMPORT_CANNOT_WRITE, m_strTarget) + "  " +
                               std::string(LoadStringId(error.ReasonId(true)));
                return false;
            }
        }
        if (dropBlocks) {
            for (int i = 1; i <= ds.GetRasterCount(); ++i) {
                ds.GetRasterBand(i)->FlushCache(false);
            }
        }
        if (progress && !progress(progressFrom + (1.0 - progressFrom) * (y + n) /
                                                     static_cast<double>(m_nHeight))) {
            Fail(Status::Cancelled, 0, "");
            return false;
        }
    }
    return true;
}

} // namespace mapreg

#include "CPictureImport.h"

#include "CBmpDecoder.h"
#include "CCalibration.h"
#include "CGpsDoc.h"
#include "CUserPrompt.h"
#include "CWorkerJob.h"
#include "CalibrationCheck.h"
#include "StringTable.h"
#include "TextFileFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace {

// How long the worker may take to list the formats it reads.
constexpr int kFormatsTimeoutMs = 10000;

bool IsBmpName(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".bmp";
}

bool IsWritableFolder(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

// The calibration the worker found in the picture ("calibration" and three "mark" lines).
struct FoundCalibration {
    CCalibration calibration;
    double deviation = 0.0;
    double deviceError = 0.0;
    bool deviceErrorVisible = false;
};

std::optional<FoundCalibration> ReadCalibration(const std::vector<std::string>& lines) {
    if (lines.size() != 5) {
        return std::nullopt;
    }
    FoundCalibration found;
    std::istringstream head(lines[1]);
    head.imbue(std::locale::classic());
    std::string word;
    int type = -1;
    int visible = 0;
    CCalibration& c = found.calibration;
    head >> word >> type >> c.zone >> c.letter >> found.deviation >> found.deviceError >> visible;
    const auto coordType = CoordTypeOfNumber(type);
    if (!head || word != "calibration" || !coordType) {
        return std::nullopt;
    }
    c.coordType = *coordType;
    c.letter = c.letter == '-' ? 0 : c.letter;
    found.deviceErrorVisible = visible != 0;
    for (std::size_t i = 0; i < 3; ++i) {
        std::istringstream mark(lines[2 + i]);
        mark.imbue(std::locale::classic());
        mark >> word >> c.picture[i].x >> c.picture[i].y >> c.world[i].x >> c.world[i].y;
        if (!mark || word != "mark") {
            return std::nullopt;
        }
    }
    return found;
}

} // namespace

CPictureImport::CPictureImport(CGpsDoc& doc, CUserPrompt& prompt, QWidget* pParent)
    : m_doc(doc), m_prompt(prompt), m_pParent(pParent) {}

std::string CPictureImport::ChooserFilter() {
    // The worker's GDAL knows the formats; asked once per run of the program.
    static std::vector<std::string> extensions;
    if (extensions.empty()) {
        const CWorkerJob::Result listed = CWorkerJob::RunQuiet({"formats"}, kFormatsTimeoutMs);
        if (listed.Succeeded()) {
            extensions = listed.lines;
        }
    }
    std::string patterns = "*.bmp";
    for (const std::string& ext : extensions) {
        if (ext != "bmp") {
            patterns += ";*." + ext;
        }
    }
    return std::string(LoadStringId(IDS_IMPORT_FILTER)) + "|" + patterns + "|" +
           std::string(LoadStringId(IDS_BITMAP_FILTER));
}

void CPictureImport::OnNewBitmap() {
    const auto chosen =
        m_prompt.ChooseFileToOpen("bmp", ChooserFilter(), LoadStringId(IDS_OPEN_BITMAP_TITLE));
    if (chosen && !chosen->empty()) {
        Open(*chosen);
    }
}

void CPictureImport::Open(const std::string& path) {
    if (IsBmpName(path)) {
        m_doc.OpenNewBitmap(path);
        return;
    }
    // The worker reads the picture; this window never holds a decoder.
    CWorkerJob job(m_pParent, FormatString1(IDS_IMPORT_PROGRESS, path));
    const CWorkerJob::Result checked = job.Run({"import", "--check", "--", path});
    if (checked.end == CWorkerJob::End::Cancelled) {
        return;
    }
    if (!checked.Succeeded()) {
        m_prompt.ShowMessage(IDS_IMPORT_CANNOT_READ, checked.Message(), MsgIcon::Stop,
                             MsgButtons::Ok);
        return;
    }
    // A picture this program could not hold once converted is refused before converting: a
    // tiny file may declare a picture of many gigabytes.
    std::istringstream size(checked.lines.empty() ? std::string() : checked.lines[0]);
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    if (!(size >> width >> height) || !CBmpDecoder::FitsMemoryBudget(width * height * 4)) {
        m_prompt.MessageBoxId(IDS_OUT_OF_MEMORY, MsgIcon::Stop);
        return;
    }
    std::string bitmap = DeriveTextFileName(path, ".bmp");
    if (std::filesystem::exists(bitmap) || !IsWritableFolder(bitmap)) {
        const auto chosen =
            m_prompt.ChooseFileToSave("bmp", LoadStringId(IDS_BITMAP_FILTER), bitmap);
        if (!chosen || chosen->empty()) {
            return;
        }
        bitmap = *chosen;
    }
    if (IsSameFile(bitmap, path)) {
        m_prompt.MessageBoxId1(IDS_IMPORT_SAME_FILE, path, MsgIcon::Stop);
        return;
    }

    const CWorkerJob::Result converted =
        job.Run({"import", "--bitmap-only", "--output=" + bitmap, "--", path});
    if (converted.end == CWorkerJob::End::Cancelled) {
        return;
    }
    if (!converted.Succeeded() || converted.lines.size() < 2) {
        m_prompt.ShowMessage(IDS_IMPORT_CANNOT_WRITE,
                             converted.Succeeded() ? std::string(LoadStringId(IDS_WORKER_CRASHED))
                                                   : converted.Message(),
                             MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    if (m_doc.OpenNewBitmap(bitmap) != CGpsDoc::kLoadOk || converted.lines[1] == "uncalibrated") {
        return;
    }
    if (converted.lines[1] == "unknown-system" || converted.lines[1] == "outside-projection") {
        m_prompt.MessageBoxId1(converted.lines[1] == "outside-projection"
                                   ? IDS_IMPORT_OUTSIDE_PROJECTION
                                   : IDS_IMPORT_UNKNOWN_SYSTEM,
                               path, MsgIcon::Exclamation);
        return;
    }
    const auto calibration = ReadCalibration(converted.lines);
    if (!calibration) {
        m_prompt.ShowMessage(IDS_WORKER_CRASHED, std::string(LoadStringId(IDS_WORKER_CRASHED)),
                             MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    const int code = m_doc.Calibrate(calibration->calibration).code;
    if (code != CALIBRATION_OK) {
        m_prompt.ShowMessage(IDS_IMPORT_REJECTED,
                             FormatString1(IDS_IMPORT_REJECTED, path) + "  " +
                                 std::string(LoadStringId(CalibrationMessageId(code))),
                             MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    m_doc.UpdateAllViews(HINT_REFRESH);
    const std::string deviation = FormatFixed(calibration->deviation, 0, 2);
    if (calibration->deviceErrorVisible) {
        m_prompt.ShowMessage(IDS_IMPORT_DEVIATION_WARNING,
                             FormatString1(IDS_IMPORT_CALIBRATED, deviation) + "\n\n" +
                                 FormatString1(IDS_IMPORT_DEVIATION_WARNING,
                                               FormatFixed(calibration->deviceError, 0, 0)),
                             MsgIcon::Exclamation, MsgButtons::Ok);
    } else {
        m_prompt.MessageBoxId1(IDS_IMPORT_CALIBRATED, deviation, MsgIcon::Information);
    }
}

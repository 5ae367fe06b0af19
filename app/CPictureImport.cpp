#include "app/CPictureImport.h"

#include "app/CWorkerJob.h"
#include "app/ShowFileResult.h"
#include "display/CBmpDecoder.h"
#include "document/CGpsDoc.h"
#include "document/TextFileFormat.h"
#include "framework/CUserPrompt.h"
#include "georef/CCalibration.h"
#include "georef/CalibrationCheck.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace mapreg {

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

std::optional<std::string> CPictureImport::ChooseBitmapName(CUserPrompt& prompt,
                                                            const std::string& proposed) {
    if (!std::filesystem::exists(proposed) && IsWritableFolder(proposed)) {
        return proposed;
    }
    const auto chosen = prompt.ChooseFileToSave("bmp", LoadStringId(IDS_BITMAP_FILTER), proposed);
    if (!chosen || chosen->empty()) {
        return std::nullopt;
    }
    return chosen;
}

bool CPictureImport::OnNewBitmap() {
    const auto chosen =
        m_prompt.ChooseFileToOpen("bmp", ChooserFilter(), LoadStringId(IDS_OPEN_BITMAP_TITLE));
    return chosen && !chosen->empty() && Open(*chosen);
}

bool CPictureImport::Open(const std::string& path) {
    if (IsBmpName(path)) {
        ShowFileResult(m_prompt, m_doc.OpenNewBitmap(path));
        return false;
    }
    // The worker reads the picture; this window never holds a decoder.
    CWorkerJob job(m_pParent, FormatString1(IDS_IMPORT_PROGRESS, path));
    const CWorkerJob::Result checked = job.Run({"import", "--check", "--", path});
    if (checked.end == CWorkerJob::End::Cancelled) {
        return false;
    }
    if (!checked.Succeeded()) {
        m_prompt.ShowMessage(IDS_IMPORT_CANNOT_READ, checked.Message(), MsgIcon::Stop,
                             MsgButtons::Ok);
        return false;
    }
    // A picture this program could not hold once converted is refused before converting: a
    // tiny file may declare a picture of many gigabytes.
    std::istringstream size(checked.lines.empty() ? std::string() : checked.lines[0]);
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    if (!(size >> width >> height) || !CBmpDecoder::FitsMemoryBudget(width * height * 4)) {
        m_prompt.MessageBoxId(IDS_OUT_OF_MEMORY, MsgIcon::Stop);
        return false;
    }
    const auto chosen = ChooseBitmapName(m_prompt, DeriveTextFileName(path, ".bmp"));
    if (!chosen) {
        return false;
    }
    const std::string& bitmap = *chosen;
    if (IsSameFile(bitmap, path)) {
        m_prompt.MessageBoxId1(IDS_IMPORT_SAME_FILE, path, MsgIcon::Stop);
        return false;
    }

    const CWorkerJob::Result converted =
        job.Run({"import", "--bitmap-only", "--output=" + bitmap, "--", path});
    if (converted.end == CWorkerJob::End::Cancelled) {
        return false;
    }
    if (!converted.Succeeded() || converted.lines.size() < 2) {
        m_prompt.ShowMessage(IDS_IMPORT_CANNOT_WRITE,
                             converted.Succeeded() ? std::string(LoadStringId(IDS_WORKER_CRASHED))
                                                   : converted.Message(),
                             MsgIcon::Stop, MsgButtons::Ok);
        return false;
    }
    const FileResult opened = m_doc.OpenNewBitmap(bitmap);
    ShowFileResult(m_prompt, opened);
    if (!opened.done || converted.lines[1] == "uncalibrated") {
        return false;
    }
    // Why the worker found no calibration in a georeferenced picture.
    static const std::map<std::string, unsigned> kUncalibrated{
        {"unknown-system", IDS_IMPORT_UNKNOWN_SYSTEM},
        {"outside-projection", IDS_IMPORT_OUTSIDE_PROJECTION},
        {"crosses-antimeridian", IDS_IMPORT_ANTIMERIDIAN}};
    if (const auto why = kUncalibrated.find(converted.lines[1]); why != kUncalibrated.end()) {
        m_prompt.MessageBoxId1(why->second, path, MsgIcon::Exclamation);
        return false;
    }
    const auto calibration = ReadCalibration(converted.lines);
    if (!calibration) {
        m_prompt.ShowMessage(IDS_WORKER_CRASHED, std::string(LoadStringId(IDS_WORKER_CRASHED)),
                             MsgIcon::Stop, MsgButtons::Ok);
        return false;
    }
    const int code = m_doc.Calibrate(calibration->calibration).code;
    if (code != CALIBRATION_OK) {
        m_prompt.ShowMessage(IDS_IMPORT_REJECTED,
                             FormatString1(IDS_IMPORT_REJECTED, path) + "  " +
                                 std::string(LoadStringId(CalibrationMessageId(code))),
                             MsgIcon::Exclamation, MsgButtons::Ok);
        return false;
    }
    m_doc.UpdateAllViews(UpdateHint::HINT_REFRESH);
    const std::string deviation = FormatFixed(calibration->deviation, 0, 2);
    if (!calibration->deviceErrorVisible) {
        m_prompt.MessageBoxId1(IDS_IMPORT_CALIBRATED, deviation, MsgIcon::Information);
        return false;
    }
    // The device would show the map more than a pixel away: said once, with the offer to
    // straighten it.
    return m_prompt.ShowMessage(IDS_IMPORT_DEVIATION_WARNING,
                                FormatString1(IDS_IMPORT_CALIBRATED, deviation) + "\n\n" +
                                    FormatString1(IDS_IMPORT_DEVIATION_WARNING,
                                                  FormatFixed(calibration->deviceError, 0, 0)) +
                                    "\n\n" + std::string(LoadStringId(IDS_STRAIGHT_OFFER)),
                                MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

} // namespace mapreg

#include "app/CStraightenCommand.h"

#include "app/CPictureImport.h"
#include "app/CWorkerJob.h"
#include "document/CGpsDoc.h"
#include "document/CPointsFile.h"
#include "document/TextFileFormat.h"
#include "framework/CUserPrompt.h"
#include "georef/DeviceError.h"
#include "resources/StringTable.h"

#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <filesystem>

namespace mapreg {

CStraightenCommand::CStraightenCommand(const CGpsDoc& doc, CUserPrompt& prompt, QWidget* pParent)
    : m_doc(doc), m_prompt(prompt), m_pParent(pParent) {}

CStraightenCommand::DeviceError CStraightenCommand::Of(const CGpsDoc& doc) {
    if (!doc.IsCalibrated()) {
        return {std::nan(""), false};
    }
    const int width = doc.GetMapWidth();
    const int height = doc.GetMapHeight();
    const double error = CalibrationDeviceError(doc.GetCalibration(), width, height);
    const double pixel = CentrePixelMetres(width, height, CalibrationMapping(doc.GetCalibration()));
    return {error, error > pixel};
}

std::vector<WarpFit> CStraightenCommand::FitsOf(const CGpsDoc& doc) {
    std::vector<WarpFit> fits{WarpFit::Calibration};
    const std::size_t enabled = EnabledPoints(doc.GetControlPoints());
    for (WarpFit fit : {WarpFit::Order2, WarpFit::Order3, WarpFit::ThinPlateSpline}) {
        if (enabled >= MinimumPoints(fit)) {
            fits.push_back(fit);
        }
    }
    return fits;
}

std::optional<WarpFit> CStraightenCommand::ChooseFit() {
    const std::vector<WarpFit> fits = FitsOf(m_doc);
    if (fits.size() == 1) {
        return fits[0];
    }
    std::vector<std::string> items;
    for (WarpFit fit : fits) {
        constexpr std::array ids{IDS_STRAIGHT_FIT_AFFINE, IDS_STRAIGHT_FIT_ORDER1,
                                 IDS_STRAIGHT_FIT_ORDER2, IDS_STRAIGHT_FIT_ORDER3,
                                 IDS_STRAIGHT_FIT_TPS};
        items.emplace_back(LoadStringId(ids[static_cast<std::size_t>(fit)]));
    }
    const std::optional<int> chosen = m_prompt.ChooseItem(
        IDS_STRAIGHT_CHOOSE_FIT, std::string(LoadStringId(IDS_STRAIGHT_CHOOSE_FIT)), items);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= fits.size()) {
        return std::nullopt;
    }
    return fits[static_cast<std::size_t>(*chosen)];
}

bool CStraightenCommand::OfferAfterCalibration() {
    const DeviceError error = Of(m_doc);
    if (!error.visible || m_doc.GetBitmapPath().empty()) {
        return false;
    }
    const std::string text =
        FormatString1(IDS_IMPORT_DEVIATION_WARNING, FormatFixed(error.metres, 0, 0)) + "\n\n" +
        std::string(LoadStringId(IDS_STRAIGHT_OFFER));
    return m_prompt.ShowMessage(IDS_STRAIGHT_OFFER, text, MsgIcon::Question, MsgButtons::YesNo) ==
           MsgAnswer::Yes;
}

std::optional<std::string> CStraightenCommand::Run() {
    const std::string& source = m_doc.GetBitmapPath();
    if (!m_doc.IsCalibrated() || source.empty()) {
        return std::nullopt;
    }
    const std::optional<WarpFit> fit = ChooseFit();
    if (!fit) {
        return std::nullopt;
    }
    const std::filesystem::path path(source);
    const auto bitmap = CPictureImport::ChooseBitmapName(
        m_prompt, (path.parent_path() / (path.stem().string() + "-straight.bmp")).string());
    if (!bitmap) {
        return std::nullopt;
    }
    if (IsSameFile(*bitmap, source) || IsSameFile(*bitmap, m_doc.GetPathName())) {
        m_prompt.MessageBoxId1(IDS_IMPORT_SAME_FILE, source, MsgIcon::Stop);
        return std::nullopt;
    }
    // The worker reads the map as the window holds it now, saved or not: a copy of its map file
    // (and of its control points when they are warped through) in a folder of our own, named
    // like the map so that messages name it.
    const QTemporaryDir folder;
    const std::optional<std::string> copy =
        CWorkerJob::WriteInput(folder, path.stem().string() + ".gpm", m_doc.BuildMapFile());
    std::vector<std::string> arguments{"rectify", "--output=" + *bitmap};
    switch (*fit) {
    case WarpFit::Calibration:
        break;
    case WarpFit::ThinPlateSpline:
        arguments.emplace_back("--tps");
        break;
    default:
        arguments.push_back("--order=" + std::to_string(PolynomialOrder(*fit)));
        break;
    }
    if (!copy || (*fit != WarpFit::Calibration &&
                  !CWorkerJob::WriteInput(folder, path.stem().string() + ".points",
                                          m_doc.BuildControlPointsText()))) {
        m_prompt.MessageBoxId1(IDS_STRAIGHT_FAILED, source, MsgIcon::Stop);
        return std::nullopt;
    }
    CWorkerJob job(m_pParent, FormatString1(IDS_STRAIGHT_PROGRESS, source));
    arguments.insert(arguments.end(), {"--", *copy});
    const CWorkerJob::Result result = job.Run(arguments);
    if (result.end == CWorkerJob::End::Cancelled) {
        return std::nullopt;
    }
    if (!result.Succeeded() || result.lines.size() < 2) {
        m_prompt.ShowMessage(IDS_STRAIGHT_FAILED,
                             FormatString1(IDS_STRAIGHT_FAILED, source) + "\n\n" +
                                 (result.Succeeded() ? std::string(LoadStringId(IDS_WORKER_CRASHED))
                                                     : result.Message()),
                             MsgIcon::Stop, MsgButtons::Ok);
        return std::nullopt;
    }
    return result.lines[1];
}

} // namespace mapreg

#include "CPictureImport.h"

#include "CGpsDoc.h"
#include "CRasterCalibration.h"
#include "CRasterImporter.h"
#include "CUserPrompt.h"
#include "CalibrationCheck.h"
#include "StringTable.h"
#include "TextFileFormat.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <unistd.h>

namespace {

// Conversions expected to take longer than this show their progress.
constexpr int kProgressDelayMs = 500;

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

} // namespace

CPictureImport::CPictureImport(CGpsDoc& doc, CUserPrompt& prompt, QWidget* pParent)
    : m_doc(doc), m_prompt(prompt), m_pParent(pParent) {}

std::string CPictureImport::ChooserFilter() {
    std::string patterns;
    for (const std::string& ext : CRasterImporter::ReadableExtensions()) {
        patterns += (patterns.empty() ? "*." : ";*.") + ext;
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
    CRasterImporter importer(path);
    if (importer.GetStatus() != CRasterImporter::Status::Ok) {
        m_prompt.ShowMessage(IDS_IMPORT_CANNOT_READ, importer.GetMessage(), MsgIcon::Stop,
                             MsgButtons::Ok);
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

    // The dialog appears once the conversion has run for a moment and is not nearly done.
    QProgressDialog progress(QString::fromStdString(FormatString1(IDS_IMPORT_PROGRESS, path)),
                             QCoreApplication::translate("QProgressDialog", "Cancel"), 0, 1000,
                             m_pParent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const auto status = importer.WriteBitmap(bitmap, [&progress](double done) {
        progress.setValue(static_cast<int>(done * 1000.0));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    if (status == CRasterImporter::Status::Cancelled) {
        return;
    }
    if (status != CRasterImporter::Status::Ok) {
        m_prompt.ShowMessage(IDS_IMPORT_CANNOT_WRITE, importer.GetMessage(), MsgIcon::Stop,
                             MsgButtons::Ok);
        return;
    }
    if (m_doc.OpenNewBitmap(bitmap) != CGpsDoc::kLoadOk || !importer.HasGeoTransform()) {
        return;
    }
    const CRasterCalibration calibration(importer.GetGeoTransform(), importer.GetSpatialRef(),
                                         importer.GetWidth(), importer.GetHeight(), {});
    if (calibration.GetOutcome() != CRasterCalibration::Outcome::Ready) {
        m_prompt.MessageBoxId1(calibration.GetOutcome() ==
                                       CRasterCalibration::Outcome::OutsideProjection
                                   ? IDS_IMPORT_OUTSIDE_PROJECTION
                                   : IDS_IMPORT_UNKNOWN_SYSTEM,
                               path, MsgIcon::Exclamation);
        return;
    }
    const int code = m_doc.Calibrate(calibration.GetCalibration()).code;
    if (code != CALIBRATION_OK) {
        m_prompt.ShowMessage(IDS_IMPORT_REJECTED,
                             FormatString1(IDS_IMPORT_REJECTED, path) + "  " +
                                 std::string(LoadStringId(CalibrationMessageId(code))),
                             MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    m_doc.UpdateAllViews(HINT_REFRESH);
    const std::string deviation = FormatFixed(calibration.GetDeviation(), 0, 2);
    if (calibration.IsDeviceErrorVisible()) {
        m_prompt.ShowMessage(IDS_IMPORT_DEVIATION_WARNING,
                             FormatString1(IDS_IMPORT_CALIBRATED, deviation) + "\n\n" +
                                 FormatString1(IDS_IMPORT_DEVIATION_WARNING,
                                               FormatFixed(calibration.GetDeviceError(), 0, 0)),
                             MsgIcon::Exclamation, MsgButtons::Ok);
    } else {
        m_prompt.MessageBoxId1(IDS_IMPORT_CALIBRATED, deviation, MsgIcon::Information);
    }
}

#pragma once
// A document on real files in a fresh temporary folder, with a recording prompt, a recording
// main window and a view that records the update hints.

#include "CRecordingFrame.h"
#include "ReportToPrompt.h"
#include "TestFiles.h"
#include "document/CDisplaySettings.h"
#include "document/CGpsDoc.h"
#include "framework/CAtomicFile.h"
#include "framework/CRecordingPrompt.h"
#include "framework/CView.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace mapreg {

namespace fs = std::filesystem;

// The hints a map view acts on; the calibration-mode hint is the frame's.
struct HintView : CView {
    void OnUpdate(CDocument*, int hint) override {
        if (static_cast<UpdateHint>(hint) != UpdateHint::HINT_CALIBRATION_MODE) {
            hints.push_back(static_cast<UpdateHint>(hint));
        }
    }
    std::vector<UpdateHint> hints;
};

// Hex text of bytes, for readable golden comparisons.
inline std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mapreg-doc-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        doc = std::make_unique<CGpsDoc>(prompt);
        ReportToPrompt(*doc, prompt);
        doc->AddView(&frame);
        doc->AddView(&view);
        ASSERT_TRUE(doc->OnNewDocument());
        ASSERT_TRUE(doc->GetMapBitmap() != nullptr) << "the built-in world map must load";
        ClearRecords();
    }
    void TearDown() override {
        CAtomicFile::SetFailureHookForTesting(nullptr);
        doc.reset();
        fs::remove_all(dir);
    }
    void ClearRecords() {
        prompt.messages.clear();
        prompt.choosers.clear();
        frame.calls.clear();
        view.hints.clear();
    }
    std::string MakeBitmap(const std::string& name, int width, int height) {
        const fs::path path = dir / name;
        fs::create_directories(path.parent_path());
        EXPECT_TRUE(WritePlainBitmap(path, QSize(width, height), QColor(0x336699)));
        return path.string();
    }
    // Loads a bitmap and calibrates it in latitude/longitude with north up.
    void LoadCalibrated(const std::string& bitmap, std::array<CDoublePoint, 3> picture,
                        std::array<CDoublePoint, 3> world) {
        ASSERT_EQ(doc->LoadBitmapFile(bitmap), 0);
        ASSERT_EQ(doc->Calibrate({CoordType::LatLon, world, picture, 0, '?'}).code, 0);
    }
    // A 200 x 100 bitmap in UTM zone 10U, 10 m per pixel east and south of (400000, 5300000).
    void LoadUtm() {
        ASSERT_EQ(doc->LoadBitmapFile(MakeBitmap("utm.bmp", 200, 100)), 0);
        ASSERT_EQ(
            doc->Calibrate({CoordType::Utm,
                            {CDoublePoint{400000, 5300000}, {402000, 5300000}, {402000, 5299000}},
                            {CDoublePoint{0, 0}, {200, 0}, {200, 100}},
                            10,
                            'U'})
                .code,
            0);
    }
    // The harbour example: 1000 x 800 pixels, corners (-123.6, 48.4) and (-123.4, 48.2).
    std::string LoadHarbour(const std::string& name = "harbour.bmp") {
        const std::string bitmap = MakeBitmap(name, 1000, 800);
        LoadCalibrated(bitmap, {CDoublePoint{0, 0}, {1000, 0}, {1000, 800}},
                       {CDoublePoint{-123.6, 48.4}, {-123.4, 48.4}, {-123.4, 48.2}});
        return bitmap;
    }

    fs::path dir;
    CRecordingPrompt prompt;
    CDisplaySettings settings;
    CRecordingFrame frame;
    HintView view;
    std::unique_ptr<CGpsDoc> doc;
};

} // namespace mapreg

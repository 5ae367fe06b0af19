// Arbitrary bytes opened as a map file into a document, with a recording prompt answering its
// questions. Promises checked on every input:
// - an open that fails shows exactly one message and leaves the document as it was;
// - an open that succeeds leaves a document that saves to a map file which reads back to the
//   same contents, and whose registration text and position texts show no NaN or infinity.
// The scratch folder holds "seed.bmp" (a good 16 x 16 picture) and "broken.bmp" (not a
// picture); the seed corpus names them by relative paths, so the process works inside it.
#include "DocumentSnapshot.h"
#include "FuzzSupport.h"
#include "document/CDisplaySettings.h"
#include "document/CGpsDoc.h"
#include "document/CMapFile.h"
#include "framework/CArchive.h"
#include "framework/CRecordingPrompt.h"

#include <QImage>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace mapreg;

namespace {

// libFuzzer and the replay driver read the corpus and write crashes by the paths given on the
// command line; once the process works inside the scratch folder, relative ones would point
// elsewhere. They are made absolute first.
void MakePathArgumentsAbsolute(int* argc, char*** argv) {
    static std::vector<std::string> storage;
    static std::vector<char*> pointers;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        // A corpus folder or input, or a flag that names a file or folder.
        std::size_t at = i > 0 && !arg.empty() && arg[0] != '-' ? 0 : std::string::npos;
        for (const char* flag : {"-artifact_prefix=", "-exact_artifact_path=", "-dict=",
                                 "-merge_control_file=", "-features_dir="}) {
            at = arg.starts_with(flag) && arg.size() > std::strlen(flag) ? std::strlen(flag) : at;
        }
        if (at != std::string::npos) {
            // A prefix that ends in a slash names a folder; absolute() keeps the slash.
            arg = arg.substr(0, at) + std::filesystem::absolute(arg.substr(at)).string();
        }
        storage.push_back(std::move(arg));
    }
    for (std::string& arg : storage) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    *argv = pointers.data();
}

// The answers to the missing-bitmap question, decided by the input so that a run repeats:
// No; Yes and the good picture; Yes and a file that is no picture; Yes and the chooser cancelled.
void QueueAnswers(CRecordingPrompt& prompt, const std::uint8_t* data, std::size_t size) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    if (hash % 4 != 0) {
        prompt.answers.push_back(MsgAnswer::Yes);
    }
    if (hash % 4 == 1 || hash % 4 == 2) {
        prompt.chosenFiles.emplace_back(hash % 4 == 1 ? "seed.bmp" : "broken.bmp");
    }
}

void CheckSavedFileReadsBack(const CGpsDoc& doc) {
    const std::string bytes = doc.BuildMapFile();
    std::istringstream in(bytes);
    CArchive ar(in, bytes.size());
    CMapFile::Contents read;
    if (CMapFile::ReadFileHeader(ar) != CMapFile::kVersion ||
        CMapFile::ReadBody(ar, read) != CMapFile::Status::Ok || ar.Remaining() != 0) {
        fuzz::Fail("a saved map file does not read back");
    }
    const CCalibration& c = read.calibration;
    bool same = read.bitmapPath == doc.GetBitmapPath() && read.calibrated == doc.IsCalibrated() &&
                c.coordType == doc.GetCoordType() && c.zone == (doc.GetUtmZone() & 0xff) &&
                c.letter == doc.GetUtmLetter();
    for (std::size_t i = 0; i < 3; ++i) {
        const CDoublePoint p = doc.GetMarkPixelPoints()[i];
        const CDoublePoint w = doc.GetMarkWorldPoints()[i];
        same = same && c.world[i].x == w.x && c.world[i].y == w.y &&
               (!doc.IsCalibrated() || (c.picture[i].x == p.x && c.picture[i].y == p.y));
    }
    if (!same) {
        fuzz::Fail("a saved map file reads back different contents");
    }
}

void CheckTextsAreFinite(const CGpsDoc& doc, CDisplaySettings& settings) {
    if (!doc.IsCalibrated()) {
        return;
    }
    std::string texts = doc.BuildRegistrationText();
    const double w = doc.GetMapWidth();
    const double h = doc.GetMapHeight();
    for (const CDoublePoint p : {CDoublePoint{0, 0}, {w, 0}, {0, h}, {w, h}, {w / 2, h / 2}}) {
        for (const CoordType type : {CoordType::LatLon, CoordType::Utm}) {
            std::string text;
            std::string x;
            std::string y;
            settings.SetCoordType(type);
            CGeoPosition& shown = settings.ConvertPosition(doc.PictureToPosition(p));
            shown.Format(text);
            shown.FormatXY(x, y);
            texts += "\n" + text + "\n" + x + "\n" + y;
        }
    }
    if (fuzz::ShowsNonFinite(texts)) {
        fuzz::Fail("the registration text or a position text shows NaN or infinity");
    }
}

// One document for the whole run: making one loads the built-in world map, which costs more
// than most inputs. Every input starts from the same state, the document after File New with a
// path and the modified flag set; a failed open leaves that state untouched (checked), so the
// document is only made anew after an open that succeeded.
struct FuzzDocument {
    FuzzDocument() {
        doc.SetResultReporter([this](const FileResult& result) {
            notices.insert(notices.end(), result.notices.begin(), result.notices.end());
        });
    }

    CRecordingPrompt prompt;
    CDisplaySettings settings;
    CGpsDoc doc{prompt};
    std::vector<FileResult::Notice> notices; // what the opens reported
    DocumentSnapshot start;

    void Reset() {
        if (!doc.OnNewDocument()) {
            fuzz::Fail("the default map does not load");
        }
        doc.SetPathName(fuzz::ScratchFolder() + "/previous.gpm");
        doc.SetModifiedFlag(true);
        start = DocumentSnapshot::Of(doc);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    MakePathArgumentsAbsolute(argc, argv);
    QImage seed(16, 16, QImage::Format_RGB888);
    seed.fill(QColor(40, 90, 160));
    if (!seed.save(QString::fromStdString(fuzz::ScratchFolder() + "/seed.bmp"), "BMP")) {
        fuzz::Fail("cannot write the seed picture");
    }
    fuzz::WriteScratchFile("broken.bmp", "This is not a picture.\n");
    if (::chdir(fuzz::ScratchFolder().c_str()) != 0) {
        fuzz::Fail("cannot enter the scratch folder");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzDocument* const state = [] {
        auto* made = new FuzzDocument; // kept to the end of the run
        made->Reset();
        return made;
    }();
    CGpsDoc& doc = state->doc;
    CRecordingPrompt& prompt = state->prompt;
    const std::string path = fuzz::WriteScratchFile("input.gpm", data, size);
    prompt = CRecordingPrompt();
    state->notices.clear();
    QueueAnswers(prompt, data, size);

    if (!doc.OnOpenDocument(path)) {
        if (!DocumentSnapshot::Of(doc).Differences(state->start).empty()) {
            fuzz::Fail("a failed open changed the document");
        }
        if (state->notices.size() != 1 || !prompt.messages.empty()) {
            fuzz::Fail("a failed open must report exactly one notice and ask nothing");
        }
        return 0;
    }
    if (doc.IsCalibrationMode()) {
        fuzz::Fail("an open left calibration mode on");
    }
    if (prompt.waitCursorDepth != 0) {
        fuzz::Fail("the wait cursor was not restored");
    }
    CheckSavedFileReadsBack(doc);
    CheckTextsAreFinite(doc, state->settings);
    state->Reset();
    return 0;
}

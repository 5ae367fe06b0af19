// Saving when the file system says no: a full disk and every other write failure (injected in
// the file layer; real ones reach the same path, see the atomic file tests), and names that would
// make a text file or the map file replace the bitmap. The message names the file and the reason,
// the files from the last save stay byte for byte, and the document stays modified.
#include "DocumentSnapshot.h"
#include "DocumentTestSupport.h"

#include "resources/StringTable.h"

#include <cerrno>
#include <map>

using namespace mapreg;

namespace {

class SaveFaults : public DocumentTest {
protected:
    // A calibrated harbour map saved with its registration file and a waypoint file, then
    // changed, so that there is unsaved work.
    void SaveHarbourThenChange() {
        bitmap = LoadHarbour();
        mapFile = dir / "harbour.gpm";
        ASSERT_TRUE(doc->DoSave(mapFile.string()));
        doc->AddWaypoint(0, {48.25, -123.5});
        doc->OnSaveWaypoints();
        ASSERT_TRUE(prompt.messages.empty());
        ASSERT_EQ(doc->Calibrate({CoordType::LatLon,
                                  {CDoublePoint{-1, 1}, {1, 1}, {1, -1}},
                                  {CDoublePoint{0, 0}, {1000, 0}, {1000, 800}},
                                  0,
                                  '?'})
                      .code,
                  0);
        ASSERT_TRUE(doc->IsModified());
        saved = Folder();
        ClearRecords();
    }
    // Every file of the folder with its bytes.
    std::map<std::string, std::string> Folder() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(dir)) {
            files[entry.path().filename().string()] = ReadBytes(entry.path());
        }
        return files;
    }

    std::string bitmap;
    fs::path mapFile;
    std::map<std::string, std::string> saved;
};

} // namespace

TEST_F(SaveFaults, every_write_failure_names_the_file_and_its_reason_and_keeps_the_old_files) {
    SaveHarbourThenChange();
    const std::string wpt = (dir / "harbour.wpt").string();
    const struct {
        int error;
        const char* reason;
    } cases[] = {
        {ENOSPC, "The disk is full."},
        {EROFS, "The disk is read-only."},
        {EACCES, "Permission to use the file was denied."},
        {EIO, "The file could not be written."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        CAtomicFile::SetFailureHookForTesting([&](const std::string&) { return c.error; });
        const DocumentSnapshot before = DocumentSnapshot::Of(*doc);
        ClearRecords();
        EXPECT_FALSE(doc->DoSave(mapFile.string()));
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].id, IDS_SAVE_MAP_FAILED);
        EXPECT_EQ(prompt.messages[0].text,
                  "Cannot save the map file " + mapFile.string() + ".  " + c.reason);
        EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Stop);
        EXPECT_EQ(DocumentSnapshot::Of(*doc).Differences(before), std::vector<std::string>{});
        EXPECT_TRUE(doc->IsModified());

        ClearRecords();
        doc->OnSaveWaypoints();
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].id, IDS_WRITE_TEXT_FILE_FAILED);
        EXPECT_EQ(prompt.messages[0].text, "Cannot write the file " + wpt + ".  " + c.reason);
        // Map, registration and waypoint files as they were; no temporary file left behind.
        EXPECT_EQ(Folder(), saved);
    }
}

TEST_F(SaveFaults, map_file_is_never_saved_over_its_own_bitmap) {
    SaveHarbourThenChange();
    fs::create_symlink(bitmap, dir / "link.gpm");
    saved = Folder();
    for (const fs::path& target : {fs::path(bitmap), dir / "link.gpm"}) {
        SCOPED_TRACE(target.string());
        ClearRecords();
        EXPECT_FALSE(doc->DoSave(target.string()));
        EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_TEXT_FILE_WOULD_REPLACE});
        EXPECT_NE(prompt.messages[0].text.find(target.string()), std::string::npos);
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->GetPathName(), mapFile.string());
        EXPECT_EQ(Folder(), saved);
    }
}

TEST_F(SaveFaults, text_files_never_replace_the_bitmap_by_name_or_by_link) {
    // A registration file that is the bitmap: by name, a symbolic link or a hard link to it.
    for (const std::string name : {"named", "symbolic", "hard"}) {
        SCOPED_TRACE(name);
        const std::string scan = LoadHarbour(name + (name == "named" ? ".txt" : ".bmp"));
        const std::string scanBytes = ReadBytes(scan);
        const fs::path txt = dir / (name + ".txt");
        if (name == "symbolic") {
            fs::create_symlink(scan, txt);
        } else if (name == "hard") {
            fs::create_hard_link(scan, txt);
        }
        ClearRecords();
        EXPECT_TRUE(doc->DoSave((dir / (name + ".gpm")).string())) << "the map file is saved";
        EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_TEXT_FILE_WOULD_REPLACE});
        EXPECT_EQ(prompt.messages[0].text,
                  "The file " + txt.string() +
                      " was not written because it would replace the map bitmap or the map file.  "
                      "Give the map bitmap or the map file another name.");
        EXPECT_EQ(ReadBytes(scan), scanBytes);
    }
}

TEST_F(SaveFaults, text_files_replace_only_registration_or_waypoint_files) {
    // The registration and waypoint names are taken by someone else's files: a grid and notes.
    SaveHarbourThenChange();
    const fs::path txt = dir / "harbour.txt";
    const fs::path wpt = dir / "harbour.wpt";
    WriteBytes(txt, "ncols 4\nnrows 3\n");
    WriteBytes(wpt, "my notes\n");
    ClearRecords();
    EXPECT_TRUE(doc->DoSave(mapFile.string())) << "the map file is saved";
    doc->OnSaveWaypoints();
    ASSERT_EQ(prompt.MessageIds(),
              (std::vector<unsigned>{IDS_TEXT_FILE_FOREIGN, IDS_TEXT_FILE_FOREIGN}));
    EXPECT_EQ(prompt.messages[0].text,
              "The file " + txt.string() +
                  " was not written because it exists and is not a registration or waypoint "
                  "file.  Move or rename it first.");
    EXPECT_NE(prompt.messages[1].text.find(wpt.string()), std::string::npos);
    EXPECT_EQ(ReadBytes(txt), "ncols 4\nnrows 3\n");
    EXPECT_EQ(ReadBytes(wpt), "my notes\n");
}

TEST_F(SaveFaults, unreadable_new_bitmap_keeps_the_picture_and_its_path) {
    bitmap = LoadHarbour();
    WriteBytes(dir / "broken.bmp", "BM this is no bitmap");
    const DocumentSnapshot before = DocumentSnapshot::Of(*doc);
    prompt.chosenFiles.push_back((dir / "broken.bmp").string());
    doc->OnNewBitmap();
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_CANNOT_OPEN_FILE});
    EXPECT_EQ(DocumentSnapshot::Of(*doc).Differences(before), std::vector<std::string>{});
}

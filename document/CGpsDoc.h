#pragma once
// The map document: the map picture and its size, the bitmap's path, the three calibration
// marks with their picture and world points, the coordinate type and UTM zone, the transform
// built from them and the world position of any picture point. It runs the map commands, saves
// and opens ".gpm" map files and writes the registration and waypoint files beside the bitmap.
// It never draws: views learn of changes through update hints. Its loads and saves return a
// FileResult; the prompt only asks questions and chooses files.

#include "display/BitmapLoadResult.h"
#include "document/CPointsFile.h"
#include "document/FileResult.h"
#include "framework/CDocument.h"
#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"
#include "georef/CMapTransform.h"
#include "georef/CPointFit.h"
#include "georef/CalibrationCheck.h"
#include "georef/SMapPosition.h"

#include <QPoint>
#include <QUndoStack>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QImage;

namespace mapreg {

class CMapBitmap;
class CPalette;

// Update hints: what changed, told to every view. They cross the framework's CView::OnUpdate as
// their int values.
enum class UpdateHint : int {
    HINT_REFRESH = 0,               // everything may have changed: repaint all
    HINT_NEW_BITMAP = 1,            // new picture and size
    HINT_CALIBRATION_MODE = 2,      // calibration mode entered or left: the frame's menu follows
    HINT_CALIBRATION_STARTED = 3,   // calibration mode entered: show the marks
    HINT_CALIBRATION_CANCELLED = 4, // calibration mode left without a new calibration
    HINT_SET_MARK_COORDINATES = 5,  // run the calibration coordinates dialog
    HINT_CONTROL_POINTS = 6         // the control points changed
};

class CGpsDoc : public CDocument {
public:
    // Size in pixels of the built-in world map.
    static constexpr int kDefaultMapWidth = 998;
    static constexpr int kDefaultMapHeight = 500;

    // Result codes of the bitmap loads (LoadOutcome).
    static constexpr int kLoadOk = 0;
    static constexpr int kLoadFailed = -1;
    static constexpr int kLoadCancelled = -2;
    static constexpr int kLoadOutOfMemory = -3;

    // The document starts empty; OnNewDocument shows the calibrated default map.
    explicit CGpsDoc(CUserPrompt& prompt);
    ~CGpsDoc() override;

    // Where the framework overridables and the commands hand the results of their loads and
    // saves, in the order they arise; the owner shows or prints them. Unset, they go nowhere.
    using ResultReporter = std::function<void(const FileResult&)>;
    void SetResultReporter(ResultReporter reporter) { m_reportResult = std::move(reporter); }

    // --- Framework overridables ---------------------------------------------------------
    // File New: the default map, calibrated to the whole globe, not modified, no bitmap path.
    bool OnNewDocument() override;
    // Reads a map file, applies its calibration and loads its bitmap (asking the user to
    // find it when it has moved), reporting what failed. A file that cannot be used leaves the
    // document unchanged.
    bool OnOpenDocument(const std::string& path) override;
    // SaveMapFile, reported.
    bool OnSaveDocument(const std::string& path) override;
    // The default map (ShowDefaultMap, reported).
    void DeleteContents() override;
    std::string GetDefaultExtension() const override { return ".gpm"; }
    std::string GetFileFilter() const override;

    // Calls OnUpdate of every view except sender with the hint's value.
    void UpdateAllViews(UpdateHint hint, CView* sender = nullptr) {
        CDocument::UpdateAllViews(static_cast<int>(hint), sender);
    }

    // --- Commands (their results reported) -------------------------------------------------
    void OnNewBitmap();
    void OnCalibrate();
    void OnSetMarkCoordinates();
    void OnCancelCalibration();
    void OnEnterWaypoints();
    void OnSaveWaypoints();

    // By command id (ID_MAP_NEW_BITMAP, ID_FILE_SAVE, ...): whether the command is enabled;
    // true for ids the document has no rule for.
    bool IsCommandEnabled(unsigned commandId) const;
    // Runs one of the six document commands when it is enabled. Returns false for ids the
    // document does not handle.
    bool OnCommand(unsigned commandId);
    // The waypoint file beside the bitmap. In waypoint mode nothing is written (done).
    FileResult SaveWaypoints();

    // --- Calibration ------------------------------------------------------------------------
    // Checks a calibration and, when every check passes, commits it: transform, marks (picture
    // points truncated to whole pixels), coordinate type, UTM zone and letter (UTM only; a
    // latitude/longitude calibration keeps the previous ones), calibration mode off
    // (HINT_CALIBRATION_MODE), calibrated, modified. Returns CheckCalibration's verdict;
    // nothing changes unless its code is 0. A calibration committed in calibration mode is
    // an undo step ("Calibrate").
    CalibrationCheckResult Calibrate(const CCalibration& calibration);
    // The flag alone; the commands and Calibrate also send HINT_CALIBRATION_MODE.
    void EnterCalibrationMode() { m_bCalibrationMode = true; }
    void LeaveCalibrationMode() { m_bCalibrationMode = false; }

    // --- Waypoints ------------------------------------------------------------------------
    // The waypoints placed on the map, filled by the view and written to the waypoint file. A
    // new picture starts with none placed.
    // Waypoint i: x = latitude, y = longitude, decimal degrees.
    static constexpr int kMaxWaypoints = 100;
    // The index the most recent waypoint click asked for (100 or more when the table was full).
    void SetLastWaypoint(int index) { m_nLastWaypoint = index; }
    // Stores waypoint index as the last one placed; an index outside the table is ignored.
    void AddWaypoint(int index, CDoublePoint latLon);
    // Takes waypoint index and those after it off the map; the table keeps their values.
    void RemoveLastWaypoint(int index);
    // A waypoint click and a right click as undo steps ("Add Waypoint 3", "Remove Waypoint
    // 3"): AddWaypoint with the picture point of its pointer, and RemoveLastWaypoint. They leave
    // the modified flag alone, since the map file does not hold waypoints.
    void PlaceWaypoint(int index, CDoublePoint pixel, CDoublePoint latLon);
    void TakeWaypoint(int index);
    // Where the pointers of the placed waypoints stand, in picture pixels.
    const std::array<CDoublePoint, kMaxWaypoints>& GetWaypointPixels() const {
        return m_waypointPixels;
    }
    const std::array<CDoublePoint, kMaxWaypoints>& GetWaypoints() const { return m_waypoints; }
    int GetLastWaypoint() const { return m_nLastWaypoint; }
    // Entries 0 .. GetPlacedWaypoints() - 1 are on the map.
    int GetPlacedWaypoints() const { return m_nPlacedWaypoints; }

    // --- Positions -------------------------------------------------------------------------
    CDoublePoint PictureToWorld(int x, int y) const;
    CDoublePoint PictureToWorld(CDoublePoint picture) const;
    // The world position of a picture point in the calibration's coordinate type and zone.
    SMapPosition PictureToPosition(CDoublePoint picture) const;

    // Marks in whole pixels (clamped to the int range), and their world points.
    std::array<QPoint, 3> GetMarkPixels() const;
    const std::array<CDoublePoint, 3>& GetMarkWorldPoints() const { return m_calibration.world; }
    const std::array<CDoublePoint, 3>& GetMarkPixelPoints() const { return m_calibration.picture; }
    // The marks, coordinate type and zone as the map file stores them.
    const CCalibration& GetCalibration() const { return m_calibration; }

    // --- Picture ---------------------------------------------------------------------------
    // The picture and its palette while one is loaded, else null.
    QImage* GetMapBitmap() const;
    const CPalette* GetMapPalette() const;
    const CMapBitmap& GetBitmapObject() const { return *m_pBitmap; }

    // Whether a picture that loads keeps the calibration (the bitmap a map file names) or
    // arrives uncalibrated (Map > New Bitmap); either holds before the views hear of it.
    enum class PictureCalibration { Keep, Drop };
    // The file chooser for a bitmap, then the load as LoadBitmapFile; Cancelled when no file
    // was chosen.
    BitmapLoadResult BrowseForBitmap(PictureCalibration calibration = PictureCalibration::Keep);
    // Loads path as the map picture: on 0 takes its size and path and sends HINT_NEW_BITMAP.
    // A failed load keeps the previous picture, size and path. 0, -1 or -3.
    int LoadBitmapFile(const std::string& path);
    // Map > New Bitmap with a file already chosen: LoadBitmapFile and on success an
    // uncalibrated, modified map; done when the picture loaded.
    FileResult OpenNewBitmap(const std::string& path);
    // Names path as the map's bitmap of the given size without loading the picture, so that
    // map and registration files can be written for pictures of any size (command line).
    void SetBitmapFile(const std::string& path, int width, int height);
    // The default map picture (size copied, HINT_NEW_BITMAP on success); path unchanged.
    BitmapLoadResult LoadDefaultBitmap();
    // The world-map calibration of the default picture: 180 W..180 E, 90 N..90 S.
    void SetDefaultCalibration();
    // Default picture and calibration, no bitmap path, not modified.
    BitmapLoadResult ResetToDefaultMap();
    // ResetToDefaultMap, with its failure as a result.
    FileResult ShowDefaultMap();

    // --- Files -----------------------------------------------------------------------------
    // Reads a map file into the document. Not done, with the document unchanged, when the file
    // is not used.
    FileResult ReadMapFile(const std::string& path);
    // Writes the map file, then the registration file beside the bitmap and the control points
    // file. Not done when the map file was refused or not written; a text file beside it that
    // fails adds its notice to a done result.
    FileResult SaveMapFile(const std::string& path);
    // The map file's bytes for the document as it is.
    std::string BuildMapFile() const;
    // Not done when a calibrated mark lies outside what the file can store.
    FileResult CheckMarksFitMapFile() const;
    // The registration file beside the bitmap (not done, without a notice, for the default
    // map). mapFilePath is the map file being saved: the text file never replaces it or the
    // bitmap.
    FileResult WriteRegistrationFile(const std::string& mapFilePath);
    std::string BuildRegistrationText() const;
    std::string BuildWaypointText() const;
    std::string GetRegistrationFileName() const;
    std::string GetWaypointFileName() const;

    // --- Control points ----------------------------------------------------------------------
    // Picture pixels and world points in the map's coordinate kind (GetWorldKind), kept in
    // NAME.points beside the map file NAME.gpm.
    const std::vector<ControlPoint>& GetControlPoints() const { return m_controlPoints; }
    // The least-squares fit of the control points in the map's coordinate kind, made once for
    // each set of points and kind however often the table, the figures and the commands ask.
    const CPointFit& GetPointFit() const;
    // Replaces the points, marks the document modified and sends HINT_CONTROL_POINTS.
    void SetControlPointList(std::vector<ControlPoint> points);
    // The coordinate kind of the calibration (its UTM hemisphere from the zone letter).
    WorldKind GetWorldKind() const;
    // Calibrates from a picture-to-world fit: marks on the corner pixels (0,0), (W-1,0) and
    // (0,H-1) with the fit's world points there, committed through Calibrate; its code.
    int CalibrateFromFit(const AffineTransform& fit, CoordType coordType, int zone, char letter);
    // Reads the points file of the map file at mapFilePath in the map's kind. No file means no
    // points; an unusable one is not done, leaves no points and is not removed by a save.
    FileResult ReadControlPoints(const std::string& mapFilePath);
    // Writes the points file beside the map file atomically, or, with no points left, removes
    // the one this document read or wrote there.
    FileResult WriteControlPoints(const std::string& mapFilePath);

    // --- Undo ------------------------------------------------------------------------------
    // What an undo step puts back: the calibration and the control points.
    struct UndoState {
        CCalibration calibration;
        bool calibrated = false;
        std::vector<ControlPoint> points;
        std::array<CDoublePoint, kMaxWaypoints> waypoints{};
        std::array<CDoublePoint, kMaxWaypoints> waypointPixels{};
        int placedWaypoints = 0;
        int picture = 0; // which picture the waypoints' pointers stood on

        // Whether the two differ in what the map file and its points file hold (waypoints
        // aside).
        bool ChangesMapFrom(const UndoState& other) const;
    };
    // Steps of control point edits, Apply, calibrations committed in calibration mode and
    // waypoint clicks. Its clean state is the saved one: the document is modified while a step
    // that changes the map lies between the saved state and the current one.
    QUndoStack& GetUndoStack() { return m_undoStack; }
    UndoState CaptureUndoState() const;
    // Puts a recorded state back (undo and redo) and refreshes the views.
    void RestoreUndoState(const UndoState& state);
    // Replaces the control points as one undo step named name ("Move Point 4").
    void ChangeControlPoints(std::vector<ControlPoint> points, const std::string& name);
    // The coordinate kind of an uncalibrated map's control points (a calibrated map's are in
    // its calibration's kind), as one undo step: latitude/longitude, or UTM in zone and band
    // letter. The points keep their numbers, as in the calibration dialog. False, with nothing
    // changed, on a calibrated map or for a zone that does not exist.
    bool ChangePointsKind(CoordType coordType, int zone, char letter);
    // Calibrates from the fit of the enabled control points (CalibrateFromFit in the map's
    // coordinate kind) as one undo step. The Calibrate code, or -1 when no fit can be made.
    int ApplyControlPoints();
    // The control points file's text for the points as they are.
    std::string BuildControlPointsText() const;
    // Also keeps the undo stack's clean state: saved is clean, a change outside the stack
    // makes the saved state unreachable by undo.
    void SetModifiedFlag(bool modified = true) override;
    // The modified flag from the undo stack's position (see GetUndoStack).
    void FollowUndoStack();

    // --- State read by the view and the dialogs ----------------------------------------------
    bool IsCalibrated() const { return m_bCalibrated; }
    bool IsCalibrationMode() const { return m_bCalibrationMode; }
    bool IsWaypointMode() const { return m_bWaypointMode; }
    CoordType GetCoordType() const { return m_calibration.coordType; }
    int GetUtmZone() const { return m_calibration.zone; }
    char GetUtmLetter() const { return m_calibration.letter; }
    int GetMapWidth() const { return m_nMapWidth; }
    int GetMapHeight() const { return m_nMapHeight; }
    const std::string& GetBitmapPath() const { return m_strBitmapPath; }
    const CMapTransform& GetTransform() const { return m_transform; }

private:
    // Commits an accepted calibration.
    void CommitCalibration(const CCalibration& calibration);
    // Pushes the change from before to now as one step named name.
    void RecordUndoStep(const std::string& name, UndoState before);
    // An empty history whose clean state is the document's saved state.
    void ResetUndo();
    // Writes a text file beside the bitmap atomically, refusing names that would replace
    // the bitmap or the map file.
    FileResult WriteTextFile(const std::string& name, const std::string& text,
                             const std::string& mapFilePath);
    // Hands result to the reporter, if there is one.
    void Report(const FileResult& result) const;
    // The picture of a map file just read: its bitmap, else the bitmap the user finds, else
    // the default map (the document then no longer stands for the file).
    FileResult OpenMapPicture();
    void TakeBitmapSize();
    // A new picture is shown: no waypoint is placed on it yet; HINT_NEW_BITMAP.
    void PictureReplaced();
    // LoadBitmapFile with the reason of a failure.
    BitmapLoadResult LoadPicture(const std::string& path,
                                 PictureCalibration calibration = PictureCalibration::Keep);
    // The state of Map > New Bitmap after a load that ended with r, and its result.
    FileResult AfterNewBitmap(BitmapLoadResult r);
    // What a picture load means to the document: kLoadOk, kLoadCancelled, kLoadOutOfMemory
    // or, for every other reason, kLoadFailed.
    static int LoadCode(BitmapLoadResult r);
    // The result of a picture load: done on Ok; a failure says so by its own notice for out of
    // memory and by failedMessageId for any other reason; a cancel says nothing.
    static FileResult LoadResultOf(BitmapLoadResult r, unsigned failedMessageId);

    CMapTransform m_transform;
    bool m_bCalibrated = false;
    bool m_bCalibrationMode = false;
    bool m_bWaypointMode = false;
    // Picture points in whole pixels; the transform keeps the points as given.
    CCalibration m_calibration{.zone = 10, .letter = 'U'};
    std::unique_ptr<CMapBitmap> m_pBitmap;
    int m_nMapWidth = 0;
    int m_nMapHeight = 0;
    std::string m_strBitmapPath;
    std::array<CDoublePoint, kMaxWaypoints> m_waypoints{};
    int m_nLastWaypoint = 0;
    int m_nPlacedWaypoints = 0;
    std::array<CDoublePoint, kMaxWaypoints> m_waypointPixels{};
    int m_nPicture = 0; // counts the pictures loaded, for the waypoints of undo steps
    std::vector<ControlPoint> m_controlPoints;
    // GetPointFit's last fit and what it was made from.
    mutable std::optional<CPointFit> m_pointFit;
    mutable std::vector<ControlPoint> m_fittedPoints;
    mutable bool m_bFittedLatLon = true;
    QUndoStack m_undoStack;
    int m_nUndoScope = 0; // > 0 while a change that becomes an undo step is made
    // The points file this document read or wrote: the only one a save may remove.
    std::string m_strOwnPointsFile;
    ResultReporter m_reportResult;
};

} // namespace mapreg

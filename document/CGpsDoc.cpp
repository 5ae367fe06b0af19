#include "document/CGpsDoc.h"

#include "coords/UtmProjection.h"
#include "display/CMapBitmap.h"
#include "document/CMapFile.h"
#include "document/CSidecarFiles.h"
#include "document/CUndoStep.h"
#include "document/TextFileFormat.h"
#include "framework/CAtomicFile.h"
#include "framework/CUserPrompt.h"
#include "framework/CWaitCursor.h"
#include "georef/CalibrationCheck.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>

namespace mapreg {

namespace {

int ToPixelInt(double value) {
    if (!(value == value)) { // NaN
        return 0;
    }
    const double clamped =
        std::clamp(std::trunc(value), static_cast<double>(std::numeric_limits<int>::min()),
                   static_cast<double>(std::numeric_limits<int>::max()));
    return static_cast<int>(clamped);
}

} // namespace

CGpsDoc::CGpsDoc(CUserPrompt& prompt)
    : CDocument(prompt), m_pBitmap(std::make_unique<CMapBitmap>()) {
    // Undo and redo reaching the saved state, or leaving it, set the flag itself.
    QObject::connect(&m_undoStack, &QUndoStack::cleanChanged, [this] { FollowUndoStack(); });
    QObject::connect(&m_undoStack, &QUndoStack::indexChanged, [this] { FollowUndoStack(); });
}

CGpsDoc::~CGpsDoc() {
    // Clearing the history on destruction must not reach a document being destroyed.
    QObject::disconnect(&m_undoStack, nullptr, nullptr, nullptr);
}

std::string CGpsDoc::GetFileFilter() const {
    return "GPS Map Files (*.gpm)|*.gpm|All Files (*.*)|*.*||";
}

// --- Framework overridables -------------------------------------------------------------

bool CGpsDoc::OnNewDocument() {
    const bool done = CDocument::OnNewDocument();
    ResetUndo();
    return done;
}

void CGpsDoc::DeleteContents() {
    // A new map starts without the points of the one before.
    m_controlPoints.clear();
    m_strOwnPointsFile.clear();
    Report(ShowDefaultMap());
    CDocument::DeleteContents();
}

void CGpsDoc::Report(const FileResult& result) const {
    if (m_reportResult) {
        m_reportResult(result);
    }
}

bool CGpsDoc::OnOpenDocument(const std::string& path) {
    if (const FileResult read = ReadMapFile(path); !read.done) {
        Report(read);
        return false;
    }
    // The points' notice comes before any question about the picture.
    Report(ReadControlPoints(path));
    Report(OpenMapPicture());
    ResetUndo();
    UpdateAllViews(UpdateHint::HINT_REFRESH);
    return true;
}

FileResult CGpsDoc::OpenMapPicture() {
    const std::string bitmapPath = m_strBitmapPath;
    if (bitmapPath.empty()) {
        return ShowDefaultMap();
    }
    const BitmapLoadResult r = LoadPicture(bitmapPath);
    if (r == BitmapLoadResult::Ok) {
        return {};
    }
    // The file's calibration and path now stand over a picture they do not describe: the
    // bitmap the user finds, or the default map.
    BitmapLoadResult shown = r;
    if (r == BitmapLoadResult::NotFound) {
        const MsgAnswer answer = Prompt().MessageBoxId1(IDS_FIND_BITMAP_QUESTION, bitmapPath,
                                                        MsgIcon::Question, MsgButtons::YesNo);
        shown = answer == MsgAnswer::Yes ? BrowseForBitmap() : BitmapLoadResult::Cancelled;
    }
    if (shown == BitmapLoadResult::Ok) {
        // The file's calibration stays, now with the chosen bitmap.
        SetModifiedFlag(true);
        return {};
    }
    // The default map is not what the map file holds: saving must not replace it.
    ResetToDefaultMap();
    DetachFromOpenedFile();
    return LoadResultOf(shown, IDS_CANNOT_OPEN_FILE);
}

bool CGpsDoc::OnSaveDocument(const std::string& path) {
    const FileResult saved = SaveMapFile(path);
    Report(saved);
    return saved.done;
}

FileResult CGpsDoc::SaveMapFile(const std::string& path) {
    // A map file saved under the bitmap's own name would destroy the picture it names.
    // Nor may the registration file written after it replace the map file just saved: both
    // refusals come before anything is written.
    if (!m_strBitmapPath.empty() &&
        (CSidecarFiles::WouldReplace(path, m_strBitmapPath, {}) ||
         CSidecarFiles::WouldReplace(GetRegistrationFileName(), {}, path))) {
        return FileResult::Failed(
            FileResult::Notice::Of1(IDS_TEXT_FILE_WOULD_REPLACE, path, MsgIcon::Exclamation));
    }
    if (FileResult fits = CheckMarksFitMapFile(); !fits.done) {
        return fits;
    }
    std::string bytes;
    try {
        bytes = BuildMapFile();
    } catch (const std::exception&) {
        // Only a path too long for any length form, or no memory, gets here.
        return FileResult::Failed({IDS_SAVE_MAP_FAILED,
                                   FormatString1(IDS_SAVE_MAP_FAILED, path) + "  " +
                                       std::string(LoadStringId(IDS_REASON_WRITE_ERROR)),
                                   MsgIcon::Stop});
    }
    const CFileError error = [&] {
        CWaitCursor wait(Prompt());
        return CAtomicFile::Write(path, bytes);
    }();
    if (error.IsError()) {
        return FileResult::Failed({IDS_SAVE_MAP_FAILED,
                                   FormatString1(IDS_SAVE_MAP_FAILED, path) + "  " +
                                       std::string(LoadStringId(error.ReasonId(true))),
                                   MsgIcon::Stop});
    }
    // The map file is saved; a text file beside it that cannot be written says so, but does
    // not undo the save.
    FileResult saved;
    saved.Append(WriteRegistrationFile(path));
    saved.Append(WriteControlPoints(path));
    return saved;
}

// --- Commands -------------------------------------------------------------------------------

void CGpsDoc::OnNewBitmap() {
    Report(AfterNewBitmap(BrowseForBitmap(PictureCalibration::Drop)));
}

FileResult CGpsDoc::OpenNewBitmap(const std::string& path) {
    return AfterNewBitmap(LoadPicture(path, PictureCalibration::Drop));
}

FileResult CGpsDoc::AfterNewBitmap(BitmapLoadResult r) {
    if (r == BitmapLoadResult::Ok) {
        SetModifiedFlag(true);
        // Earlier steps belong to the previous picture.
        ResetUndo();
    }
    return LoadResultOf(r, IDS_CANNOT_OPEN_FILE);
}

void CGpsDoc::OnCalibrate() {
    if (m_bCalibrationMode) {
        return;
    }
    m_bCalibrationMode = true;
    UpdateAllViews(UpdateHint::HINT_CALIBRATION_MODE);
    UpdateAllViews(UpdateHint::HINT_CALIBRATION_STARTED);
}

void CGpsDoc::OnCancelCalibration() {
    if (!m_bCalibrationMode) {
        return;
    }
    m_bCalibrationMode = false;
    UpdateAllViews(UpdateHint::HINT_CALIBRATION_MODE);
    UpdateAllViews(UpdateHint::HINT_CALIBRATION_CANCELLED);
}

void CGpsDoc::OnSetMarkCoordinates() {
    if (m_bCalibrationMode) {
        UpdateAllViews(UpdateHint::HINT_SET_MARK_COORDINATES);
    }
}

void CGpsDoc::OnEnterWaypoints() {
    m_bWaypointMode = !m_bWaypointMode;
}

void CGpsDoc::OnSaveWaypoints() {
    Report(SaveWaypoints());
}

FileResult CGpsDoc::SaveWaypoints() {
    if (m_bWaypointMode) {
        return {};
    }
    if (m_strBitmapPath.empty()) {
        return FileResult::Failed(
            FileResult::Notice::Of(IDS_WAYPOINTS_NEED_BITMAP, MsgIcon::Exclamation));
    }
    return WriteTextFile(GetWaypointFileName(), BuildWaypointText(), GetPathName());
}

bool CGpsDoc::IsCommandEnabled(unsigned commandId) const {
    switch (commandId) {
    case ID_ENTER_WAYPOINTS:
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_MAP_CALIBRATE:
    case ID_MAP_NEW_BITMAP:
        return !m_bCalibrationMode;
    case ID_CALIBRATE_SET_COORDINATES:
    case ID_CALIBRATE_CANCEL:
        return m_bCalibrationMode;
    default:
        return true;
    }
}

bool CGpsDoc::OnCommand(unsigned commandId) {
    const bool enabled = IsCommandEnabled(commandId);
    switch (commandId) {
    case ID_MAP_NEW_BITMAP:
        if (enabled) {
            OnNewBitmap();
        }
        return true;
    case ID_MAP_CALIBRATE:
        if (enabled) {
            OnCalibrate();
        }
        return true;
    case ID_CALIBRATE_SET_COORDINATES:
        if (enabled) {
            OnSetMarkCoordinates();
        }
        return true;
    case ID_CALIBRATE_CANCEL:
        if (enabled) {
            OnCancelCalibration();
        }
        return true;
    case ID_ENTER_WAYPOINTS:
        if (enabled) {
            OnEnterWaypoints();
        }
        return true;
    case ID_SAVE_WAYPOINTS:
        OnSaveWaypoints();
        return true;
    default:
        return false;
    }
}

// --- Calibration ------------------------------------------------------------------------

CalibrationCheckResult CGpsDoc::Calibrate(const CCalibration& calibration) {
    const CalibrationCheckResult check = CheckCalibration(calibration);
    if (check.code != CALIBRATION_OK) {
        return check;
    }
    if (m_bCalibrationMode && m_nUndoScope == 0) {
        UndoState before = CaptureUndoState();
        ++m_nUndoScope;
        CommitCalibration(calibration);
        RecordUndoStep(std::string(LoadStringId(IDS_UNDO_CALIBRATE)), std::move(before));
        --m_nUndoScope;
    } else {
        CommitCalibration(calibration);
    }
    return check;
}

void CGpsDoc::CommitCalibration(const CCalibration& calibration) {
    m_transform.SetControlPoints(calibration.world, calibration.picture);
    m_calibration.coordType = calibration.coordType;
    m_calibration.world = calibration.world;
    for (std::size_t i = 0; i < 3; ++i) {
        const CDoublePoint p = calibration.picture[i];
        m_calibration.picture[i] = {std::trunc(p.x), std::trunc(p.y)};
    }
    if (calibration.IsUtm()) {
        m_calibration.zone = calibration.zone;
        m_calibration.letter = calibration.letter;
    }
    m_bCalibrationMode = false;
    m_bCalibrated = true;
    UpdateAllViews(UpdateHint::HINT_CALIBRATION_MODE);
    SetModifiedFlag(true);
}

// --- Waypoints --------------------------------------------------------------------------

void CGpsDoc::AddWaypoint(int index, CDoublePoint latLon) {
    if (index >= 0 && index < kMaxWaypoints) {
        m_waypoints[static_cast<std::size_t>(index)] = latLon;
        m_nPlacedWaypoints = index + 1;
    }
}

void CGpsDoc::RemoveLastWaypoint(int index) {
    m_nPlacedWaypoints = std::clamp(index, 0, m_nPlacedWaypoints);
}

void CGpsDoc::PlaceWaypoint(int index, CDoublePoint pixel, CDoublePoint latLon) {
    if (index < 0 || index >= kMaxWaypoints) {
        return;
    }
    UndoState before = CaptureUndoState();
    AddWaypoint(index, latLon);
    m_waypointPixels[static_cast<std::size_t>(index)] = pixel;
    RecordUndoStep(FormatString1(IDS_UNDO_ADD_WAYPOINT, std::to_string(index + 1)),
                   std::move(before));
}

void CGpsDoc::TakeWaypoint(int index) {
    if (index < 0 || index >= m_nPlacedWaypoints) {
        return;
    }
    UndoState before = CaptureUndoState();
    RemoveLastWaypoint(index);
    RecordUndoStep(FormatString1(IDS_UNDO_REMOVE_WAYPOINT, std::to_string(index + 1)),
                   std::move(before));
}

void CGpsDoc::PictureReplaced() {
    // The pointers of the placed waypoints went with the old picture; the table keeps its
    // values.
    m_nPlacedWaypoints = 0;
    ++m_nPicture;
    UpdateAllViews(UpdateHint::HINT_NEW_BITMAP);
}

// --- Positions --------------------------------------------------------------------------

CDoublePoint CGpsDoc::PictureToWorld(int x, int y) const {
    return m_transform.PictureToWorld({static_cast<double>(x), static_cast<double>(y)});
}

CDoublePoint CGpsDoc::PictureToWorld(CDoublePoint picture) const {
    return m_transform.PictureToWorld(picture);
}

SMapPosition CGpsDoc::PictureToPosition(CDoublePoint picture) const {
    return {m_calibration.coordType, PictureToWorld(picture), m_calibration.zone,
            m_calibration.letter};
}

std::array<QPoint, 3> CGpsDoc::GetMarkPixels() const {
    std::array<QPoint, 3> out;
    for (std::size_t i = 0; i < 3; ++i) {
        const CDoublePoint p = m_calibration.picture[i];
        out[i] = QPoint(ToPixelInt(p.x), ToPixelInt(p.y));
    }
    return out;
}

// --- Picture ----------------------------------------------------------------------------

QImage* CGpsDoc::GetMapBitmap() const {
    return m_pBitmap && m_pBitmap->IsLoaded() ? m_pBitmap->GetBitmap() : nullptr;
}

const CPalette* CGpsDoc::GetMapPalette() const {
    return m_pBitmap && m_pBitmap->IsLoaded() ? m_pBitmap->GetPalette() : nullptr;
}

void CGpsDoc::SetBitmapFile(const std::string& path, int width, int height) {
    m_strBitmapPath = path;
    m_nMapWidth = width;
    m_nMapHeight = height;
}

void CGpsDoc::TakeBitmapSize() {
    m_nMapWidth = m_pBitmap->GetWidth();
    m_nMapHeight = m_pBitmap->GetHeight();
}

BitmapLoadResult CGpsDoc::BrowseForBitmap(PictureCalibration calibration) {
    const auto chosen = Prompt().ChooseFileToOpen("bmp", LoadStringId(IDS_BITMAP_FILTER),
                                                  LoadStringId(IDS_OPEN_BITMAP_TITLE));
    if (!chosen || chosen->empty()) {
        return BitmapLoadResult::Cancelled;
    }
    return LoadPicture(*chosen, calibration);
}

int CGpsDoc::LoadBitmapFile(const std::string& path) {
    return LoadCode(LoadPicture(path));
}

BitmapLoadResult CGpsDoc::LoadPicture(const std::string& path, PictureCalibration calibration) {
    const BitmapLoadResult r = [&] {
        CWaitCursor wait(Prompt());
        return m_pBitmap->LoadFromFile(path);
    }();
    if (r == BitmapLoadResult::Ok) {
        TakeBitmapSize();
        m_strBitmapPath = path;
        if (calibration == PictureCalibration::Drop) {
            m_bCalibrated = false;
        }
        PictureReplaced();
    }
    return r;
}

int CGpsDoc::LoadCode(BitmapLoadResult r) {
    switch (r) {
    case BitmapLoadResult::Ok:
        return kLoadOk;
    case BitmapLoadResult::Cancelled:
        return kLoadCancelled;
    case BitmapLoadResult::OutOfMemory:
        return kLoadOutOfMemory;
    case BitmapLoadResult::NotFound:
    case BitmapLoadResult::AccessDenied:
    case BitmapLoadResult::NotABitmap:
    case BitmapLoadResult::Truncated:
    case BitmapLoadResult::ReadFault:
        break;
    }
    return kLoadFailed;
}

FileResult CGpsDoc::LoadResultOf(BitmapLoadResult r, unsigned failedMessageId) {
    switch (LoadCode(r)) {
    case kLoadOk:
        return {};
    case kLoadCancelled:
        return FileResult::Failed();
    case kLoadOutOfMemory:
        return FileResult::Failed(FileResult::Notice::Of(IDS_OUT_OF_MEMORY, MsgIcon::Stop));
    default:
        return FileResult::Failed(FileResult::Notice::Of(failedMessageId, MsgIcon::Stop));
    }
}

BitmapLoadResult CGpsDoc::LoadDefaultBitmap() {
    const BitmapLoadResult r = m_pBitmap->LoadFromResource(CMapBitmap::kDefaultMapResource);
    if (r == BitmapLoadResult::Ok) {
        TakeBitmapSize();
    }
    return r;
}

void CGpsDoc::SetDefaultCalibration() {
    m_calibration.world = {CDoublePoint{-180.0, 90.0}, CDoublePoint{180.0, 90.0},
                           CDoublePoint{180.0, -90.0}};
    m_calibration.picture = {CDoublePoint{0.0, 0.0}, CDoublePoint{kDefaultMapWidth, 0.0},
                             CDoublePoint{kDefaultMapWidth, kDefaultMapHeight}};
    m_transform.SetControlPoints(m_calibration.world, m_calibration.picture);
    m_bCalibrated = true;
    m_calibration.coordType = CoordType::LatLon;
}

BitmapLoadResult CGpsDoc::ResetToDefaultMap() {
    // The default map has no bitmap file: nothing may be written beside the previous one.
    m_strBitmapPath.clear();
    const BitmapLoadResult r = LoadDefaultBitmap();
    if (r == BitmapLoadResult::Ok) {
        m_controlPoints.clear();
        m_strOwnPointsFile.clear();
        // The world map comes with its own calibration before any view sees it.
        SetDefaultCalibration();
        SetModifiedFlag(false);
        PictureReplaced();
        ResetUndo();
    }
    return r;
}

FileResult CGpsDoc::ShowDefaultMap() {
    return LoadResultOf(ResetToDefaultMap(), IDS_CANNOT_LOAD_DEFAULT);
}

// --- Files ------------------------------------------------------------------------------

FileResult CGpsDoc::ReadMapFile(const std::string& path) {
    CMapFile::Contents contents;
    CMapFile::LoadResult result;
    {
        CWaitCursor wait(Prompt());
        result = CMapFile::Load(path, contents);
    }
    switch (result.status) {
    case CMapFile::Status::Empty:
        m_strBitmapPath.clear();
        SetModifiedFlag(false);
        return {};
    case CMapFile::Status::Ok:
        break;
    default:
        return FileResult::Failed(
            {CMapFile::MessageId(result.status), CMapFile::Message(result, path), MsgIcon::Stop});
    }
    if (contents.calibrated) {
        if (Calibrate(contents.calibration).code != CALIBRATION_OK) {
            // Already checked while reading; nothing has been changed.
            return FileResult::Failed(FileResult::Notice::Of(IDS_BAD_DATA, MsgIcon::Stop));
        }
    } else {
        m_bCalibrated = false;
    }
    m_strBitmapPath = contents.bitmapPath;
    SetModifiedFlag(false);
    return {};
}

std::string CGpsDoc::BuildMapFile() const {
    CMapFile::Contents contents;
    contents.bitmapPath = m_strBitmapPath;
    contents.calibrated = m_bCalibrated;
    contents.calibration = m_calibration;
    return CMapFile::WriteToBytes(contents);
}

FileResult CGpsDoc::CheckMarksFitMapFile() const {
    if (!m_bCalibrated) {
        // Marks of an uncalibrated map are not read back; they cannot lose anything.
        return {};
    }
    for (const CDoublePoint& p : m_calibration.picture) {
        if (!CMapFile::FitsPixelField(p.x) || !CMapFile::FitsPixelField(p.y)) {
            return FileResult::Failed(
                FileResult::Notice::Of(IDS_MARK_OUTSIDE_FILE_RANGE, MsgIcon::Stop));
        }
    }
    return {};
}

std::string CGpsDoc::GetRegistrationFileName() const {
    return CSidecarFiles::RegistrationFileName(m_strBitmapPath);
}

std::string CGpsDoc::GetWaypointFileName() const {
    return CSidecarFiles::WaypointFileName(m_strBitmapPath);
}

std::string CGpsDoc::BuildRegistrationText() const {
    return CSidecarFiles::RegistrationText(m_transform, m_nMapWidth, m_nMapHeight, m_strBitmapPath,
                                           m_calibration.coordType);
}

std::string CGpsDoc::BuildWaypointText() const {
    return CSidecarFiles::WaypointText(
        std::span(m_waypoints).first(static_cast<std::size_t>(m_nPlacedWaypoints)));
}

FileResult CGpsDoc::WriteRegistrationFile(const std::string& mapFilePath) {
    if (m_strBitmapPath.empty()) {
        return FileResult::Failed();
    }
    return WriteTextFile(GetRegistrationFileName(), BuildRegistrationText(), mapFilePath);
}

FileResult CGpsDoc::WriteTextFile(const std::string& name, const std::string& text,
                                  const std::string& mapFilePath) {
    if (CSidecarFiles::WouldReplace(name, m_strBitmapPath, mapFilePath)) {
        return FileResult::Failed(
            FileResult::Notice::Of1(IDS_TEXT_FILE_WOULD_REPLACE, name, MsgIcon::Exclamation));
    }
    // A registration or waypoint file replaces only a file of either kind.
    const bool deviceFile =
        text.starts_with(kRegistrationHeader) || text.starts_with(kWaypointHeader);
    if (deviceFile && !IsReplaceableTextFile(name)) {
        return FileResult::Failed(
            FileResult::Notice::Of1(IDS_TEXT_FILE_FOREIGN, name, MsgIcon::Exclamation));
    }
    const CFileError error = CAtomicFile::Write(name, text);
    if (error.IsError()) {
        return FileResult::Failed({IDS_WRITE_TEXT_FILE_FAILED,
                                   FormatString1(IDS_WRITE_TEXT_FILE_FAILED, name) + "  " +
                                       std::string(LoadStringId(error.ReasonId(true))),
                                   MsgIcon::Exclamation});
    }
    return {};
}

// --- Control points -----------------------------------------------------------------------

void CGpsDoc::SetControlPointList(std::vector<ControlPoint> points) {
    m_controlPoints = std::move(points);
    SetModifiedFlag(true);
    UpdateAllViews(UpdateHint::HINT_CONTROL_POINTS);
}

const CPointFit& CGpsDoc::GetPointFit() const {
    const bool bLatLon = !m_calibration.IsUtm();
    if (!m_pointFit || bLatLon != m_bFittedLatLon || m_fittedPoints != m_controlPoints) {
        m_pointFit = CPointFit::Fit(m_controlPoints, bLatLon);
        m_fittedPoints = m_controlPoints;
        m_bFittedLatLon = bLatLon;
    }
    return *m_pointFit;
}

WorldKind CGpsDoc::GetWorldKind() const {
    if (!m_calibration.IsUtm()) {
        return WorldKind{};
    }
    return WorldKind{CoordType::Utm, m_calibration.zone,
                     !UtmIsSouthernLetter(m_calibration.letter)};
}

int CGpsDoc::CalibrateFromFit(const AffineTransform& fit, CoordType coordType, int zone,
                              char letter) {
    return Calibrate(CalibrationOfFit(fit, coordType, zone, letter, m_nMapWidth, m_nMapHeight))
        .code;
}

FileResult CGpsDoc::ReadControlPoints(const std::string& mapFilePath) {
    m_controlPoints.clear();
    m_strOwnPointsFile.clear();
    const std::string path = CPointsFile::PathForMapFile(mapFilePath);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return {};
    }
    CPointsFile::Result result = CPointsFile::Read(path, GetWorldKind());
    if (result.status != CPointsFile::Status::Ok) {
        return FileResult::Failed(
            {IDS_POINTS_MALFORMED, CPointsFile::Message(result, path), MsgIcon::Exclamation});
    }
    m_controlPoints = std::move(result.points);
    m_strOwnPointsFile = path;
    return {};
}

FileResult CGpsDoc::WriteControlPoints(const std::string& mapFilePath) {
    const std::string path = CPointsFile::PathForMapFile(mapFilePath);
    if (m_controlPoints.empty()) {
        std::error_code ec;
        if (path == m_strOwnPointsFile) {
            std::filesystem::remove(path, ec);
            m_strOwnPointsFile.clear();
        }
        return ec ? FileResult::Failed() : FileResult{};
    }
    FileResult written = WriteTextFile(path, BuildControlPointsText(), mapFilePath);
    if (written.done) {
        m_strOwnPointsFile = path;
    }
    return written;
}

std::string CGpsDoc::BuildControlPointsText() const {
    const CPointFit& fit = GetPointFit();
    return CPointsFile::Build(m_controlPoints, GetWorldKind(), fit.GetResiduals());
}

// --- Undo ---------------------------------------------------------------------------------

bool CGpsDoc::UndoState::ChangesMapFrom(const UndoState& other) const {
    const auto same = [](const std::array<CDoublePoint, 3>& a,
                         const std::array<CDoublePoint, 3>& b) {
        return std::equal(a.begin(), a.end(), b.begin(),
                          [](CDoublePoint p, CDoublePoint q) { return p.x == q.x && p.y == q.y; });
    };
    const CCalibration& a = calibration;
    const CCalibration& b = other.calibration;
    return calibrated != other.calibrated || points != other.points || a.coordType != b.coordType ||
           a.zone != b.zone || a.letter != b.letter || !same(a.world, b.world) ||
           !same(a.picture, b.picture);
}

CGpsDoc::UndoState CGpsDoc::CaptureUndoState() const {
    return {m_calibration,    m_bCalibrated,      m_controlPoints, m_waypoints,
            m_waypointPixels, m_nPlacedWaypoints, m_nPicture};
}

void CGpsDoc::RestoreUndoState(const UndoState& state) {
    m_calibration = state.calibration;
    m_bCalibrated = state.calibrated;
    m_controlPoints = state.points;
    // Waypoints placed on an earlier picture stay with it.
    if (state.picture == m_nPicture) {
        m_waypoints = state.waypoints;
        m_waypointPixels = state.waypointPixels;
        m_nPlacedWaypoints = state.placedWaypoints;
    }
    m_transform.SetControlPoints(m_calibration.world, m_calibration.picture);
    UpdateAllViews(UpdateHint::HINT_REFRESH);
}

void CGpsDoc::ChangeControlPoints(std::vector<ControlPoint> points, const std::string& name) {
    UndoState before = CaptureUndoState();
    ++m_nUndoScope;
    SetControlPointList(std::move(points));
    RecordUndoStep(name, std::move(before));
    --m_nUndoScope;
}

bool CGpsDoc::ChangePointsKind(CoordType coordType, int zone, char letter) {
    const bool bUtm = coordType == CoordType::Utm;
    if (m_bCalibrated || (bUtm && (zone < 1 || zone > 60 || !IsValidUtmLetter(letter)))) {
        return false;
    }
    const CCalibration& current = m_calibration;
    if (coordType == current.coordType &&
        (!bUtm || (zone == current.zone && letter == current.letter))) {
        return true;
    }
    UndoState before = CaptureUndoState();
    ++m_nUndoScope;
    m_calibration.coordType = coordType;
    if (bUtm) {
        m_calibration.zone = zone;
        m_calibration.letter = letter;
    }
    SetModifiedFlag(true);
    UpdateAllViews(UpdateHint::HINT_CONTROL_POINTS);
    RecordUndoStep(std::string(LoadStringId(IDS_UNDO_POINTS_KIND)), std::move(before));
    --m_nUndoScope;
    return true;
}

int CGpsDoc::ApplyControlPoints() {
    // A copy: the views ask for the fit again while the calibration below is committed.
    const CPointFit fit = GetPointFit();
    if (!fit.IsOk()) {
        return -1;
    }
    UndoState before = CaptureUndoState();
    ++m_nUndoScope;
    const int code = CalibrateFromFit(fit.GetTransform(), m_calibration.coordType,
                                      m_calibration.zone, m_calibration.letter);
    if (code == CALIBRATION_OK) {
        RecordUndoStep(std::string(LoadStringId(IDS_UNDO_APPLY_POINTS)), std::move(before));
    }
    --m_nUndoScope;
    return code;
}

void CGpsDoc::SetModifiedFlag(bool modified) {
    CDocument::SetModifiedFlag(modified);
    if (!modified) {
        m_undoStack.setClean();
    } else if (m_nUndoScope == 0) {
        m_undoStack.resetClean();
    }
}

void CGpsDoc::FollowUndoStack() {
    const int clean = m_undoStack.cleanIndex();
    const int index = m_undoStack.index();
    bool modified = clean < 0;
    for (int i = std::min(clean, index); !modified && i < std::max(clean, index); ++i) {
        const auto* pStep = dynamic_cast<const CUndoStep*>(m_undoStack.command(i));
        modified = pStep == nullptr || pStep->ChangesMap();
    }
    CDocument::SetModifiedFlag(modified);
}

void CGpsDoc::RecordUndoStep(const std::string& name, UndoState before) {
    m_undoStack.push(
        new CUndoStep(*this, QString::fromStdString(name), std::move(before), CaptureUndoState()));
}

void CGpsDoc::ResetUndo() {
    m_undoStack.clear();
    if (IsModified()) {
        m_undoStack.resetClean();
    }
}

} // namespace mapreg

#pragma once
// File > Export > "Garmin Custom Map (KMZ)…", "MBTiles…" and "GeoTIFF…": asks where to write,
// then runs mapreg-cli export in the worker process (CWorkerJob, with progress and Cancel) on the
// map as the window holds it now, saved or not. The window links no GDAL; a failure shows the
// worker's message, a Cancel shows nothing, and neither leaves a file behind nor touches the map.

class QWidget;

namespace mapreg {

class CGpsDoc;
class CUserPrompt;

class CDeviceExportCommand {
public:
    // Enabled for a calibrated map with a bitmap of its own, outside calibration mode.
    static bool IsEnabled(const CGpsDoc& doc);
    // Runs the export commandId (ID_FILE_EXPORT_KMZ, _MBTILES or _GEOTIFF).
    static void Run(const CGpsDoc& doc, CUserPrompt& prompt, QWidget* pParent, unsigned commandId);
};

} // namespace mapreg

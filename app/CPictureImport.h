#pragma once
// Map > New Bitmap for pictures of every format GDAL reads: a .bmp loads as it always has; any
// other picture is converted to a bitmap beside it (or where the user says, when that name is
// taken or the folder is not writable), with progress and Cancel for long conversions, and
// arrives calibrated when it carries georeferencing.

#include <optional>
#include <string>

class QWidget;

namespace mapreg {

class CGpsDoc;
class CUserPrompt;

class CPictureImport {
public:
    CPictureImport(CGpsDoc& doc, CUserPrompt& prompt, QWidget* pParent);

    // Runs the whole command: chooser, conversion, load and calibration, with their messages.
    // True when the device would show the imported map more than a pixel away and the user
    // asked to straighten it now.
    bool OnNewBitmap();
    // The command for a picture already chosen; returns as OnNewBitmap.
    bool Open(const std::string& path);

    // Where a new bitmap goes: proposed, unless that file exists or its folder is not
    // writable; then wherever the user says. Nothing when the user cancels.
    static std::optional<std::string> ChooseBitmapName(CUserPrompt& prompt,
                                                       const std::string& proposed);

    // The chooser's filter: "Map pictures" with every extension GDAL reads (.bmp first), then
    // the bitmap filter as before.
    static std::string ChooserFilter();

private:
    CGpsDoc& m_doc;
    CUserPrompt& m_prompt;
    QWidget* m_pParent;
};

} // namespace mapreg

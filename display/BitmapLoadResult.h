#pragma once
// How a load of the map picture ended: loaded, or the one reason it was not. The document
// turns it into its result code and message.

namespace mapreg {

enum class BitmapLoadResult {
    Ok,
    Cancelled,    // no file was chosen (the document's file chooser; never a load's answer)
    NotFound,     // the file, a folder on its path or the bitmap resource does not exist
    AccessDenied, // no permission, or not a plain file
    NotABitmap,   // not a bitmap, or a kind that cannot be read
    Truncated,    // the file ends before its pixel data
    ReadFault,    // the system could not open or read the file
    OutOfMemory,  // the picture does not fit in memory
};

} // namespace mapreg

#pragma once
// What a load or save of the document ended with: whether it was done, and the notices for the
// user in the order they arose (a save that was done can still carry the failure of a file
// written beside it). The document returns it and asks nothing; the desktop program shows it
// (ShowFileResult), the command-line tool prints it.

#include "framework/CUserPrompt.h"

#include <string>
#include <string_view>
#include <vector>

namespace mapreg {

struct FileResult {
    struct Notice {
        unsigned id = 0; // the string-table id the text was made from
        std::string text;
        MsgIcon icon = MsgIcon::Stop;

        // The text of id; with %1 replaced by arg.
        static Notice Of(unsigned id, MsgIcon icon);
        static Notice Of1(unsigned id, std::string_view arg, MsgIcon icon);
    };

    bool done = true;
    std::vector<Notice> notices;

    // Not done, with one notice or none.
    static FileResult Failed(Notice notice);
    static FileResult Failed() { return {false, {}}; }
    // The notices of other after these; done stays as it is.
    void Append(const FileResult& other);
};

} // namespace mapreg

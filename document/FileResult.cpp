#include "document/FileResult.h"

#include "resources/StringTable.h"

#include <utility>

namespace mapreg {

FileResult::Notice FileResult::Notice::Of(unsigned id, MsgIcon icon) {
    return {id, std::string(LoadStringId(id)), icon};
}

FileResult::Notice FileResult::Notice::Of1(unsigned id, std::string_view arg, MsgIcon icon) {
    return {id, FormatString1(id, arg), icon};
}

FileResult FileResult::Failed(Notice notice) {
    FileResult result{false, {}};
    result.notices.push_back(std::move(notice));
    return result;
}

void FileResult::Append(const FileResult& other) {
    notices.insert(notices.end(), other.notices.begin(), other.notices.end());
}

} // namespace mapreg

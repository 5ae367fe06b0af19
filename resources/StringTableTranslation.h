#pragma once
// Putting a translation of the string table in place (the programs do, at start-up).

#include <functional>
#include <string>
#include <string_view>

namespace mapreg {

// translate gets the English text of each entry marked for translation and answers its
// translation, or an empty text to keep the English one. A program calls it at start-up, before
// other threads run; texts LoadStringId gave out before stay valid until the next call. The core
// never calls it, so a program without it shows English.
void TranslateStringTable(const std::function<std::string(std::string_view english)>& translate);

} // namespace mapreg

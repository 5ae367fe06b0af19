#include "coords/UtmZoneText.h"

#include "coords/NumberText.h"

#include <string>

namespace mapreg {

namespace {

// ASCII letters, as isalpha reads them in the C locale whatever locale the program runs in.
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

void ParseUtmZoneText(std::string_view text, int& zone, char& letter) {
    letter = 'X';
    std::string rest;
    rest.reserve(text.size());
    for (const char c : text) {
        if (IsLetter(c)) {
            letter = c;
        } else {
            rest.push_back(c);
        }
    }
    zone = ReadIntField(rest);
}

} // namespace mapreg

#include "coords/AngleParser.h"

#include "coords/NumberText.h"

#include <cmath>
#include <cstring>

namespace mapreg {

namespace {

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

bool IsHemisphereLetter(char c) {
    switch (c) {
    case 'N':
    case 'E':
    case 'S':
    case 'W':
    case 'n':
    case 'e':
    case 's':
    case 'w':
        return true;
    default:
        return false;
    }
}

bool IsSouthOrWest(char c) {
    return c == 'S' || c == 's' || c == 'W' || c == 'w';
}

// Degrees, minutes and seconds in the order they were found.
struct AngleFields {
    double values[3] = {0.0, 0.0, 0.0};
    int count = 0;
    char hemisphere = ' ';

    void AddNumber(std::string_view token) {
        if (count < 3) {
            values[count++] = ReadDoubleField(token);
        }
    }
};

} // namespace

double ParseAngle(std::string_view text) {
    AngleFields fields;
    std::size_t tokenStart = 0;
    std::size_t tokenLength = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsNumberChar(c)) {
            if (tokenLength == 0) {
                tokenStart = i;
            }
            ++tokenLength;
            continue;
        }
        // A letter or a separator completes the pending number; runs of separators count as one.
        if (tokenLength != 0) {
            fields.AddNumber(text.substr(tokenStart, tokenLength));
            tokenLength = 0;
        }
        if (IsHemisphereLetter(c)) {
            fields.hemisphere = c;
        }
    }
    if (tokenLength != 0) {
        fields.AddNumber(text.substr(tokenStart, tokenLength));
    }

    const double d = fields.values[0];
    const double m = fields.values[1];
    const double s = fields.values[2];
    // The sign written on the degrees counts even when they are zero ("-0 30" is -0.5):
    // minutes and seconds then extend the value away from zero.
    constexpr double kPerSecond = 0.0002777777777777778;
    const double value = std::signbit(d) ? (d * 3600.0 - m * 60.0 - s) * kPerSecond
                                         : (d * 3600.0 + m * 60.0 + s) * kPerSecond;
    // S and W turn a positive value; a value already negative keeps its sign.
    if (value > 0.0 && IsSouthOrWest(fields.hemisphere)) {
        return -value;
    }
    return value;
}

double ParseAngle(const char* text) {
    if (text == nullptr) {
        return 0.0;
    }
    return ParseAngle(std::string_view(text, std::strlen(text)));
}

} // namespace mapreg

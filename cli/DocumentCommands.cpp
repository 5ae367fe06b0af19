#include "cli/DocumentCommands.h"

#include "cli/CalibrationInput.h"
#include "cli/PointCommands.h"
#include "coords/AngleParser.h"
#include "coords/NumberText.h"
#include "coords/UtmZoneText.h"
#include "display/CMapBitmap.h"
#include "document/CGpsDoc.h"
#include "document/CMapFile.h"
#include "document/TextFileFormat.h"
#include "document/Utf8Text.h"
#include "framework/CUserPrompt.h"
#include "georef/CalibrationCheck.h"
#include "georef/DeviceError.h"
#include "georef/PixelGround.h"
#include "resources/StringTable.h"

#include <CLI/CLI.hpp>
#include <QImageReader>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace mapreg {

namespace {

std::string Text(unsigned id) {
    return std::string(LoadStringId(id));
}

// The document's questions have no one to answer them here: every message goes to the error
// stream, every question is answered No, and no file is chosen.
class CStreamPrompt : public CUserPrompt {
public:
    explicit CStreamPrompt(std::ostream& err) : m_err(err) {}

    MsgAnswer ShowMessage(unsigned /*id*/, const std::string& text, MsgIcon /*icon*/,
                          MsgButtons buttons) override {
        m_err << text << '\n';
        return buttons == MsgButtons::Ok      ? MsgAnswer::Ok
               : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                              : MsgAnswer::Cancel;
    }
    std::optional<std::string> ChooseFileToOpen(std::string_view, std::string_view,
                                                std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFileToSave(std::string_view, std::string_view,
                                                std::string_view) override {
        return std::nullopt;
    }
    std::optional<int> ChooseItem(unsigned, const std::string&,
                                  const std::vector<std::string>&) override {
        return std::nullopt;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

private:
    std::ostream& m_err;
};

struct RegisterArgs {
    std::string bitmap;
    std::string zoneText;
    std::vector<std::string> marks; // X Y WX WY per mark
    std::string points;             // a points file instead of the marks
    std::string output;
};

void AddRegisterCommand(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("register", Text(IDS_CLI_REGISTER));
    auto args = std::make_shared<RegisterArgs>();
    command->add_option("BITMAP", args->bitmap, Text(IDS_CLI_REGISTER_BITMAP))->required();
    auto* utm = command->add_option("--utm", args->zoneText, Text(IDS_CLI_CALIBRATE_UTM));
    command->add_option("--mark", args->marks, Text(IDS_CLI_CALIBRATE_MARK))
        ->type_size(4)
        ->type_name("X Y WX WY");
    command->add_option("--points", args->points, Text(IDS_CLI_REGISTER_POINTS))
        ->type_name("POINTS");
    command->add_option("-o,--output", args->output, Text(IDS_CLI_REGISTER_OUTPUT));
    command->callback([&context, args, utm] {
        if (!args->points.empty()) {
            if (!args->marks.empty()) {
                context.err << LoadStringId(IDS_CLI_REGISTER_MARKS_OR_POINTS) << '\n';
                context.exitCode = CLI_EXIT_USAGE;
                return;
            }
            RunRegisterFromPoints(args->bitmap, args->points,
                                  utm->count() > 0 ? &args->zoneText : nullptr, args->output,
                                  context);
            return;
        }
        CCalibration input;
        if (!ReadCalibrationInput(args->marks, utm->count() > 0, args->zoneText, context, input)) {
            return;
        }
        const auto& picture = input.picture;

        // The map file names the bitmap by its absolute path, as the application does.
        std::error_code ec;
        const std::string bitmap = std::filesystem::absolute(args->bitmap, ec).string();
        CStreamPrompt prompt(context.err);
        CGpsDoc doc(prompt);
        std::size_t notices = 0;
        doc.SetResultReporter([&context, &notices](const FileResult& result) {
            context.PrintNotices(result);
            notices += result.notices.size();
        });
        if (doc.LoadBitmapFile(ec ? args->bitmap : bitmap) != CGpsDoc::kLoadOk) {
            context.err << LoadStringId(IDS_CANNOT_OPEN_FILE) << '\n';
            context.exitCode = CLI_EXIT_FILE;
            return;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            const CDoublePoint p = picture[i];
            if (p.x < 0 || p.y < 0 || p.x > doc.GetMapWidth() || p.y > doc.GetMapHeight()) {
                context.err << FormatString1(IDS_MARK_OUTSIDE_PICTURE, std::to_string(i + 1))
                            << '\n';
                context.exitCode = CLI_EXIT_USAGE;
                return;
            }
        }
        const CalibrationCheckResult result = doc.Calibrate(input);
        const int code = result.code;
        if (code != CALIBRATION_OK) {
            context.out << "rejected code=" << code << " mark=" << result.mark
                        << " field=" << result.field << '\n';
            context.out << LoadStringId(CalibrationMessageId(code)) << '\n';
            context.exitCode = CLI_EXIT_REJECTED;
            return;
        }
        const std::string mapFile =
            args->output.empty() ? DeriveTextFileName(doc.GetBitmapPath(), ".gpm") : args->output;
        if (!doc.DoSave(mapFile) || notices > 0) {
            // The document has said what went wrong on the error stream.
            context.exitCode = CLI_EXIT_FILE;
            return;
        }
        context.out << mapFile << '\n' << doc.GetRegistrationFileName() << '\n';
    });
}

// A JSON number that reads back to the same double; null for values JSON cannot hold.
std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return ec == std::errc() ? std::string(buffer.data(), end) : std::string("null");
}

// A JSON string of bytes: valid UTF-8 is kept, any other byte stands for its Latin-1 character.
std::string JsonString(std::string_view text) {
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const std::size_t n = DecodeUtf8(text, i).length; n > 0) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++i;
        }
    }
    return out + "\"";
}

// The device error of a calibrated map in metres, to the millimetre, from its three-mark
// calibration and its bitmap's size; NaN when the map is not calibrated or its bitmap unreadable.
double InfoDeviceError(const CMapFile::Contents& contents) {
    const QSize size = QImageReader(QString::fromStdString(contents.bitmapPath)).size();
    if (!contents.calibrated || size.isEmpty()) {
        return std::nan("");
    }
    const double metres = CalibrationDeviceError(contents.calibration, size.width(), size.height());
    return std::round(metres * 1000.0) / 1000.0;
}

// The ground of one pixel at the bitmap's centre (to the millimetre) and the turn of its rows
// (to 1e-4 degrees); NaN as for the device error.
SPixelGround InfoPixelGround(const CMapFile::Contents& contents) {
    const QSize size = QImageReader(QString::fromStdString(contents.bitmapPath)).size();
    if (!contents.calibrated || size.isEmpty()) {
        return {std::nan(""), std::nan(""), std::nan("")};
    }
    const SPixelGround ground =
        PixelGroundAt(contents.calibration, {size.width() / 2.0, size.height() / 2.0});
    // Adding zero turns a rounded -0 into 0.
    const auto round = [](double value, double scale) {
        return std::round(value * scale) / scale + 0.0;
    };
    return {round(ground.xMetres, 1e3), round(ground.yMetres, 1e3),
            round(ground.rotationDegrees, 1e4)};
}

void AddInfoCommand(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("info", Text(IDS_CLI_INFO));
    auto path = std::make_shared<std::string>();
    command->add_option("MAP", *path, Text(IDS_CLI_INFO_FILE))->required();
    command->callback([&context, path] {
        CMapFile::Contents contents;
        const CMapFile::LoadResult result = CMapFile::Load(*path, contents);
        if (result.status == CMapFile::Status::Empty) {
            // Open takes an empty file as the calibrated default map; so does info.
            CStreamPrompt prompt(context.err);
            CGpsDoc doc(prompt);
            doc.SetDefaultCalibration();
            contents.calibrated = true;
            contents.calibration = doc.GetCalibration();
        } else if (result.status != CMapFile::Status::Ok) {
            context.err << CMapFile::Message(result, *path) << '\n';
            context.exitCode = CLI_EXIT_FILE;
            return;
        }
        const CCalibration& calibration = contents.calibration;
        std::string json =
            "{\"bitmap\":" + JsonString(contents.bitmapPath) +
            ",\"calibrated\":" + (contents.calibrated ? "true" : "false") +
            ",\"coordType\":" + std::to_string(CoordTypeNumber(calibration.coordType)) +
            ",\"zone\":" + std::to_string(calibration.zone) +
            ",\"letter\":" + JsonString(std::string(1, calibration.letter)) + ",\"marks\":[";
        for (std::size_t i = 0; i < 3; ++i) {
            json += i == 0 ? "{" : ",{";
            json += "\"x\":" + JsonNumber(calibration.picture[i].x) +
                    ",\"y\":" + JsonNumber(calibration.picture[i].y) +
                    ",\"worldX\":" + JsonNumber(calibration.world[i].x) +
                    ",\"worldY\":" + JsonNumber(calibration.world[i].y) + "}";
        }
        const SPixelGround ground = InfoPixelGround(contents);
        json += "],\"deviceErrorM\":" + JsonNumber(InfoDeviceError(contents)) +
                ",\"pixelSizeXM\":" + JsonNumber(ground.xMetres) +
                ",\"pixelSizeYM\":" + JsonNumber(ground.yMetres) +
                ",\"rotationDeg\":" + JsonNumber(ground.rotationDegrees) + "}";
        context.out << json << '\n';
    });
}

} // namespace

void AddDocumentCommands(CLI::App& app, CliContext& context) {
    AddRegisterCommand(app, context);
    AddInfoCommand(app, context);
}

} // namespace mapreg

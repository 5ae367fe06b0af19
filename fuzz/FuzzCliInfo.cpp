// `mapreg-cli info` on arbitrary file contents. It must end with status 0 and one line of valid
// JSON (valid UTF-8, no NaN or infinity) on the output and nothing on the error stream, or with
// status 4 (a file problem), one message line on the error stream and nothing on the output.
#include "FuzzSupport.h"
#include "cli/CliContext.h"
#include "cli/CliRunner.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cstdint>
#include <sstream>
#include <string>

using namespace mapreg;

namespace {

bool IsOneLine(const std::string& text) {
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = fuzz::WriteScratchFile("info.gpm", data, size);
    std::string program = "mapreg-cli";
    std::string command = "info";
    char* argv[] = {program.data(), command.data(), path.data(), nullptr};
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(3, argv, out, err);
    if (status == CLI_EXIT_OK) {
        const std::string json = out.str();
        if (!err.str().empty() || !IsOneLine(json)) {
            fuzz::Fail("info succeeded without exactly one line of output");
        }
        // Qt's parser is strict: it refuses malformed UTF-8, bare NaN and infinity and any
        // text after the object.
        QJsonParseError error{};
        QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
        if (error.error != QJsonParseError::NoError) {
            fuzz::Fail("info printed invalid JSON");
        }
        if (fuzz::ShowsNonFinite(json.substr(json.find("\"marks\"")))) {
            fuzz::Fail("info printed NaN or infinity");
        }
    } else if (status == CLI_EXIT_FILE) {
        if (!out.str().empty() || !IsOneLine(err.str())) {
            fuzz::Fail("a failed info must print one message line and no output");
        }
    } else {
        fuzz::Fail("info ended with an unexpected status");
    }
    return 0;
}

#pragma once
// mapreg-cli run in-process on string streams, and a fresh temporary folder per test for the
// commands that read and write files.

#include "TestFiles.h"
#include "cli/CliRunner.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace mapreg {

namespace fs = std::filesystem;

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

template <typename... T> std::vector<std::string> Args(T... args) {
    return {std::string(args)...};
}

inline CliResult RunTool(std::vector<std::string> args) {
    // The program name goes first in argv only: inserting it at the front of args makes GCC 12
    // at -O3 warn of a null dereference inside std::string.
    std::string program = "mapreg-cli";
    std::vector<char*> argv{program.data()};
    for (std::string& s : args) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(static_cast<int>(argv.size() - 1), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

// The worker side of Cancel: runs the real mapreg-cli at program with args (given --progress),
// sends SIGTERM once its first "progress " line has come on standard error, and returns its exit
// status; -1 when it wrote no progress line first or did not exit.
inline int TerminateAfterFirstProgress(const char* program, std::vector<std::string> args) {
    std::vector<char*> argv{const_cast<char*>("mapreg-cli")};
    for (std::string& s : args) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 2);
        ::close(pipeFds[0]);
        ::execv(program, argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    FILE* errors = ::fdopen(pipeFds[0], "r");
    std::array<char, 256> line{};
    const bool progress = std::fgets(line.data(), line.size(), errors) != nullptr &&
                          std::string_view(line.data()).substr(0, 9) == "progress ";
    ::kill(pid, SIGTERM);
    while (std::fgets(line.data(), line.size(), errors) != nullptr) {
    }
    std::fclose(errors);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !progress || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

class CliFolderTest : public ::testing::Test {
protected:
    QTemporaryDir m_tmp;
    fs::path dir{m_tmp.path().toStdString()};
};

} // namespace mapreg

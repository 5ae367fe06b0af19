#pragma once
// mapreg-cli run in-process on string streams, and a fresh temporary folder per test for the
// commands that read and write files.

#include "CliRunner.h"
#include "TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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

class CliFolderTest : public ::testing::Test {
protected:
    QTemporaryDir m_tmp;
    fs::path dir{m_tmp.path().toStdString()};
};

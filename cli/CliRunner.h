#pragma once
// The whole of mapreg-cli as a function, so that tests run it with string streams.

#include <ostream>

namespace mapreg {

// Parses argv, runs the chosen command writing its result to out and its errors to err, and
// returns the exit status (CliExit). Never throws.
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace mapreg

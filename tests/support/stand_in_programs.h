// Programs that stand in for strings64.exe on the headless platform, and the command-line
// splitting they need.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless.h"

namespace spurlese {

namespace testsupport {

// Windows' rules for splitting a command line into arguments (CommandLineToArgvW).
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

// Our extractor: strings of the file named by the last argument, with "-n <length>".
headless::ProgramBehaviour StringsProgram();
// Prints the bytes of the file named by the last argument as they are.
headless::ProgramBehaviour CatProgram();

}  // namespace testsupport

}  // namespace spurlese

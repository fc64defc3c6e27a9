// Spurlese.exe: the program reads no command line; everything happens in RunProgram.
#include "ui/program.h"

using namespace spurlese;

int main() {
    return RunProgram();
}

// Spurlese.exe: the program reads no command line; everything happens in RunProgram.
#include "program/program.h"

using namespace spurlese;

int main() {
    return RunProgram();
}

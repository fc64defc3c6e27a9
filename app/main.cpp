// Spurlese.exe: the program reads no command line; everything happens in RunProgram.
#include "ui/program.h"

int main() {
    return RunProgram();
}

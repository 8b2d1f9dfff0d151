// The program's entry point: installs the operating system's platform and
// hands over to the program body.
#include "frontend/program_run.h"
#include "platform/platform_posix.h"

int main(int argc, char** argv) {
  tallyra::PosixPlatform posix(argc, argv);
  tallyra::setPlatform(&posix);
  tallyra::runProgram();
}

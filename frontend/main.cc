// The program's entry point: installs the operating system's platform and
// hands over to the program body.
#include "frontend/program_run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  tallyra::setPlatform(tallyra::systemPlatform(argc, argv));
  tallyra::runProgram();
}

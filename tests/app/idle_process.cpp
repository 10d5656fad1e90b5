// A process that only waits, for tests that need some named process to run
// (copied and started as MACH3.EXE by the Mach3-running check tests).
#include <windows.h>

int main() {
  Sleep(60000);  // the test terminates it long before
  return 0;
}

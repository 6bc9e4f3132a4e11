// kilnrun_guiprog: a windowed (GUI subsystem) Windows program that exits at once, for the
// checks that tell console programs from windowed ones.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }

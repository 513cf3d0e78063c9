// Stays alive while the Wine tests run, so that Wine's own background
// processes start once, with their output away from the test runner's pipes.
#include <windows.h>

int main() { Sleep(INFINITE); }

#include <cstdio>

// The main window arrives with the toolkit; until then the program says so plainly.
int main()
{
    std::printf("Fetchwick %s: the libraries are built, but the main window is not there yet.\n", FETCHWICK_VERSION);
    return 0;
}

// How long the program's read of a srv.xml takes, one line per file named on the command line:
// "hostile-xml <file> <ms>". The files declare entities meant to blow up; the tests only make
// sure that such a read ends and is refused, the time is read here.
#include "config/StoredCommand.h"
#include "support/Dialogs.h"

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 1; i < argc; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        AnswerMessageBoxesDuring([&] { LoadAutorunCommand(argv[i]); });
        QueryPerformanceCounter(&end);
        std::printf("hostile-xml %s %.1f\n", argv[i], 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    return 0;
}

// A test tool that holds a file open without letting anyone delete it until
// its standard input ends:  uninsthold PATH  prints HELD, or ERROR.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        printf("ERROR usage: uninsthold PATH\n");
        return 2;
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        printf("ERROR cannot open %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    printf("HELD\n");
    fflush(stdout);
    char line[64];
    while (fgets(line, sizeof line, stdin)) {
    }
    CloseHandle(file);
    return 0;
}

// A test tool that looks at a window of another process and prints what it
// finds, so that a test can check the handles and sizes it sees in messages:
//
//   winprobe window HWND     WINDOW class=NAME parent=0xHANDLE style=0xSTYLE
//   winprobe listpage HWND   LISTPAGE items=N itemheight=H clientheight=C
//
// items is how many whole items the list box shows at once, that is how far
// one page moves its top index.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) {
        printf("ERROR usage: winprobe window|listpage HWND\n");
        return 2;
    }
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(argv[2], nullptr, 0)));
    if (!IsWindow(window)) {
        printf("ERROR no window %s\n", argv[2]);
        return 1;
    }
    if (!strcmp(argv[1], "window")) {
        char name[128] = "";
        GetClassNameA(window, name, sizeof name);
        printf("WINDOW class=%s parent=0x%llx style=0x%lx\n", name,
               (unsigned long long)(uintptr_t)GetParent(window),
               (unsigned long)GetWindowLongA(window, GWL_STYLE));
    } else if (!strcmp(argv[1], "listpage")) {
        RECT client = {};
        GetClientRect(window, &client);
        long itemHeight = static_cast<long>(SendMessageA(window, LB_GETITEMHEIGHT, 0, 0));
        long height = client.bottom - client.top;
        long items = itemHeight > 0 ? height / itemHeight : 0;
        if (items < 1) items = 1;
        printf("LISTPAGE items=%ld itemheight=%ld clientheight=%ld\n", items, itemHeight, height);
    } else {
        printf("ERROR unknown command %s\n", argv[1]);
        return 2;
    }
    fflush(stdout);
    return 0;
}

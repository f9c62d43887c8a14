#include "app/win32/program.h"

#include <ctime>

#include "app/seeded_random.h"
#include "app/win32/main_window.h"

int runProgram(HINSTANCE instance, int showCommand) {
    MainWindow::registerClass(instance);
    // The only seeding of the program's one random source.
    SeededRandom random(static_cast<uint32_t>(time(nullptr)));
    MainWindow window(instance, random);
    HWND handle = window.create();
    if (handle == nullptr) {
        return 1;  // without a window the loop below would wait forever
    }
    ShowWindow(handle, showCommand);
    UpdateWindow(handle);
    MSG message = {};
    // GetMessageW gives -1 on failure: that ends the loop too.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.routeDialogKey(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

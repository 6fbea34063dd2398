// The web program: opens the game's window on the page. The page keeps the program once
// main has returned, and its events call back in (main_window.cpp).
#include "main_window.h"

int main() {
    static casino::web::MainWindow window;
    return 0;
}

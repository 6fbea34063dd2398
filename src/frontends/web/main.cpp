// The web program: opens the game's window on the page. The page keeps the program once
// main has returned, and its events call back in (main_window.cpp).
#include "core/random_source.h"
#include "core/table_state.h"
#include "main_window.h"

int main() {
    static casino::RandomSource draws;
    static casino::TableState table;
    static casino::web::MainWindow window(draws, table);
    return 0;
}

// The web program: opens the game's window on the page. The page keeps the program once
// main has returned, and its events call back in (main_window.cpp).
#include "core/random_source.h"
#include "core/game_state.h"
#include "main_window.h"

int main() {
    static casino::RandomSource draws;
    static casino::GameState state;
    static casino::web::MainWindow window(draws, state);
    return 0;
}

// bare_web: the smallest page of the web game's kind, for the benchmark: an Emscripten
// program that puts one button on an empty page.
#include <emscripten/emscripten.h>

EM_JS(void, add_button, (), {
    const button = document.createElement('button');
    button.textContent = 'button';
    document.body.append(button);
});

int main() {
    add_button();
    return 0;
}

// street_page: writes, at build time, the street as the page is served (the window with its
// caption, its menu bar and the street's controls), so that the browser draws it before any
// script runs; the game then takes the window over (page/window.js). Built with the web
// build's own compiler and run under Node.js.
//   street_page title    the page's title
//   street_page markup   the window's markup, for the page's <main>
//   street_page layout   the stylesheet rules that size and colour it
#include <cstdio>
#include <string>
#include <string_view>

#include "core/controls.h"
#include "css_pixels.h"

namespace {

using namespace casino;

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// A length in the window's pixels, which the page's stylesheet scales to the view.
std::string scaled(int twips) {
    char number[32];
    std::snprintf(number, sizeof number, "%g", web::css_pixels(twips));
    return std::string("calc(") + number + " * var(--px))";
}

std::string markup() {
    std::string menus;
    for (const MenuSpec& menu : kMenus) {
        menus += "<div class=\"menu\" role=\"none\"><button type=\"button\" class=\"menu-title\" "
                 "role=\"menuitem\" aria-haspopup=\"menu\" aria-expanded=\"false\">" +
                 escaped(menu.caption) + "</button></div>";
    }
    std::string controls;
    for (const Control c : controls_on(Screen::street)) {
        controls += "<button type=\"button\" id=\"" + std::string(spec_of(c).name) + "\">" +
                    escaped(spec_of(c).caption) + "</button>";
    }
    return "<section class=\"window\" aria-labelledby=\"window-caption\">\n"
           "<div class=\"title-bar\"><img src=\"icons/casino-192.png\" alt=\"\" loading=\"lazy\">"
           "<h1 id=\"window-caption\">" + escaped(kWindow.caption) + "</h1></div>\n"
           "<div class=\"menu-bar\" role=\"menubar\">" + menus + "</div>\n"
           "<div class=\"client\">" + controls + "</div>\n</section>";
}

std::string layout() {
    const Rgb& rgb = kWindow.background;
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    std::string rules = "main > .window > .client { width: " + scaled(kWindow.client_width) +
                        "; height: " + scaled(kWindow.client_height) +
                        "; background-color: " + colour + "; }\n";
    for (const Control c : controls_on(Screen::street)) {
        const ControlSpec& row = spec_of(c);
        rules += "main > .window > .client > #" + std::string(row.name) + " { left: " +
                 scaled(row.left) + "; top: " + scaled(row.top) + "; width: " +
                 scaled(row.width) + "; height: " + scaled(row.height) + "; }\n";
    }
    return rules;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc == 2 ? argv[1] : "";
    if (what == "title") {
        std::puts(escaped(kWindow.caption).c_str());
    } else if (what == "markup") {
        std::puts(markup().c_str());
    } else if (what == "layout") {
        std::puts(layout().c_str());
    } else {
        std::fputs("usage: street_page title|markup|layout\n", stderr);
        return 2;
    }
    return 0;
}

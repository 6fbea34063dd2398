// The JavaScript library of the web front end: the C functions of page.h, each handing its
// call to the page's widgets (page/*.js), which page/game.js gives the program as
// Module.page, with the texts turned from UTF-8 into strings.
// The boxes and the cues wait for the player or the sound: Asyncify suspends the game's
// handler until their promise settles, and then calls the function again to go on, so each
// of them starts its work inside handleAsync, which runs it the first time only.

mergeInto(LibraryManager.library, {
  // ---- The window ----
  casino_page_open_window: function (caption, width, height, background) {
    // Every event of the page reaches the game through one of its entry points, which may
    // wait inside a box: ccall hands back a promise for the end of the handler.
    const enter = function (name, args) {
      return ccall(name, null, args.map(function () { return 'number'; }), args, {async: true});
    };
    Module.page.openWindow(UTF8ToString(caption), width, height, UTF8ToString(background), enter);
  },
  casino_page_add_menu: function (menu, caption) {
    Module.page.window.addMenu(menu, UTF8ToString(caption));
  },
  casino_page_add_menu_item: function (menu, item, label) {
    Module.page.window.addMenuItem(menu, item, UTF8ToString(label));
  },
  casino_page_set_menu_label: function (item, label) {
    Module.page.window.setMenuLabel(item, UTF8ToString(label));
  },
  casino_page_add_button: function (control, name, caption, left, top, width, height) {
    Module.page.window.addButton(control, UTF8ToString(name), UTF8ToString(caption),
                                {left: left, top: top, width: width, height: height});
  },
  casino_page_set_control: function (control, visible, enabled) {
    Module.page.window.setControl(control, visible !== 0, enabled !== 0);
  },
  casino_page_focused_control: function () {
    return Module.page.window.focusedControl();
  },
  casino_page_focus: function (control) {
    Module.page.window.focus(control);
  },
  casino_page_button_font_size: function () {
    return Module.page.window.buttonFontSize();
  },
  casino_page_text_width: function (text, size) {
    return Module.page.window.textWidth(UTF8ToString(text), size);
  },
  casino_page_line_height: function (size) {
    return Module.page.window.lineHeight(size);
  },
  casino_page_set_caption_font: function (size) {
    Module.page.window.setCaptionFont(size);
  },
  // Seconds since local midnight, with their fraction, from the page's clock.
  casino_page_time_of_day: function () {
    const now = new Date();
    return now.getHours() * 3600 + now.getMinutes() * 60 + now.getSeconds() +
           now.getMilliseconds() / 1000;
  },
  casino_page_close_window: function () {
    Module.page.window.close();
  },

  // ---- The list boxes ----
  casino_page_add_list: function (control, name, accessibleName, hint, left, top, width, height) {
    Module.page.window.addList(control, UTF8ToString(name), UTF8ToString(accessibleName),
                              UTF8ToString(hint),
                              {left: left, top: top, width: width, height: height});
  },
  casino_page_list_add: function (control, text) {
    Module.page.window.list(control).append(UTF8ToString(text));
  },
  casino_page_list_remove: function (control, index) {
    Module.page.window.list(control).remove(index);
  },
  casino_page_list_clear: function (control) {
    Module.page.window.list(control).clear();
  },
  casino_page_list_set_highlight: function (control, index) {
    Module.page.window.list(control).setHighlight(index);
  },
  casino_page_list_highlight: function (control) {
    return Module.page.window.list(control).highlight();
  },

  // ---- The boxes ----
  casino_page_message: function (title, text) {
    return Asyncify.handleAsync(function () {
      return Module.page.boxes.message(UTF8ToString(title), UTF8ToString(text));
    });
  },
  casino_page_ask__deps: ['malloc'],
  casino_page_ask: function (title, prompt) {
    return Asyncify.handleAsync(function () {
      return Module.page.boxes.ask(UTF8ToString(title), UTF8ToString(prompt)).then(function (answer) {
        const size = lengthBytesUTF8(answer) + 1;
        const copy = _malloc(size);
        if (copy !== 0) stringToUTF8(answer, copy, size);
        return copy;
      });
    });
  },

  // ---- The cues ----
  casino_page_play_cue: function (url, margin, longest, bell) {
    return Asyncify.handleAsync(function () {
      return Module.page.cues.play(UTF8ToString(url), {margin: margin, longest: longest, bell: bell});
    });
  },
});

// The game's own modal input box, laid out in dialog units and built in memory.
#include "input_box.h"

#include <optional>
#include <vector>

#include "placement.h"

namespace casino::win32 {

namespace {

// ---- The dialog template ----

// Builds a DLGTEMPLATE and its items word by word; every item starts on a DWORD boundary.
class TemplateWriter {
   public:
    void add_word(WORD w) { words_.push_back(w); }
    void add_dword(DWORD d) {
        add_word(LOWORD(d));
        add_word(HIWORD(d));
    }
    void add_text(std::wstring_view text) {
        for (const wchar_t ch : text) add_word(static_cast<WORD>(ch));
        add_word(0);
    }
    void align_dword() {
        if (words_.size() % 2 != 0) add_word(0);
    }
    void add_item(DWORD style, short x, short y, short cx, short cy, int id, WORD class_atom,
                  std::wstring_view text) {
        align_dword();
        add_dword(style | WS_CHILD | WS_VISIBLE);
        add_dword(0);  // extended style
        for (const short v : {x, y, cx, cy}) add_word(static_cast<WORD>(v));
        add_word(static_cast<WORD>(id));
        add_word(0xFFFF);
        add_word(class_atom);
        add_text(text);
        add_word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

   private:
    std::vector<WORD> words_;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

// ---- The system's button captions ----

// Reads a DLGTEMPLATE word by word, never past its end.
class TemplateReader {
   public:
    TemplateReader(const WORD* words, std::size_t count) : words_(words), count_(count) {}
    [[nodiscard]] bool ok() const { return at_ <= count_; }
    WORD word() {
        if (at_ >= count_) {
            at_ = count_ + 1;
            return 0;
        }
        return words_[at_++];
    }
    DWORD dword() {
        const WORD low = word();
        return MAKELONG(low, word());
    }
    void skip(std::size_t words) { at_ += words; }
    void align_dword() { at_ += at_ % 2; }
    // A name or text: none, a 0xFFFF ordinal, or characters up to a zero. The text stays
    // in the module's resources, which live as long as the module.
    std::wstring_view text() {
        if (at_ < count_ && words_[at_] == 0xFFFF) {
            skip(2);
            return {};
        }
        const std::size_t start = at_;
        while (at_ < count_ && words_[at_] != 0) ++at_;
        const std::size_t end = at_;
        skip(1);  // the zero
        return {reinterpret_cast<const wchar_t*>(words_ + start), end - start};
    }

   private:
    const WORD* words_;
    std::size_t count_;
    std::size_t at_ = 0;
};

// The text of the item with this id in one of a module's dialog templates, in the
// language the system would show it in; none if there is no such plain template.
std::optional<std::wstring_view> dialog_item_text(HMODULE module, const wchar_t* dialog, int id) {
    HRSRC found = FindResourceW(module, dialog, RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return std::nullopt;
    TemplateReader r(static_cast<const WORD*>(data), SizeofResource(module, found) / sizeof(WORD));
    const DWORD style = r.dword();
    if (LOWORD(style) == 1 && HIWORD(style) == 0xFFFF) return std::nullopt;  // an extended one
    r.skip(2);                                                               // extended style
    const WORD items = r.word();
    r.skip(4);  // x, y, cx, cy
    r.text();   // menu
    r.text();   // class
    r.text();   // title
    if ((style & DS_SETFONT) != 0) {
        r.skip(1);  // point size
        r.text();   // typeface
    }
    for (WORD i = 0; i < items && r.ok(); ++i) {
        r.align_dword();
        r.skip(4 + 4);  // style, extended style, x, y, cx, cy
        const WORD item_id = r.word();
        r.text();  // class
        const std::wstring_view text = r.text();
        r.skip((r.word() + 1U) / 2);  // creation data, in bytes
        if (item_id == id && r.ok()) return text;
    }
    return std::nullopt;
}

// What the system's own message boxes write on the button with this id (IDOK, IDCANCEL),
// in the system's language. Windows hands the captions out through user32's MB_GetString,
// indexed from IDOK - 1. Wine has no such export: it builds its message boxes from
// user32's dialog template "MSGBOX", whose buttons carry the same ids.
std::wstring system_button_caption(int id, std::wstring_view fallback) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using GetString = const wchar_t*(WINAPI*)(UINT);
    const auto get = reinterpret_cast<GetString>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "MB_GetString")));
    if (const wchar_t* text = get != nullptr ? get(static_cast<UINT>(id - IDOK)) : nullptr;
        text != nullptr && *text != L'\0') {
        return text;
    }
    if (auto text = dialog_item_text(user32, L"MSGBOX", id); text && !text->empty()) {
        return std::wstring(*text);
    }
    return std::wstring(fallback);
}

// ---- The dialog procedure ----

struct Answer {
    std::wstring text;
};

void centre_over_owner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner == nullptr) return;
    RECT outer{};
    GetWindowRect(owner, &outer);
    centre_within_work_area(dialog, outer);
}

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lparam);
            centre_over_owner(dialog);
            return TRUE;  // the focus goes to the first tab stop, the edit field
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            if (id == IDOK) {
                auto* answer = reinterpret_cast<Answer*>(GetWindowLongPtrW(dialog, DWLP_USER));
                HWND edit = GetDlgItem(dialog, kInputEditId);
                const int length = GetWindowTextLengthW(edit);
                answer->text.assign(static_cast<std::size_t>(length) + 1, L'\0');
                GetWindowTextW(edit, answer->text.data(), length + 1);
                answer->text.resize(static_cast<std::size_t>(length));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (id == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        }
        default: return FALSE;
    }
}

}  // namespace

std::wstring ask_text(HWND owner, std::wstring_view title, std::wstring_view prompt) {
    TemplateWriter t;
    t.add_dword(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.add_dword(0);                                                              // extended style
    t.add_word(4);                                                               // items
    for (const WORD v : {WORD{0}, WORD{0}, WORD{196}, WORD{78}}) t.add_word(v);  // x, y, cx, cy
    t.add_word(0);                                                               // no menu
    t.add_word(0);  // the standard dialog class
    t.add_text(title);
    t.add_word(8);
    t.add_text(L"MS Shell Dlg");
    // The tab order is the item order: the edit field comes first after the prompt.
    t.add_item(SS_LEFT, 7, 7, 130, 44, kInputPromptId, kStaticAtom, prompt);
    t.add_item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 57, 182, 13, kInputEditId, kEditAtom,
               L"");
    t.add_item(BS_DEFPUSHBUTTON | WS_TABSTOP, 139, 7, 50, 14, IDOK, kButtonAtom,
               system_button_caption(IDOK, L"OK"));
    t.add_item(BS_PUSHBUTTON | WS_TABSTOP, 139, 25, 50, 14, IDCANCEL, kButtonAtom,
               system_button_caption(IDCANCEL, L"Cancel"));

    Answer answer;
    const INT_PTR result = DialogBoxIndirectParamW(
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), t.get(), owner,
        dialog_proc, reinterpret_cast<LPARAM>(&answer));
    if (result != IDOK) return {};
    return answer.text;
}

}  // namespace casino::win32

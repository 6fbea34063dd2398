// The game's own modal input box, laid out in dialog units and built in memory.
#include "input_box.h"

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
    t.add_item(BS_DEFPUSHBUTTON | WS_TABSTOP, 139, 7, 50, 14, IDOK, kButtonAtom, L"OK");
    t.add_item(BS_PUSHBUTTON | WS_TABSTOP, 139, 25, 50, 14, IDCANCEL, kButtonAtom, L"Cancel");

    Answer answer;
    const INT_PTR result = DialogBoxIndirectParamW(
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), t.get(), owner,
        dialog_proc, reinterpret_cast<LPARAM>(&answer));
    if (result != IDOK) return {};
    return answer.text;
}

}  // namespace casino::win32

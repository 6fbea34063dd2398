// A library preloaded into the real Linux program during a monkey run. It changes nothing:
// it notes, one line each, every event that reaches the game's controls and menu, every box
// the game opens with its text, and what each input box gave back, in the file named by
// CASINO_MONKEY_LOG. The boxes are shown as always and the player answers them.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/ctrlsub.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/module.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textdlg.h>
#include <wx/vlbox.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::FILE* log_file() {
    static std::FILE* file = [] {
        const char* path = std::getenv("CASINO_MONKEY_LOG");
        return path != nullptr ? std::fopen(path, "a") : nullptr;
    }();
    return file;
}

void note(const std::string& line) {
    if (std::FILE* file = log_file()) {
        std::fputs((line + "\n").c_str(), file);
        std::fflush(file);
    }
}

std::string utf8(const wxString& text) { return std::string(text.utf8_str()); }

// The list's highlighted entry, by index: the monkey knows the entries from the boxes.
int highlight_of(wxWindow* list) {
    if (auto* box = dynamic_cast<wxVListBox*>(list)) return box->GetSelection();
    if (auto* items = dynamic_cast<wxItemContainerImmutable*>(list)) return items->GetSelection();
    return -1;
}

// The events the game's window hands to the game, noted before the game sees them. wx
// starts every module it finds, this one too; the watch begins once the main loop runs,
// which is after the program has made and shown its window.
class Watcher final : public wxModule {
   public:
    bool OnInit() override {
        wxTheApp->CallAfter([] { bind(); });
        return true;
    }
    void OnExit() override {}

   private:
    static void bind() {
        auto* frame =
            wxTheApp != nullptr ? dynamic_cast<wxFrame*>(wxTheApp->GetTopWindow()) : nullptr;
        // Shown only once its constructor has made every control.
        if (frame == nullptr || !frame->IsShown()) {
            wxTheApp->CallAfter([] { bind(); });
            return;
        }
        frame->Bind(wxEVT_MENU, [frame](wxCommandEvent& event) {
            note("event menu " + std::to_string(menu_index(*frame, event.GetId())));
            event.Skip();
        });
        frame->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent& event) {
            note("event close");
            event.Skip();
        });
        watch_children(*frame);
    }

    // The game's buttons and lists carry the game's names for them.
    static void watch_children(wxWindow& parent) {
        for (wxWindow* control : parent.GetChildren()) {
            const std::string name = utf8(control->GetName());
            if (dynamic_cast<wxButton*>(control) != nullptr) {
                control->Bind(wxEVT_BUTTON, [name](wxCommandEvent& event) {
                    note("event click " + name);
                    event.Skip();
                });
            } else if (name.starts_with("List")) {
                control->Bind(wxEVT_CHAR, [name, control](wxKeyEvent& event) {
                    int code = static_cast<int>(event.GetUnicodeKey());
                    if (event.GetKeyCode() == WXK_NUMPAD_ENTER) code = WXK_RETURN;
                    if (event.GetKeyCode() > 0 && event.GetKeyCode() < 32)
                        code = event.GetKeyCode();
                    if (code != WXK_NONE) {
                        note("event key " + name + " " + std::to_string(code) + " " +
                             std::to_string(highlight_of(control)));
                    }
                    event.Skip();
                });
                control->Bind(wxEVT_LISTBOX_DCLICK, [name, control](wxCommandEvent& event) {
                    note("event activate " + name + " " + std::to_string(highlight_of(control)));
                    event.Skip();
                });
            } else {
                watch_children(*control);
            }
        }
    }

    // The item's place among all the menu items, in the order of the menus.
    static int menu_index(wxFrame& frame, int id) {
        int index = 0;
        wxMenuBar* bar = frame.GetMenuBar();
        for (std::size_t m = 0; m < bar->GetMenuCount(); ++m) {
            for (const wxMenuItem* item : bar->GetMenu(m)->GetMenuItems()) {
                if (item->GetId() == id) return index;
                ++index;
            }
        }
        return -1;
    }

    wxDECLARE_DYNAMIC_CLASS(Watcher);
};
wxIMPLEMENT_DYNAMIC_CLASS(Watcher, wxModule);

// Every box the game opens, shown as usual.
class BoxWatcher final : public wxModalDialogHook {
   public:
    BoxWatcher() { Register(); }
    ~BoxWatcher() override { Unregister(); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

   protected:
    int Enter(wxDialog* dialog) override {
        if (auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog)) {
            std::string prompt;
            for (wxWindow* child : ask->GetChildren()) {
                if (auto* text = dynamic_cast<wxStaticText*>(child))
                    prompt += utf8(text->GetLabel());
            }
            note("ask " + prompt);
        } else if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            note("message " + utf8(box->GetMessage()));
        } else {
            note("dialog " + utf8(dialog->GetTitle()));
        }
        return wxID_NONE;
    }

    void Exit(wxDialog* dialog) override {
        if (auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog)) {
            note("answer " +
                 (ask->GetReturnCode() == wxID_OK ? utf8(ask->GetValue()) : std::string()));
        }
        note("closed");
    }
};

struct AtExit {
    ~AtExit() { note("exit"); }
};

// Made when the library is loaded, after wx's own libraries.
AtExit at_exit;
BoxWatcher box_watcher;

}  // namespace

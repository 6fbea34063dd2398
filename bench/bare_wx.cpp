// bare_wx: the smallest program of the Linux game's kind, for the start-up benchmark: a wx
// frame with a menu bar holding one menu and one item, and one button.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>

namespace bench {

class BareApp final : public wxApp {
   public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bare");
        auto* menu = new wxMenu;
        menu->Append(wxID_EXIT, "item\tF3");
        auto* bar = new wxMenuBar;
        bar->Append(menu, "menu");
        frame->SetMenuBar(bar);
        auto* panel = new wxPanel(frame);
        new wxButton(panel, wxID_ANY, "button", wxPoint(10, 10));
        frame->SetClientSize(312, 210);
        frame->Show();
        return true;
    }
};

}  // namespace bench

wxIMPLEMENT_APP(bench::BareApp);

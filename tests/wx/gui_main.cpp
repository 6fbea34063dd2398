// Runs the GUI tests inside a real wx application, on the display named by DISPLAY.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/debug.h>
#include <wx/log.h>

#include <cstdio>
#include <string>

// Outside the anonymous namespace: wxIMPLEMENT_APP_NO_MAIN gives it an accessor.
class TestApp final : public wxApp {
   public:
    bool OnInit() override { return true; }
};

namespace {

// A wx assertion would open a dialog and wait for a click that never comes; in a test it
// is a failure instead.
void fail_on_assert(const wxString& file, int line, const wxString& func, const wxString& cond,
                    const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion " << cond.utf8_str() << " in "
                                          << func.utf8_str() << ": " << msg.utf8_str();
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(TestApp);

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "wx_gui_tests: cannot open the display (is DISPLAY set?)\n");
        return 1;
    }
    wxLog::EnableLogging(false);
    wxSetAssertHandler(fail_on_assert);

    // GTK reports its troubles (a widget squeezed below its minimum, say) on stderr; the
    // game's window must give it none.
    ::testing::internal::CaptureStderr();
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    const std::string noise = ::testing::internal::GetCapturedStderr();
    if (!noise.empty()) {
        std::fprintf(stderr, "%s\nwx_gui_tests: FAILED: the window wrote the above on stderr\n",
                     noise.c_str());
        result = 1;
    }
    return result;
}

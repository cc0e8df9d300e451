#include "codepage.h"
#include "form1.h"
#include "systemlocale.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

// heraldpad.exe [FILE]: the window, with FILE open in it when one is named
// (one that is not there yet is created by the first save).
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    // Laid out for each monitor's DPI (the manifest says so too).
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // One code page for the whole run: the system's, chosen at start.
    const CodePage &codePage = CodePage::get(systemCodePage(systemLocale()));
    Form1 form(instance, codePage);
    if (!form.create(show))
        return 1;

    int count = 0;
    if (wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
        // The window holds one text: the first file named.
        if (count > 1)
            form.openFile(std::filesystem::path(arguments[1]));
        LocalFree(arguments);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.preTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}

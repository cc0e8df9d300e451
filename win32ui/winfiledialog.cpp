#include "winfiledialog.h"

#include "wide.h"

#include <commdlg.h>

#include <vector>

bool WinFileDialog::show(bool save)
{
    // "description|pattern|..." as the dialog takes it: each part ended by a
    // null character, and one more after the last.
    std::wstring filter = wideString(Filter);
    for (wchar_t &c : filter)
        if (c == L'|')
            c = L'\0';
    filter.append(2, L'\0');
    // Room for the longest name Windows takes.
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring current = FileName.wstring();
    current.copy(name.data(), std::min(current.size(), name.size() - 1));
    const std::wstring title = wideString(DialogTitle);
    const std::wstring folder = InitDir.wstring();

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = DWORD(name.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    // The program's working folder stays where it was.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
    if (Flags & OverwritePrompt)
        ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (Flags & HideReadOnly)
        ofn.Flags |= OFN_HIDEREADONLY;
    if (save)
        ofn.lpstrDefExt = L"txt";
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen)
        return false;
    FileName = std::filesystem::path(std::wstring(name.data()));
    return true;
}

#include "filename.h"

#include <algorithm>

std::u16string shownName(const std::filesystem::path &name)
{
    // Windows names are UTF-16 already; the writer reads backslashes.
    const std::wstring shown = name.native();
    std::u16string out(shown.begin(), shown.end());
    std::replace(out.begin(), out.end(), u'/', u'\\');
    return out;
}

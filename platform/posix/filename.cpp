#include "filename.h"

#include "utf8.h"

std::u16string shownName(const std::filesystem::path &name)
{
    return utf8::decode(name.native());
}

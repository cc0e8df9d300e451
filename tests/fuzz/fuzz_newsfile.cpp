// Any bytes read as a news text file and written back must come out the same,
// but for line ends: CR LF, a lone CR and a lone LF each become CR LF, and the
// last line is ended. Nothing may crash on the way.
#include "codepage.h"
#include "documenthost.h"
#include "newsdocument.h"
#include "newsfile.h"

#include "tempdir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
class Host : public DocumentHost {
public:
    std::u16string value;
    std::u16string titleValue = u"t";
    NewsDocument *document = nullptr;
    HeldText text() const override { return HeldText(value); }
    void setText(std::u16string_view t) override
    {
        value = t;
        document->TextChanged();
    }
    std::ptrdiff_t textLength() const override { return std::ptrdiff_t(value.size()); }
    std::u16string title() const override { return titleValue; }
    void setTitle(std::u16string_view t) override { titleValue = t; }
};

// What the file must hold after the round trip, worked out byte by byte.
std::string expected(const uint8_t *data, size_t size)
{
    std::string out;
    bool lineOpen = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = char(data[i]);
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            lineOpen = false;
            if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
                ++i;
        } else {
            out += c;
            lineOpen = true;
        }
    }
    if (lineOpen)
        out += "\r\n";
    return out;
}

void fail(const char *what)
{
    std::fprintf(stderr, "news file round trip: %s\n", what);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Every code page, in turn.
    static std::size_t round = 0;
    const CodePage &codePage =
        CodePage::get(CodePage::kNumbers[round++ % CodePage::kNumbers.size()]);
    static const TempDir dir;
    const std::filesystem::path in = dir / "in.txt";
    const std::filesystem::path out = dir / "out.txt";
    if (!writeFile(in, std::string_view(reinterpret_cast<const char *>(data), size)))
        fail("cannot write the input");
    Host host;
    NewsDocument document(host, codePage);
    host.document = &document;
    document.beginLoad();
    const NewsRead loaded = ReadNewsFile(
        in, codePage, [&document](std::u16string_view slice) { document.appendText(slice); });
    if (!loaded)
        fail("read failed");
    const std::string &bytes = loaded.bytes;
    if (!codePage.equals(host.value, bytes))
        fail("the file bytes are not the text");
    document.finishLoad(bytes);
    if (document.Unsaved() || host.titleValue != u"t")
        fail("state after the load");
    // The pairs read from the file go back as they were.
    if (!WriteNewsFile(out, host.value, codePage, {}, document.savedBytes()))
        fail("write failed");
    if (readFile(out) != expected(data, size))
        fail("bytes differ");
    return 0;
}

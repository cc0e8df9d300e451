// Hunspell beside Nuspell on this machine: loading en_US, spell over 1 MB
// of English, suggest for 100 misspellings. Prints "name<TAB>ms".
#include <hunspell/hunspell.h>
#include <nuspell/dictionary.hxx>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
double ms(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}
} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: spellers DICT_BASE TEXT_FILE\n");
        return 2;
    }
    const std::string base = argv[1];
    std::ifstream in(argv[2]);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    while (text.size() < 1000000)
        text += text;
    text.resize(1000000);
    std::vector<std::string> words;
    std::string w;
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'')
            w += c;
        else if (!w.empty()) {
            words.push_back(w);
            w.clear();
        }
    }
    std::vector<std::string> wrong;
    for (size_t i = 0; wrong.size() < 100 && i < words.size(); i += 97) {
        std::string m = words[i];
        if (m.size() < 4)
            continue;
        std::swap(m[1], m[2]);
        m += "x";
        wrong.push_back(m);
    }
    auto t = std::chrono::steady_clock::now();
    Hunhandle *h = Hunspell_create((base + ".aff").c_str(), (base + ".dic").c_str());
    std::printf("Hunspell load en_US\t%.1f\n", ms(t));
    t = std::chrono::steady_clock::now();
    size_t bad = 0;
    for (auto &x : words)
        bad += !Hunspell_spell(h, x.c_str());
    std::printf("Hunspell spell 1 MB (%zu words, %zu unknown)\t%.1f\n", words.size(), bad, ms(t));
    t = std::chrono::steady_clock::now();
    for (auto &x : wrong) {
        char **list;
        int n = Hunspell_suggest(h, &list, x.c_str());
        Hunspell_free_list(h, &list, n);
    }
    std::printf("Hunspell suggest 100\t%.1f\n", ms(t));
    Hunspell_destroy(h);

    t = std::chrono::steady_clock::now();
    nuspell::Dictionary d;
    d.load_aff_dic(base + ".aff");
    std::printf("Nuspell load en_US\t%.1f\n", ms(t));
    t = std::chrono::steady_clock::now();
    bad = 0;
    for (auto &x : words)
        bad += !d.spell(x);
    std::printf("Nuspell spell 1 MB (%zu words, %zu unknown)\t%.1f\n", words.size(), bad, ms(t));
    t = std::chrono::steady_clock::now();
    std::vector<std::string> out;
    for (auto &x : wrong) {
        out.clear();
        d.suggest(x, out);
    }
    std::printf("Nuspell suggest 100\t%.1f\n", ms(t));
}

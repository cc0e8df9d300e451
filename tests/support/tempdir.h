#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

// A folder of the test's own under the system's temporary folder, removed
// with all it holds when the test ends.
class TempDir {
public:
    using Path = std::filesystem::path;

    TempDir()
    {
        std::random_device random;
        do
            m_path = std::filesystem::temp_directory_path() /
                     ("heraldpad-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(m_path));
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const Path &path() const { return m_path; }
    Path operator/(std::string_view name) const { return m_path / name; }

private:
    Path m_path;
};

// The bytes of a file, or "<missing>" when it cannot be read (a folder too).
inline std::string readFile(const std::filesystem::path &path)
{
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, error))
        return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether the file now holds exactly bytes.
inline bool writeFile(const std::filesystem::path &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

// Whether this system lets the test make symbolic links (wine does not;
// Windows does for an administrator or in developer mode).
inline bool linksCanBeMade()
{
    static const bool can = [] {
        TempDir dir;
        std::error_code error;
        std::filesystem::create_symlink("a", dir / "link", error);
        return !error;
    }();
    return can;
}

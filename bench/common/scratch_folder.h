// The working folder of a benchmark program: a folder of its own under
// TMPDIR, made on first use and removed with everything in it when the
// program exits. A static that keeps a path in it is made after the folder
// (it asks for the folder first), so it goes first at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace bench {

// The folder, named prefix-XXXXXX; the prefix of the first call names it.
inline const std::filesystem::path& ScratchFolder(const char* prefix)
{
    class Folder {
    public:
        explicit Folder(const char* prefix)
        {
            std::error_code error;
            std::string pattern = (std::filesystem::temp_directory_path(error) / prefix).string() + "-XXXXXX";
            if (!error && mkdtemp(pattern.data()) != nullptr)
                m_path = pattern;
        }
        ~Folder()
        {
            std::error_code ignored;
            if (!m_path.empty())
                std::filesystem::remove_all(m_path, ignored);
        }
        Folder(const Folder&) = delete;
        Folder& operator=(const Folder&) = delete;
        const std::filesystem::path& path() const { return m_path; }

    private:
        std::filesystem::path m_path;
    };
    static const Folder folder(prefix);
    return folder.path();
}

} // namespace bench

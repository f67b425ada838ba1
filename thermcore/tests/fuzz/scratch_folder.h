// The scratch folder of a fuzz run: a folder of its own under TMPDIR for the
// input written out as a file and whatever is saved from it, made on first
// use and removed with everything in it when the program exits.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace fuzz {

// A file of the folder. The folder is made before any static that keeps
// such a path (the path asks for it first), so it goes after them at exit.
inline std::string scratchPath(const char* name) {
    class Folder {
    public:
        Folder() {
            const char* tmp = std::getenv("TMPDIR");
            std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/thermcore-fuzz-XXXXXX";
            if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
        }
        ~Folder() {
            std::error_code ignored;
            if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
        }
        Folder(const Folder&) = delete;
        Folder& operator=(const Folder&) = delete;
        const std::string& path() const { return path_; }

    private:
        std::string path_;
    };
    static const Folder folder;
    return folder.path() + "/" + name;
}

}  // namespace fuzz

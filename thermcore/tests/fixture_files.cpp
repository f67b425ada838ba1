#include "fixture_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace thermcore_test {

namespace {
std::string fixtureDir() {
    const char* dir = std::getenv("THERMCORE_FIXTURE_DIR");
    return dir != nullptr ? dir : "fixtures/thermcore";
}
}  // namespace

std::string fixturePath(const std::string& name) { return fixtureDir() + "/" + name + ".vni"; }

std::string fixtureFile(const std::string& fileName) { return fixtureDir() + "/" + fileName; }

std::string largeFixtureFile(const std::string& fileName) {
    const char* dir = std::getenv("THERMCORE_LARGE_FIXTURE_DIR");
    return std::string(dir != nullptr ? dir : "fixtures/thermcore_large") + "/" + fileName;
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<uint8_t> fixtureBytes(const std::string& name) { return readBytes(fixturePath(name)); }

std::vector<std::string> allFixtures() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fixtureDir())) {
        if (entry.path().extension() == ".vni") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ScratchDir::ScratchDir() {
    std::string tmpl = (fs::temp_directory_path() / "thermcore-test-XXXXXX").string();
    const char* made = mkdtemp(tmpl.data());
    EXPECT_NE(made, nullptr);
    dir_ = tmpl;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::string ScratchDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string p = path(name);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
}

}  // namespace thermcore_test

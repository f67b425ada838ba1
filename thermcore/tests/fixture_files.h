// Access to the generated camera files and a scratch folder for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace thermcore_test {

std::string fixturePath(const std::string& name);  // name without ".vni"
// A fixture by its whole file name (sequences .vnv, containers .jpg), and
// one of the large fixtures.
std::string fixtureFile(const std::string& fileName);
std::string largeFixtureFile(const std::string& fileName);
std::vector<uint8_t> readBytes(const std::string& path);
std::vector<uint8_t> fixtureBytes(const std::string& name);
// Every generated .vni fixture, by name, sorted.
std::vector<std::string> allFixtures();

// Gray of (x, y) in every generated frame.
inline uint16_t expectedGray(int x, int y) {
    return static_cast<uint16_t>(2000 + (37 * x + 101 * y) % 12000);
}

// A private folder removed when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;

private:
    std::string dir_;
};

}  // namespace thermcore_test

// Helpers shared by the platform tests.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <string>
#include <vector>

namespace platform::test {

struct ProgramResult {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

inline std::string shellQuote(const std::string& arg)
{
    std::string out = "'";
    for (char c : arg) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

// Runs a program with its arguments and collects what it prints.
inline ProgramResult runProgram(const std::vector<std::string>& args)
{
    std::string command;
    for (const std::string& a : args)
        command += shellQuote(a) + ' ';
    command += "2>&1";
    ProgramResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Programs and scripts the build found (see tests/CMakeLists.txt).
inline std::string python() { return PLATFORM_TEST_PYTHON; }
inline std::string gsf() { return PLATFORM_TEST_GSF; }
inline std::string scriptPath(const char* file) { return std::string(PLATFORM_TEST_SCRIPTS) + "/" + file; }

// The bytes the interop script regenerates: byte i = (i * 31 + seed) & 0xFF.
inline QByteArray pattern(qsizetype size, int seed)
{
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 31 + seed) & 0xFF);
    return out;
}

inline QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

} // namespace platform::test

#include "test_files.h"

#include <fstream>
#include <sstream>

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string binary_bytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned value = seed;
    for (std::size_t i = 0; i < size; ++i) {
        value = value * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(i < 256 ? i : (value >> 16) & 0xFF);
    }
    return bytes;
}

// Whole files and attachment bytes for the tests that work on real files.
#ifndef ZORVA_TESTS_TEST_FILES_H
#define ZORVA_TESTS_TEST_FILES_H

#include <cstddef>
#include <string>

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &bytes);
// Bytes of every value 0..255, then pseudo-random ones.
std::string binary_bytes(std::size_t size, unsigned seed = 7);

#endif

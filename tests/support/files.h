// Whole files as bytes or lines, and little-endian words, for the tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testkit {

namespace fs = std::filesystem;

// The file's bytes; empty when it cannot be read.
std::string ReadText(const fs::path& path);
std::vector<uint8_t> ReadBytes(const fs::path& path);
// Replaces the file (binary), making missing folders on its way; 0 when it
// could not be written.
bool WriteText(const fs::path& path, const std::string& bytes);
bool WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes);

// Lines of a text, a CR before the LF dropped (settings files end lines with CR LF).
std::vector<std::string> Lines(const std::string& text);
std::vector<std::string> ReadLines(const fs::path& path);

// An unsigned little-endian word of `size` bytes at `offset`; bytes past the end read as 0.
uint32_t Little(const std::vector<uint8_t>& bytes, size_t offset, int size);
uint32_t Little(const std::string& bytes, size_t offset, int size);
void PutLittle(std::vector<uint8_t>& bytes, uint32_t value, int size);
void PutLittle(std::string& bytes, uint32_t value, int size);

} // namespace testkit

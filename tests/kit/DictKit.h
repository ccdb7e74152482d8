// Small hand-made dictionaries for tests, written with the build tool's own writer.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "Dict.h"
#include "DictWriter.h"
#include "TempDir.h"

namespace zltest {

zl::DictSource Wubi(const std::wstring& text, const std::string& code, uint32_t weight);
zl::DictSource Pinyin(const std::wstring& text, const std::vector<std::string>& syllables, uint32_t weight);

// Builds the file image of entries (ids in the order given).
std::vector<uint8_t> BuildImage(const std::vector<zl::DictSource>& entries);

// Reads and writes header fields and entries of an image in place.
zl::DictHeader HeaderOf(const std::vector<uint8_t>& image);
void SetHeader(std::vector<uint8_t>& image, const zl::DictHeader& h);
zl::DictEntry EntryOf(const std::vector<uint8_t>& image, uint32_t id);
void SetEntry(std::vector<uint8_t>& image, uint32_t id, const zl::DictEntry& e);
void SetU32(std::vector<uint8_t>& image, size_t offset, uint32_t value);

// Writes the image to a file in dir and loads it into dict.
bool LoadImage(const TempDir& dir, const std::vector<uint8_t>& image, zl::Dict& dict);

// The lines of the key corpus file name ("wubi_keys.txt" or "pinyin_keys.txt") in the
// folder dir. Where the file is missing, lines made from dict's own entries instead (a
// spread of their Wubi codes, or of their joined pinyin, each followed by a space), so
// the tests that replay the corpora still run.
std::vector<std::string> KeyCorpus(const std::string& dir, const std::string& name, const zl::Dict& dict);

// Texts of the ids, for readable expectations.
std::vector<std::wstring> Texts(const zl::Dict& dict, const std::vector<uint32_t>& ids);
std::vector<std::string> Codes(const zl::Dict& dict, const std::vector<uint32_t>& ids);

}  // namespace zltest

#include "decode/raw_datastream.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace tessimar {
namespace {

// Enough for any number LibRaw scans, with its leading blanks.
constexpr std::size_t ScanBytes = 64;

}  // namespace

std::size_t RawDatastream::ReadBytes(void* data, std::size_t size) {
  return stream_->Read(static_cast<std::uint8_t*>(data), size).value_or(0);
}

int RawDatastream::read(void* data, size_t size, size_t count) {
  if (size == 0) return 0;
  const std::size_t wanted = size * count, got = ReadBytes(data, wanted);
  std::memset(static_cast<std::uint8_t*>(data) + got, 0, wanted - got);
  // As fread: whole items only.
  return static_cast<int>(got / size);
}

int RawDatastream::seek(INT64 offset, int whence) {
  if (onNextSeek_) std::exchange(onNextSeek_, nullptr)();
  return stream_->Seek(offset, whence) ? 0 : -1;
}

int RawDatastream::get_char() { return stream_->Get(); }

// As fgets: up to size - 1 bytes, through the first newline; null when nothing is left.
char* RawDatastream::gets(char* text, int size) {
  if (size <= 0) return nullptr;
  int length = 0;
  while (length < size - 1) {
    const int c = get_char();
    if (c < 0) break;
    text[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (length == 0) return nullptr;
  text[length] = '\0';
  return text;
}

// As fscanf with one conversion: the stream moves past what the conversion consumed.
int RawDatastream::scanf_one(const char* format, void* value) {
  const std::uint64_t start = stream_->Tell();
  char text[ScanBytes + 1] = {};
  const std::size_t got = ReadBytes(text, ScanBytes);
  if (got == 0) return EOF;
  int consumed = 0;
  const std::string counted = std::string(format) + "%n";
  const int result = std::sscanf(text, counted.c_str(), value, &consumed);
  stream_->Seek(static_cast<std::int64_t>(start) + (result > 0 ? consumed : 0), SEEK_SET);
  return result;
}

}  // namespace tessimar

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "byte_order.h"
#include "picture_fixtures.h"

namespace tessimar::testing {
namespace {

constexpr int Precision = 12;
constexpr int Categories = 17;  // difference magnitudes of 0 to 16 bits
constexpr int CodeLength = 5;   // one length for every category: 17 codes fit in 5 bits

// Entropy-coded bits, most significant first, a 0xFF byte followed by a stuffed zero.
class BitWriter {
 public:
  void Put(std::uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) {
      byte_ = static_cast<std::uint8_t>(byte_ << 1 | ((bits >> i) & 1));
      if (++filled_ == 8) Emit();
    }
  }
  std::string Finish() {
    while (filled_ != 0) Put(1, 1);
    return std::move(out_);
  }

 private:
  void Emit() {
    out_ += static_cast<char>(byte_);
    if (byte_ == 0xFF) out_ += '\0';
    byte_ = 0;
    filled_ = 0;
  }

  std::string out_;
  std::uint8_t byte_ = 0;
  int filled_ = 0;
};

int Category(int difference) {
  int magnitude = difference < 0 ? -difference : difference, category = 0;
  while (magnitude != 0) ++category, magnitude >>= 1;
  return category;
}

void PutDifference(BitWriter& bits, int difference) {
  const int category = Category(difference);
  bits.Put(static_cast<std::uint32_t>(category), CodeLength);  // the code of a category is its number
  if (category == 0) return;
  const int extra = difference < 0 ? difference + (1 << category) - 1 : difference;
  bits.Put(static_cast<std::uint32_t>(extra), category);
}

// Lossless JPEG (process 14, predictor 1: the sample on the left, the one above at a row's
// start) of one component, its frame width x rows.
std::string LosslessJpeg(const RawSensor& sensor, int rows) {
  std::string jpeg = "\xFF\xD8";
  jpeg += "\xFF\xC4";
  jpeg += BigEndian(2 + 1 + 16 + Categories, 2);
  jpeg += '\0';
  for (int length = 1; length <= 16; ++length) jpeg += static_cast<char>(length == CodeLength ? Categories : 0);
  for (int category = 0; category < Categories; ++category) jpeg += static_cast<char>(category);
  jpeg += "\xFF\xC3";
  jpeg += BigEndian(11, 2);
  jpeg += static_cast<char>(Precision);
  jpeg += BigEndian(static_cast<std::uint32_t>(rows), 2);
  jpeg += BigEndian(static_cast<std::uint32_t>(sensor.Width), 2);
  jpeg += std::string("\x01\x01\x11\x00", 4);
  jpeg += "\xFF\xDA";
  jpeg += BigEndian(8, 2);
  jpeg += std::string("\x01\x01\x00\x01\x00\x00", 6);
  BitWriter bits;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < sensor.Width; ++x) {
      const auto at = [&](int ax, int ay) { return static_cast<int>(sensor.Samples.at(ay * sensor.Width + ax)); };
      const int predicted = x > 0 ? at(x - 1, y) : y > 0 ? at(0, y - 1) : 1 << (Precision - 1);
      PutDifference(bits, at(x, y) - predicted);
    }
  }
  jpeg += bits.Finish();
  jpeg += "\xFF\xD9";
  return jpeg;
}

// A little-endian TIFF directory written entry by entry, values that do not fit in an entry
// collected after it.
class TiffWriter {
 public:
  void Short(std::uint16_t tag, const std::vector<std::uint16_t>& values) {
    std::string data;
    for (std::uint16_t v : values) data += LittleEndian(v, 2);
    Entry(tag, 3, values.size(), data);
  }
  void Long(std::uint16_t tag, std::uint32_t value) {
    std::string data;
    data += LittleEndian(value, 4);
    Entry(tag, 4, 1, data);
  }
  void Bytes(std::uint16_t tag, const std::string& values) { Entry(tag, 1, values.size(), values); }
  void Ascii(std::uint16_t tag, const std::string& text) { Entry(tag, 2, text.size() + 1, text + '\0'); }

  // The file: header, directory, the values kept outside it, then payload, whose offset
  // the entry of payloadTag (written with any value) receives.
  std::string File(std::uint16_t payloadTag, const std::string& payload) const {
    const std::size_t directory = 8, outside = directory + 2 + 12 * entries_.size() + 4;
    std::size_t outsideBytes = 0;
    for (const auto& e : entries_) outsideBytes += e.Data.size() > 4 ? e.Data.size() : 0;
    std::string file = "II*";
    file += '\0';
    file += LittleEndian(directory, 4);
    file += LittleEndian(entries_.size(), 2);
    std::string values;
    for (const auto& e : entries_) {
      file += LittleEndian(e.Tag, 2);
      file += LittleEndian(e.Type, 2);
      file += LittleEndian(e.Count, 4);
      if (e.Tag == payloadTag) {
        file += LittleEndian(outside + outsideBytes, 4);
      } else if (e.Data.size() <= 4) {
        file += e.Data + std::string(4 - e.Data.size(), '\0');
      } else {
        file += LittleEndian(outside + values.size(), 4);
        values += e.Data;
      }
    }
    file += LittleEndian(0, 4);
    return file + values + payload;
  }

 private:
  struct Item {
    std::uint16_t Tag, Type;
    std::size_t Count;
    std::string Data;
  };
  void Entry(std::uint16_t tag, std::uint16_t type, std::size_t count, const std::string& data) {
    if (!entries_.empty() && entries_.back().Tag >= tag) throw std::logic_error("fixture: TIFF tags out of order");
    entries_.push_back({tag, type, count, data});
  }

  std::vector<Item> entries_;
};

}  // namespace

RawSensor StructuredSensor(int width, int height, int shift) {
  RawSensor sensor{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int u = x + shift;
      sensor.Samples.push_back(static_cast<std::uint16_t>((u * 61 + y * 37 + (u ^ y) % 5 * 300) % (1 << Precision)));
    }
  }
  return sensor;
}

std::string DngBytes(const RawSensor& sensor, int codedRows) {
  if (sensor.Samples.size() != static_cast<std::size_t>(sensor.Width) * sensor.Height)
    throw std::logic_error("fixture: samples do not fill the sensor");
  const std::string jpeg = LosslessJpeg(sensor, codedRows);
  const auto width = static_cast<std::uint32_t>(sensor.Width), height = static_cast<std::uint32_t>(sensor.Height);
  TiffWriter tiff;
  tiff.Long(254, 0);  // the full-size picture
  tiff.Long(256, width);
  tiff.Long(257, height);
  tiff.Short(258, {Precision});
  tiff.Short(259, {7});      // lossless JPEG
  tiff.Short(262, {32803});  // colour filter array
  tiff.Ascii(271, "Tessimar");
  tiff.Ascii(272, "Test sensor");
  tiff.Long(273, 0);  // the strip, after everything else
  tiff.Short(277, {1});
  tiff.Long(278, height);
  tiff.Long(279, static_cast<std::uint32_t>(jpeg.size()));
  tiff.Short(33421, {2, 2});
  tiff.Bytes(33422, std::string("\x00\x01\x01\x02", 4));  // red green / green blue
  tiff.Bytes(50706, std::string("\x01\x04\x00\x00", 4));  // DNG 1.4
  tiff.Ascii(50708, "Tessimar test sensor");
  return tiff.File(273, jpeg);
}

}  // namespace tessimar::testing

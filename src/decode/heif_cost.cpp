#include "decode/heif_cost.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "decode/av1_headers.h"
#include "decode/heif_boxes.h"
#include "decode/heif_items.h"
#include "decode/hevc_headers.h"
#include "decode/picture_error.h"

namespace tessimar {
namespace {

// Photographs nest a grid of tiles in an identity transform at most; libheif follows deeper chains.
constexpr int MaxDerivationDepth = 8;
constexpr std::size_t OverlayColourBytes = 8;

// Costs past any budget stay there instead of wrapping round.
std::uint64_t Sum(std::uint64_t a, std::uint64_t b) {
  return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

std::uint64_t Product(std::uint64_t a, std::uint64_t b) {
  return b != 0 && a > std::numeric_limits<std::uint64_t>::max() / b ? std::numeric_limits<std::uint64_t>::max()
                                                                     : a * b;
}

// One cost or the other, whichever libheif meets.
HeifCost Either(const HeifCost& a, const HeifCost& b) {
  return {std::max(a.LargestPixels, b.LargestPixels), a.Deep || b.Deep, std::max(a.Work, b.Work)};
}

// One cost after the other.
HeifCost Both(const HeifCost& a, const HeifCost& b) {
  return {std::max(a.LargestPixels, b.LargestPixels), a.Deep || b.Deep, Sum(a.Work, b.Work)};
}

// A grid's or overlay's header: its canvas size, after skipping header bytes.
std::uint64_t CanvasPixels(std::span<const std::uint8_t> data, std::size_t skipped) {
  ByteCursor fields(data);
  fields.U8();  // version
  const std::size_t sizeBytes = (fields.U8() & 1) != 0 ? 4 : 2;
  fields.Take(skipped);
  const std::uint64_t width = fields.Number(sizeBytes);
  return width * fields.Number(sizeBytes);
}

class CostWalk {
 public:
  CostWalk(const OpenedFile& file, const HeifItems& items) : file_(file), items_(items) {
    for (const HeifItemType& type : items.Types) types_[type.Item].insert(type.Type);
    for (const HeifLocation& location : items.Locations) locations_[location.Item].push_back(&location);
    for (const HeifReference& reference : items.References) {
      if (reference.Type == "dimg") {
        std::vector<HeifItemId>& inputs = inputs_[reference.From];
        inputs.insert(inputs.end(), reference.To.begin(), reference.To.end());
      }
      if (reference.Type == "auxl") {
        for (const HeifItemId master : reference.To) auxiliaries_[master].push_back(reference.From);
      }
    }
  }

  // libheif decodes an item, then any auxiliary picture (alpha) of it, each as a picture itself.
  HeifCost Of(HeifItemId item, int depth) {
    if (const auto known = costs_.find(item); known != costs_.end()) return known->second;
    if (depth > MaxDerivationDepth) throw PictureError("HEIF: derived pictures nested too deep");
    if (!open_.insert(item).second) throw PictureError("HEIF: pictures derived from each other in a circle");
    HeifCost cost;
    for (const std::string_view type : types_[item]) cost = Either(cost, OwnCost(item, type, depth));
    for (const HeifItemId auxiliary : auxiliaries_[item]) cost = Both(cost, Of(auxiliary, depth + 1));
    open_.erase(item);
    return costs_[item] = cost;
  }

 private:
  HeifCost OwnCost(HeifItemId item, std::string_view type, int depth) {
    if (type == "hvc1" || type == "av01") return CodedCost(item, type == "hvc1");
    if (type == "grid" || type == "iovl") {
      HeifCost cost = InputsCost(item, depth);
      for (const std::vector<std::uint8_t>& data : Data(item))
        cost.LargestPixels = std::max(cost.LargestPixels, CanvasPixels(data, type == "grid" ? 2 : OverlayColourBytes));
      return cost;
    }
    if (type == "iden") return InputsCost(item, depth);
    return {};  // no picture libheif decodes
  }

  HeifCost InputsCost(HeifItemId item, int depth) {
    HeifCost cost;
    for (const HeifItemId input : inputs_[item]) cost = Both(cost, Of(input, depth + 1));
    return cost;
  }

  // libheif hands the decoder the item's configuration and data, and keeps the last picture of them.
  HeifCost CodedCost(HeifItemId item, bool hevc) {
    CodedPictures pictures;
    for (const std::span<const std::uint8_t> configuration :
         hevc ? items_.HevcConfigurations : items_.Av1Configurations)
      (hevc ? ScanHevcConfiguration : ScanAv1Configuration)(configuration, pictures);
    std::uint64_t dataBytes = 0;
    const std::vector<std::vector<std::uint8_t>> locations = Data(item);
    if (locations.empty()) throw PictureError("HEIF: a coded picture without data");
    for (const std::vector<std::uint8_t>& data : locations) {
      // libheif's AV1 decoding leaks the empty data it hands on; no such picture decodes anyway.
      if (data.empty()) throw PictureError("HEIF: a coded picture without data");
      (hevc ? ScanHevcData : ScanAv1Data)(data, pictures);
      dataBytes += data.size();
    }
    return {pictures.LargestPixels, pictures.Bits > 8,
            Sum(Product(pictures.Pictures, pictures.LargestPixels), dataBytes)};
  }

  // Each item's data are read once: all of them together lie within the file.
  std::vector<std::vector<std::uint8_t>> Data(HeifItemId item) {
    std::vector<std::vector<std::uint8_t>> data;
    for (const HeifLocation* location : locations_[item]) {
      data.push_back(ReadLocation(file_, items_, *location, file_.Size() - read_));
      read_ += data.back().size();
    }
    return data;
  }

  const OpenedFile& file_;
  const HeifItems& items_;
  std::map<HeifItemId, std::set<std::string_view>> types_;  // each read once, however often listed
  std::map<HeifItemId, std::vector<const HeifLocation*>> locations_;
  std::map<HeifItemId, std::vector<HeifItemId>> inputs_;       // dimg references
  std::map<HeifItemId, std::vector<HeifItemId>> auxiliaries_;  // auxl references, by their master
  std::map<HeifItemId, HeifCost> costs_;
  std::set<HeifItemId> open_;  // the items being measured, for a circle
  std::uint64_t read_ = 0;
};

}  // namespace

HeifCost MeasureHeifDecoding(const OpenedFile& file) {
  const std::vector<std::uint8_t> meta = ReadMetaBox(file);
  const HeifItems items = ReadHeifItems(meta);
  return CostWalk(file, items).Of(items.Primary, 0);
}

}  // namespace tessimar

#include "mixed_folder.h"

#include <algorithm>
#include <cmath>

namespace tessimar::testing {

Image PhotoLike(int width, int height, int shift, int brighten) {
  return MakeImage(width, height, 3, [=](int x, int y) {
    const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
    const double blob = std::exp(-((u - 0.3) * (u - 0.3) + (v - 0.6) * (v - 0.6)) * 12);
    auto level = [=](double value) { return static_cast<std::uint8_t>(std::clamp(value + brighten, 0.0, 255.0)); };
    return std::vector<std::uint8_t>{level(128 + 100 * std::sin(9.0 * u + shift * 0.05) * std::cos(5.0 * v)),
                                     level(60 + 180 * blob + 30 * std::sin(23.0 * (u + v) + shift * 0.3)),
                                     level(200 * v * (1 - u) + 40 * std::cos(17.0 * u * v + shift))};
  });
}

std::string WriteMixedFolder(const TempFolder& temp, const std::string& relative) {
  const std::string folder = temp.MakeFolder(relative);
  auto write = [&](const std::string& name, const std::string& bytes) { temp.Write(relative + "/" + name, bytes); };
  const Image a = PhotoLike(320, 240);
  const std::string aJpeg = JpegBytes(a, {.Quality = 95});
  write("a.jpg", aJpeg);
  write("sub/a copy.jpg", aJpeg);
  write("sub/deeper/a again.jpg", aJpeg);
  write("a q60.jpg", JpegBytes(a, {.Quality = 60}));
  write("a large.jpg", JpegBytes(PhotoLike(640, 480), {.Quality = 90}));
  write("a bright.jpg", JpegBytes(PhotoLike(320, 240, 0, 30), {.Quality = 95}));
  write("a.png", PngBytes(a));
  write("a.bmp", BmpBytes(a, {}));
  write("a.tif", TiffBytes(a));
  const std::string portrait = PngBytes(PhotoLike(200, 300, 7));
  write("portrait.png", portrait);
  write("sub/portrait copy.png", portrait);
  write("portrait.jpg", JpegBytes(PhotoLike(200, 300, 7), {.Quality = 80}));
  // Files that begin alike but differ: every JPEG of one size and quality shares its first bytes.
  for (int shift = 1; shift <= 14; ++shift)
    write("scene " + std::to_string(shift) + ".jpg", JpegBytes(PhotoLike(300, 300, shift * 3), {.Quality = 90}));
  write("scene 5 again.jpg", JpegBytes(PhotoLike(300, 300, 15), {.Quality = 90}));
  write("scene 9 brighter.png", PngBytes(PhotoLike(300, 300, 27, 20)));
  const std::string halves = GifBytes({.ScreenWidth = 200,
                                       .ScreenHeight = 150,
                                       .GlobalColours = {{250, 250, 250}, {10, 20, 30}},
                                       .Frames = {TwoIndexFrame(200, 150, 70, 0, 1)}});
  write("halves.gif", halves);
  write("sub/halves copy.gif", halves);
  const Image uniform = MakeImage(150, 150, 3, [](int, int) { return std::vector<std::uint8_t>{200, 30, 30}; });
  write("uniform.jpg", JpegBytes(uniform));
  write("uniform.png", PngBytes(uniform));
  write("sub/uniform copy.png", PngBytes(uniform));
  // Damaged, unreadable and too small.
  write("broken.jpg", "not a picture at all");
  write("truncated.jpg", aJpeg.substr(0, aJpeg.size() / 3));
  std::string damaged = PngBytes(PhotoLike(240, 180, 4));
  for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i) damaged[i] = static_cast<char>(0x5a);
  write("damaged.png", damaged);
  write("empty.gif", "");
  write("tiny.jpg", JpegBytes(PhotoLike(60, 40, 2)));
  write("thin.png", PngBytes(PhotoLike(200, 4, 2)));
  write("sub/tiny copy.jpg", JpegBytes(PhotoLike(60, 40, 2)));
  return folder;
}

}  // namespace tessimar::testing

#include "analysis/file_probe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_folder.h"

namespace tessimar {
namespace {

class FilesEqualTest : public ::testing::Test {
 protected:
  bool Equal(const std::string& a, const std::string& b) {
    pumps = 0;
    return FilesEqual(a, b, [this] { return ++pumps > 0; });
  }
  testing::TempFolder temp;
  int pumps = 0;
};

TEST_F(FilesEqualTest, ComparesBlockByBlockAndPumpsAfterEach) {
  const std::string bytes10000 = std::string(10000, 'x');
  std::string lastDiffers = bytes10000;
  lastDiffers.back() = 'y';
  struct Case {
    const char* name;
    std::string first;
    std::string second;
    bool equal;
    int pumps;
  };
  const Case cases[] = {
      // Nine blocks of 1024, one of 784, then both reads give nothing.
      {"same 10000 bytes", bytes10000, bytes10000, true, 11},
      {"last byte differs", bytes10000, lastDiffers, false, 10},
      {"longer file with the same start", std::string(2048, 'a'), std::string(3000, 'a'), false, 3},
      {"two empty files", "", "", true, 1},
      {"first byte differs", "a" + bytes10000, "b" + bytes10000, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Equal(temp.Write("1", c.first), temp.Write("2", c.second)), c.equal);
    EXPECT_EQ(pumps, c.pumps);
  }
}

TEST_F(FilesEqualTest, OneFileUnderTwoNamesIsNotAPairOfEqualFiles) {
  const std::string file = temp.Write("a/pic.jpg", "content");
  ASSERT_EQ(::link(file.c_str(), (temp / "hard.jpg").c_str()), 0);
  ASSERT_EQ(::symlink((temp / "a").c_str(), (temp / "linked").c_str()), 0);
  EXPECT_FALSE(Equal(file, file));
  EXPECT_FALSE(Equal(file, temp / "hard.jpg"));
  EXPECT_FALSE(Equal(file, temp / "linked/pic.jpg"));
  EXPECT_TRUE(Equal(file, temp.Write("copy.jpg", "content")));
}

TEST_F(FilesEqualTest, AnythingButTwoRegularFilesIsUnequalAtOnce) {
  const std::string file = temp.Write("pic.jpg", "content");
  const std::string fifo = temp / "fifo.jpg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = temp.MakeFolder("folder.jpg");
  for (const std::string& other : {fifo, folder, temp / "vanished.jpg", std::string("/dev/null")}) {
    SCOPED_TRACE(other);
    EXPECT_FALSE(Equal(file, other));
    EXPECT_FALSE(Equal(other, file));
    EXPECT_EQ(pumps, 0);
  }
}

TEST(ReadPreBufferTest, FirstBytesZeroPaddedOrTheBufferLeftAlone) {
  testing::TempFolder temp;
  std::string long_(300, '\0');
  for (std::size_t i = 0; i < long_.size(); ++i) long_[i] = static_cast<char>(i);
  TPreBuffer probe{};
  ReadPreBuffer(temp.Write("long.png", long_), probe);
  for (std::size_t i = 0; i < probe.size(); ++i) ASSERT_EQ(probe[i], static_cast<std::uint8_t>(i));

  probe.fill(0xEE);
  ReadPreBuffer(temp.Write("short.png", "abc"), probe);
  EXPECT_EQ(probe[0], 'a');
  EXPECT_EQ(probe[2], 'c');
  EXPECT_EQ(probe[3], 0);
  EXPECT_EQ(probe[255], 0);

  const std::string fifo = temp / "fifo.png";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& unreadable : {temp / "vanished.png", temp.MakeFolder("folder.png"), fifo}) {
    SCOPED_TRACE(unreadable);
    probe.fill(0xEE);
    ReadPreBuffer(unreadable, probe);
    EXPECT_EQ(probe[0], 0xEE);
    EXPECT_EQ(probe[255], 0xEE);
  }
}

}  // namespace
}  // namespace tessimar

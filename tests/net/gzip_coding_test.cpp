#include "net/gzip_coding.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <string>

#include "expect_error.h"
#include "net/allocation_probe.h"
#include "net/gzip_member.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::AllocationProbe;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes += static_cast<char>(value);
  return bytes;
}

std::string Encoded(std::string text) {
  GzipCoding(text, true);
  return text;
}

std::string Decoded(std::string member) {
  EXPECT_EQ(GzipCoding(member, false), "gzip");
  return member;
}

// A member that fails its checks is reported, not passed off as a text.
void ExpectUndecodable(std::string member) {
  EXPECT_EQ(GzipCoding(member, false), "");
  EXPECT_EQ(member, "");
}

void PutLittleEndian32(std::string& member, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) member[at + i] = static_cast<char>(value >> (8 * i));
}

std::string Sample(std::size_t size) {
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i) text += "{\"item\":" + std::to_string(i * 7919 % 1000) + "},";
  text.resize(size);
  return text;
}

// A member with the given flag byte and these optional header fields put
// between the fixed header and the deflate data of "hello".
std::string MemberWithFields(int flags, const std::string& fields) {
  std::string member = Encoded("hello");
  member[3] = static_cast<char>(flags);
  member.insert(10, fields);
  return member;
}

TEST(GzipCodingTest, EncodesTheEmptyTextAsTwentyBytes) {
  std::string data;
  EXPECT_EQ(GzipCoding(data, true), "gzip");
  EXPECT_EQ(data, Bytes({0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0, 0x03, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(GzipCodingTest, WritesItsOwnHeaderAndTrailer) {
  const std::string text = Sample(5000);
  const std::string member = Encoded(text);
  EXPECT_EQ(member.substr(0, 10), Bytes({0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0}));
  const auto* trailer = reinterpret_cast<const unsigned char*>(member.data() + member.size() - 8);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
  EXPECT_EQ(trailer[0] | trailer[1] << 8 | trailer[2] << 16 | static_cast<uLong>(trailer[3]) << 24, crc);
  EXPECT_EQ(trailer[4] | trailer[5] << 8 | trailer[6] << 16 | trailer[7] << 24, 5000);
  EXPECT_LT(member.size(), text.size());
}

TEST(GzipCodingTest, DeflatesAtLevelOneRawWithMemoryLevelEight) {
  // Repeats 20000 bytes apart tell a 32 KB window from a smaller one.
  std::string noise;
  unsigned seed = 1;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245 + 12345;
    noise += static_cast<char>('a' + (seed >> 16) % 26);
  }
  const std::string text = noise + Sample(30000) + noise;
  const std::string member = Encoded(text);
  EXPECT_EQ(member.substr(10, member.size() - 18), testing::ZlibDeflate(text, 1, -15, 8));
}

TEST(GzipCodingTest, RoundTripsTextsOfEverySize) {
  for (std::size_t size : {0, 1, 100000}) {
    const std::string text = Sample(size);
    EXPECT_EQ(Decoded(Encoded(text)), text) << size;
  }
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>(i * 131 % 256);
  EXPECT_EQ(Decoded(Encoded(binary)), binary);
}

TEST(GzipCodingTest, DecodesMembersOfOtherWriters) {
  const std::string text = Sample(20000);
  EXPECT_EQ(Decoded(testing::ZlibGzip(text)), text);
  // The most compact member zlib can write stays within deflate's ratio.
  const std::string zeros(8 << 20, '\0');
  EXPECT_EQ(Decoded(testing::ZlibGzip(zeros, Z_BEST_COMPRESSION)), zeros);
}

TEST(GzipCodingTest, DecodesAMemberOfTheGzipToolWithAFileName) {
#ifdef _WIN32
  GTEST_SKIP() << "the gzip tool is a program of the Linux side";
#endif
  testing::TempDir dir;
  const std::string text = "Configurações do ambiente\n" + Sample(3000);
  testing::WriteFile(dir.Path("greeting.txt"), text);
  const std::string command = "gzip -c '" + dir.Path("greeting.txt") + "' > '" + dir.Path("greeting.gz") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string member = testing::ReadFile(dir.Path("greeting.gz"));
  ASSERT_TRUE(member[3] & 8) << "the tool stores the file name";
  EXPECT_EQ(member.substr(10, 13), std::string("greeting.txt\0", 13));
  EXPECT_EQ(Decoded(member), text);
}

TEST(GzipCodingTest, WalksTheOptionalHeaderFields) {
  EXPECT_EQ(Decoded(MemberWithFields(4, Bytes({3, 0, 'a', 'b', 'c'}))), "hello");
  EXPECT_EQ(Decoded(MemberWithFields(8 | 16, std::string("name\0comment\0", 13))), "hello");
  EXPECT_EQ(Decoded(MemberWithFields(4 | 8 | 16, Bytes({1, 0, 'x', 'n', 0, 'c', 0}))), "hello");
  // Bit 1 (text) and the other header bytes are not examined.
  std::string member = Encoded("hello");
  member[3] = 1;
  member[9] = 3;
  member[4] = 0x7F;
  EXPECT_EQ(Decoded(member), "hello");
}

TEST(GzipCodingTest, ChecksTheHeaderChecksum) {
  std::string header = Encoded("hello").substr(0, 10);
  header[3] = 2;
  const unsigned crc = crc32(0, reinterpret_cast<const Bytef*>(header.data()), 10) & 0xFFFF;
  EXPECT_EQ(Decoded(MemberWithFields(2, Bytes({static_cast<int>(crc & 0xFF), static_cast<int>(crc >> 8)}))),
            "hello");
  ExpectUndecodable(MemberWithFields(2, Bytes({static_cast<int>((crc & 0xFF) ^ 1), static_cast<int>(crc >> 8)})));
}

TEST(GzipCodingTest, MalformedMembersAreUndecodable) {
  const std::string good = Encoded("hello, world");
  std::string wrong_magic = good;
  wrong_magic[1] = 0x8C;
  std::string wrong_method = good;
  wrong_method[2] = 7;
  std::string wrong_crc = good;
  wrong_crc[wrong_crc.size() - 8] ^= 1;
  std::string longer = good;
  PutLittleEndian32(longer, longer.size() - 4, 13);
  for (const std::string& member : {good.substr(0, 18), std::string(), std::string("{\"plain\":\"json, not gzip\"}"),
                                    wrong_magic, wrong_method, wrong_crc, longer}) {
    SCOPED_TRACE(::testing::PrintToString(member));
    ExpectUndecodable(member);
  }
}

TEST(GzipCodingTest, HeadersRunningPastTheMemberAreUndecodable) {
  // An extra field longer than the member.
  ExpectUndecodable(MemberWithFields(4, Bytes({0xFF, 0xFF})));
  // A file name without its zero byte runs to the end: no deflate data left.
  std::string member = Encoded("hello");
  member[3] = 8;
  for (std::size_t i = 10; i < member.size(); ++i) member[i] = member[i] == 0 ? 'z' : member[i];
  ExpectUndecodable(member);
  // The header ends exactly where the trailer begins.
  ExpectUndecodable(Bytes({0x1F, 0x8B, 8, 8, 0, 0, 0, 0, 0, 0, 'n', 0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(GzipCodingTest, AZeroTrailerDecodesToNothingWithoutInflating) {
  // Not deflate data at all; inflating it would raise Z_DATA_ERROR.
  std::string member = Bytes({0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(Decoded(member), "");
}

TEST(GzipCodingTest, ZlibFailuresRaiseWithZlibsNames) {
  std::string shorter = Encoded("hello, world");
  PutLittleEndian32(shorter, shorter.size() - 4, 5);
  EXPECT_THROW_MSG(GzipCoding(shorter, false), EZipException, "Error Z_BUF_ERROR during UnCompressMem process");

  std::string corrupt = Encoded("hello, world");
  corrupt[10] = static_cast<char>(0xFF);  // reserved block type 3
  EXPECT_THROW_MSG(GzipCoding(corrupt, false), EZipException, "Error Z_DATA_ERROR during UnCompressMem process");
}

TEST(GzipCodingTest, AnAnnouncedLengthBeyondDeflatesReachIsUndecodable) {
  // 30 bytes announcing 4 GiB: refused before any output buffer is taken.
  std::string member = Encoded("hello, world");
  PutLittleEndian32(member, member.size() - 4, 0xFFFFFFFF);
  AllocationProbe probe;
  ExpectUndecodable(member);
  EXPECT_LT(probe.Largest(), 4096u);
}

TEST(GzipCodingTest, TheLengthBoundFollowsTheCompressedSize) {
  // Its deflate bytes can expand to at most 1032 times their count plus 258:
  // a length up to there is inflated (and found wrong), one past it is not.
  std::string member = Encoded("hello, world");
  const std::size_t bound = (member.size() - 18) * 1032 + 258;
  PutLittleEndian32(member, member.size() - 4, static_cast<std::uint32_t>(bound));
  {
    AllocationProbe probe;
    ExpectUndecodable(member);
    EXPECT_GE(probe.Largest(), bound);
  }
  PutLittleEndian32(member, member.size() - 4, static_cast<std::uint32_t>(bound + 1));
  AllocationProbe probe;
  ExpectUndecodable(member);
  EXPECT_LT(probe.Largest(), 4096u);
}

}  // namespace
}  // namespace tarn

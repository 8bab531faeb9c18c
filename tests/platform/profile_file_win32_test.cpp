// Our profile engine against the platform's own GetPrivateProfileStringA and
// WritePrivateProfileStringA, on generated files that carry every quirk of the
// format, as 8-bit files and as Unicode (UTF-16) files in both byte orders.
// Where the platform is Wine, it differs from Windows in a few known cases;
// those are counted by name, any other disagreement fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/profile_file.h"
#include "platform/portable/profile_text.h"
#include "platform/portable/utf8_text.h"
#include "platform/win32/wide_text.h"
#include "support/wine.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::ReadFile;
using testing::WriteFile;

const char kBom[] = "\xEF\xBB\xBF";

// Bytes as printable text; a run of one byte longer than 8 is shortened to
// {count*byte}, so that a failure with a 3000-character value stays readable.
std::string Escape(std::string_view bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    size_t run = bytes.find_first_not_of(bytes[i], i);
    run = (run == std::string_view::npos ? bytes.size() : run) - i;
    auto c = static_cast<unsigned char>(bytes[i]);
    char one[8];
    std::snprintf(one, sizeof one, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
    out += run > 8 ? "{" + std::to_string(run) + "*" + one + "}" : one;
    i += run > 8 ? run : 1;
  }
  return "\"" + out + "\"";
}

// A look-up, or a write when `text` is the value rather than the default.
struct Entry {
  std::string section, key, text;
};

std::string Describe(const Entry& at) {
  return "[" + Escape(at.section) + "] " + Escape(at.key) + " with " + Escape(at.text);
}

// Profile files with every quirk of the format, from a fixed seed, and the
// look-ups to make in each: names of the file in various spellings, and
// names it does not hold.
class Generator {
 public:
  struct Profile {
    std::string bytes;
    std::vector<std::string> sections, keys;  // the names it holds, as written
  };

  Profile Next() {
    Profile profile;
    static const char* const kEnds[] = {"\r\n", "\n", "\r"};
    int ends = Below(4);  // 3: every line picks its own
    if (Below(20) == 0) profile.bytes += kBom;
    int lines = 2 + Below(12);
    for (int i = 0; i < lines; ++i) {
      profile.bytes += (i == 0 && Below(5) != 0) ? Header(profile) : Line(profile);
      if (i + 1 < lines || Below(4) != 0) profile.bytes += kEnds[ends == 3 ? Below(3) : ends];
    }
    return profile;
  }

  std::vector<Entry> Lookups(const Profile& profile) {
    static const char* const kFallbacks[] = {"<default>", "dflt  ", "", " \xE9 "};
    std::vector<Entry> lookups;
    for (int i = 0; i < 6; ++i) {
      std::string section = Below(6) == 0 ? (Below(2) ? "missing" : "") : Pick(profile.sections, "missing");
      std::string key = Below(6) == 0 ? "absent" : Pick(profile.keys, "absent");
      lookups.push_back({Respell(section), Respell(key), Below(30) == 0 ? "  " : kFallbacks[Below(4)]});
    }
    return lookups;
  }

  // One of the file's names or a new one, with a value of the pool or one
  // holding a line break.
  Entry Write(const Profile& profile) {
    std::string section = Below(4) == 0 ? "New Section" : Pick(profile.sections, "s");
    std::string key = Below(3) == 0 ? "new key" : Pick(profile.keys, "k");
    return {Respell(section, false), Respell(key, false), Below(5) == 0 ? "one\r\ntwo" : Value()};
  }

 private:
  int Below(size_t n) { return static_cast<int>(rng_() % n); }
  std::string Pick(const std::vector<std::string>& names, const char* otherwise) {
    return names.empty() ? otherwise : names[Below(names.size())];
  }
  std::string Name() {
    static const char* const kNames[] = {"Server", "port", "A\xE7\xE3o", "a b", "#x", "k;v", "\"q\"", "'q'",
                                         "Na\xEFve\xFF"};
    return kNames[Below(std::size(kNames))];
  }
  std::string Blanks() {
    static const char* const kBlanks[] = {"", "", "", " ", "\t", " \t ", "  "};
    return kBlanks[Below(std::size(kBlanks))];
  }

  // The same name in another letter case, sometimes with spaces at its
  // ends (ignored) or a tab (not ignored).
  std::string Respell(std::string name, bool tabs = true) {
    for (char& c : name) {
      if (c > 0 && std::isalpha(c) && Below(2)) c ^= 0x20;
    }
    if (Below(4) == 0) name = " " + name + "  ";
    if (tabs && Below(12) == 0) name = Below(2) ? "\t" + name : name + "\t";
    return name;
  }

  std::string Value() {
    static const char* const kValues[] = {
        "", "1", "Mixed Case", "a = b", "; not a comment", "#hash", "\" in quotes \"", "'single'", "\"x'", "\"",
        "'", "\"\"", "\"a\"b\"", "caf\xE9 \x80\x81\x8D\x8F\x90\x9D\xA0\xFF"};
    size_t pick = Below(std::size(kValues) + 3);
    if (pick < std::size(kValues)) return kValues[pick];
    static const int kLengths[] = {2045, 2046, 2047, 2048, 2049, 3000};
    std::string value(kLengths[Below(6)], Below(2) ? 'v' : '\xE9');
    const char* quote = Below(2) ? "\"" : "'";
    return Below(2) ? quote + value + quote : value;
  }

  std::string Header(Profile& profile) {
    std::string name = Below(12) == 0 ? "" : Name();
    profile.sections.push_back(name);
    switch (Below(8)) {
      case 0: return Blanks() + "[" + Blanks() + name + Blanks() + "]" + Blanks();
      case 1: return "[" + name + "] text after";
      case 2: return "[" + name + "]x]";
      case 3: return "[" + name + Blanks();  // no closing bracket
      default: return "[" + name + "]";
    }
  }

  std::string Line(Profile& profile) {
    std::string name = Name();
    switch (Below(12)) {
      case 0: case 1: return Header(profile);
      case 2: return Blanks() + ";" + name + "=" + Value();
      case 3: profile.keys.push_back(name); return Blanks() + name + Blanks();  // no '='
      case 4: return Blanks();
      default:
        profile.keys.push_back(name);
        return Blanks() + name + Blanks() + "=" + Blanks() + Value() + Blanks();
    }
  }

  std::mt19937 rng_{20240610};
};

// The path of an existing file as the platform's A functions can take it,
// whatever its folder is named: its short form, which is ASCII.
std::string AnsiPath(const std::string& path) {
  wchar_t buffer[MAX_PATH];
  DWORD length = ::GetShortPathNameW(Utf8ToWide(path).c_str(), buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? path : WideToUtf8(std::wstring(buffer, length));
}

std::string Platform(const Entry& at, const std::string& file) {
  char buffer[2048];
  DWORD size = ::GetPrivateProfileStringA(at.section.c_str(), at.key.c_str(), at.text.c_str(), buffer,
                                          sizeof buffer, AnsiPath(file).c_str());
  return std::string(buffer, size);
}

std::string Ours(const Entry& at, const std::string& file) {
  return ReadProfileValue(at.section, at.key, at.text, file);
}

// The file without the lines that are neither blank, comments, section
// headers nor keys (a byte-order mark stays, outside the first line).
std::string WithoutLinesLackingEquals(const std::string& bytes) {
  std::string out = bytes.starts_with(kBom) ? kBom : "";
  for (size_t begin = out.size(); begin < bytes.size();) {
    size_t end = std::min(bytes.find_first_of("\r\n", begin), bytes.size());
    size_t next = std::min(bytes.find_first_not_of("\r\n", end), bytes.size());
    std::string_view line = std::string_view(bytes).substr(begin, end - begin);
    size_t text = line.find_first_not_of(" \t\v\f");
    if (text == std::string_view::npos || line[text] == ';' || line[text] == '[' ||
        line.find('=') != std::string_view::npos) {
      out += bytes.substr(begin, next - begin);
    }
    begin = next;
  }
  return out;
}

std::string WithoutBom(const std::string& bytes) { return bytes.starts_with(kBom) ? bytes.substr(3) : bytes; }

bool EndsInTab(const std::string& name) { return !name.empty() && (name.front() == '\t' || name.back() == '\t'); }

// The file with each header line changed by `change` (the line without its
// line end).
std::string WithHeaders(const std::string& bytes, std::string (*change)(std::string_view line)) {
  std::string out;
  for (size_t begin = 0; begin < bytes.size();) {
    size_t end = std::min(bytes.find_first_of("\r\n", begin), bytes.size());
    size_t next = std::min(bytes.find_first_not_of("\r\n", end), bytes.size());
    std::string_view line = std::string_view(bytes).substr(begin, end - begin);
    size_t text = line.find_first_not_of(" \t");
    out += text != std::string_view::npos && line[text] == '[' ? change(line) : std::string(line);
    out += bytes.substr(end, next - end);
    begin = next;
  }
  return out;
}

std::string WithHeadersClosed(const std::string& bytes) {
  return WithHeaders(bytes, [](std::string_view line) {
    std::string text(line);
    return text.find(']') == std::string::npos ? text + "]" : text;
  });
}

std::string WithHeadersCutAtFirstBracket(const std::string& bytes) {
  return WithHeaders(bytes, [](std::string_view line) {
    size_t first = line.find(']');
    return std::string(first == std::string_view::npos ? line : line.substr(0, first + 1));
  });
}

std::string WithoutEveryCause(const std::string& bytes) {
  return WithHeadersCutAtFirstBracket(WithHeadersClosed(WithoutLinesLackingEquals(WithoutBom(bytes))));
}

// The encoding of the files compared, and how many.
struct Encoding {
  const char* name;
  ProfileEncoding encoding;
  int files;
};

class ProfileFileWin32 : public ::testing::TestWithParam<Encoding> {
 protected:
  // The generated 8-bit text as the file of the encoding under test: as
  // Unicode text, the platform's conversion of it, with its mark.
  std::string Encoded(const std::string& bytes) const {
    if (GetParam().encoding == ProfileEncoding::kAnsi) return bytes;
    return EncodeProfile(ProfileText{GetParam().encoding, Utf16ToUtf8(AnsiToWide(bytes)), true});
  }

  // A few names serve every file: creating and removing thousands of files
  // costs more under Wine than the comparison itself.
  std::string Save(const char* name, const std::string& bytes) { return SaveBytes(name, Encoded(bytes)); }
  std::string SaveBytes(const char* name, const std::string& bytes) {
    std::string path = dir_.Path(name);
    WriteFile(path, bytes);
    return path;
  }

  // The generated file, which in a Unicode file holds no UTF-8 mark: that
  // would be text of its first line there.
  Generator::Profile Next(Generator& generator) const {
    Generator::Profile profile = generator.Next();
    if (GetParam().encoding != ProfileEncoding::kAnsi) profile.bytes = WithoutBom(profile.bytes);
    return profile;
  }

  // The file as the platform writes it back: a section written and
  // removed again makes it rewrite every other line its own way.
  std::string PlatformRewrite(const std::string& bytes) {
    std::string path = SaveBytes("rewrite.ini", bytes);
    ::WritePrivateProfileStringA("tarn rewrite", "k", "v", AnsiPath(path).c_str());
    ::WritePrivateProfileStringA("tarn rewrite", nullptr, nullptr, AnsiPath(path).c_str());
    return ReadFile(path);
  }

  const bool wine_ = testing::UnderWine();

  // The cases where Wine's profile functions differ from Windows, with the
  // platform that differs from ours there. A disagreement is such a case
  // when the platform gives the answer the case predicts, or agrees with
  // ours once the cause is taken out of the file; the cases found by this
  // test say what marks them.
  struct KnownDifference {
    const char* name;
    bool on_wine;
    std::function<bool(const std::string& bytes, const Entry& at, const std::string& ours,
                       const std::string& platform)>
        explains;
  };

  // The platform agrees with ours once `remove_cause` has changed the file.
  bool AgreesWithout(std::string (*remove_cause)(const std::string&), const std::string& bytes, const Entry& at,
                     const std::string& ours) {
    std::string without = remove_cause(bytes);
    return without != bytes && Platform(at, Save("scratch.ini", without)) == ours;
  }

  const std::vector<KnownDifference> known_differences_ = {
      // Wine takes a line without '=' as a key without a value, and gives
      // the default when it comes before the key.
      {"line without '='", true,
       [this](const std::string& bytes, const Entry& at, const std::string& ours, const std::string& platform) {
         return platform == at.text.substr(0, at.text.find_last_not_of(' ') + 1) &&
                AgreesWithout(WithoutLinesLackingEquals, bytes, at, ours);
       }},
      // Windows reads the mark as text of the first line (a byte that no
      // name holds stands for it); Wine skips it, as ours does.
      {"UTF-8 byte-order mark", false,
       [this](const std::string& bytes, const Entry& at, const std::string& ours, const std::string& platform) {
         return bytes.starts_with(kBom) && platform == Ours(at, Save("scratch.ini", "\x01" + bytes.substr(3))) &&
                AgreesWithout(WithoutBom, bytes, at, ours);
       }},
      // Found here. Wine drops tabs at the ends of the names looked up.
      {"tab at the end of a looked-up name", true,
       [](const std::string&, const Entry& at, const std::string&, const std::string&) {
         return EndsInTab(at.section) || EndsInTab(at.key);
       }},
      // Wine keeps one space of a default made of spaces only.
      {"default of spaces only", true,
       [](const std::string&, const Entry& at, const std::string& ours, const std::string& platform) {
         return !at.text.empty() && at.text.find_first_not_of(' ') == std::string::npos && ours.empty() &&
                platform.find_first_not_of(' ') == std::string::npos;
       }},
      // Wine never finds a section named "[]".
      {"section with an empty name", true,
       [](const std::string&, const Entry& at, const std::string&, const std::string&) {
         return at.section.find_first_not_of(" ") == std::string::npos;
       }},
      // Wine takes a header without ']' for no header at all.
      {"section header without ']'", true,
       [this](const std::string& bytes, const Entry& at, const std::string& ours, const std::string&) {
         return AgreesWithout(WithHeadersClosed, bytes, at, ours);
       }},
      // Wine ends a section's name at the last ']' of its header.
      {"section header with a second ']'", true,
       [this](const std::string& bytes, const Entry& at, const std::string& ours, const std::string&) {
         return AgreesWithout(WithHeadersCutAtFirstBracket, bytes, at, ours);
       }},
      // Wine returns 2046 characters of a quoted value of 2047.
      {"quoted value of 2047 characters", true,
       [this](const std::string& bytes, const Entry& at, const std::string& ours, const std::string& platform) {
         std::string cut = ours.substr(0, 2046);
         return ours.size() == 2047 &&
                (platform == cut || Platform(at, Save("scratch.ini", WithoutEveryCause(bytes))) == cut);
       }},
      // Wine reads a file that starts with the mark as UTF-8, so its bytes
      // above 0x7F are not Windows-1252 text.
      {"byte-order mark with bytes above 0x7F", true,
       [this](const std::string& bytes, const Entry& at, const std::string& ours, const std::string&) {
         return bytes.starts_with(kBom) && AgreesWithout(WithoutBom, bytes, at, ours);
       }},
      // Several of the file's causes above in one look-up.
      {"several of the causes above", true,
       [this](const std::string& bytes, const Entry& at, const std::string& ours, const std::string&) {
         return AgreesWithout(WithoutEveryCause, bytes, at, ours);
       }},
  };

  bool Explains(const KnownDifference& difference, const std::string& bytes, const Entry& at,
                const std::string& ours, const std::string& platform) {
    return difference.on_wine == wine_ && difference.explains(bytes, at, ours, platform);
  }

  testing::TempDir dir_;
};

TEST_P(ProfileFileWin32, ReadsAgreeWithThePlatform) {
  ASSERT_EQ(::GetACP(), 1252u) << "the generated names and values are Windows-1252 text";
  Generator generator;
  int files = 0, lookups = 0, agreements = 0, unexplained = 0;
  std::map<std::string, int> known;
  for (; files < GetParam().files; ++files) {
    Generator::Profile profile = Next(generator);
    std::string path = Save("file.ini", profile.bytes), failures;
    for (const Entry& at : generator.Lookups(profile)) {
      ++lookups;
      std::string ours = Ours(at, path), platform = Platform(at, path);
      if (ours == platform) {
        ++agreements;
        continue;
      }
      auto match = std::find_if(known_differences_.begin(), known_differences_.end(), [&](const KnownDifference& d) {
        return Explains(d, profile.bytes, at, ours, platform);
      });
      if (match != known_differences_.end()) {
        ++known[match->name];
      } else {
        ++unexplained;
        failures += "\n  lookup " + Describe(at) + ": ours " + Escape(ours) + ", platform " + Escape(platform);
      }
    }
    if (!failures.empty()) ADD_FAILURE() << "file " << Escape(profile.bytes) << failures;
  }
  std::cout << "profile reads of " << GetParam().name << " files against " << (wine_ ? "Wine" : "Windows") << ": "
            << files << " files, " << lookups
            << " lookups, " << agreements << " agree";
  for (const KnownDifference& difference : known_differences_) {
    std::cout << "; known difference of " << (difference.on_wine ? "Wine" : "Windows") << ", " << difference.name
              << ": " << known[difference.name];
    RecordProperty(difference.name, known[difference.name]);
  }
  std::cout << "; in no known case (failures above): " << unexplained << std::endl;
  RecordProperty("files", files);
  RecordProperty("lookups", lookups);
  RecordProperty("agreements", agreements);
}

// The same write through both, on copies of a sample of the generated files,
// after which the platform must find the written value in both. Where the
// bytes differ, both write again into the file as the platform rewrites it
// (it may rewrite every line, where ours keeps every other byte), so that
// what remains shows where each put the value and how it spelled the names.
TEST_P(ProfileFileWin32, WritesAgreeWithThePlatform) {
  Generator generator;
  int writes = 0, same = 0, kept = 0, refused = 0, other = 0;
  for (int file = 0; file < GetParam().files; ++file) {
    Generator::Profile profile = Next(generator);
    if (file % 50 != 0) continue;
    ++writes;
    Entry write = generator.Write(profile);
    std::string ours, platform;
    auto write_both = [&](const std::string& before) {
      ours = SaveBytes("ours.ini", before);
      platform = SaveBytes("platform.ini", before);
      EXPECT_TRUE(::WritePrivateProfileStringA(write.section.c_str(), write.key.c_str(), write.text.c_str(),
                                               AnsiPath(platform).c_str()));
      ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, AnsiPath(platform).c_str());
      WriteProfileValue(write.section, write.key, write.text, ours);
      return ReadFile(ours) == ReadFile(platform);
    };
    if (write.text.find_first_of("\r\n") != std::string::npos) {
      // Ours refuses a value that would inject lines, and keeps the file.
      EXPECT_THROW(write_both(Encoded(profile.bytes)), EIniFileException);
      EXPECT_EQ(ReadFile(ours), Encoded(profile.bytes));
      ++refused;
      continue;
    }
    bool same_bytes = write_both(Encoded(profile.bytes));
    // Wine does not read back what either wrote into a section it reads
    // otherwise (see the reads above).
    Entry at{write.section, write.key, "<default>"};
    bool read_differs = wine_ && (write.section.find_first_not_of(' ') == std::string::npos ||
                                  WithHeadersClosed(profile.bytes) != profile.bytes ||
                                  WithHeadersCutAtFirstBracket(profile.bytes) != profile.bytes);
    if (!read_differs) {
      EXPECT_EQ(Platform(at, ours), Platform(at, platform))
          << "write " << Describe(write) << " into " << Escape(profile.bytes);
    }
    if (same_bytes) {
      ++same;
      continue;
    }
    std::string rewritten = PlatformRewrite(Encoded(profile.bytes));
    if (write_both(rewritten)) {
      ++kept;
    } else {
      ++other;
      // A Unicode file shows as its text (UTF-8).
      auto text = [](const std::string& bytes) { return Escape(DecodeProfile(bytes).text); };
      std::cout << "write " << Describe(write) << "\n  into     " << text(rewritten) << "\n  ours     "
                << text(ReadFile(ours)) << "\n  platform " << text(ReadFile(platform)) << "\n";
    }
  }
  std::cout << "profile writes into " << GetParam().name << " files: " << writes << "; same bytes: " << same
            << "; same once the platform had rewritten the file (ours keeps every other byte): " << kept
            << "; refused by ours (line break in the value): " << refused
            << "; other differences (printed above): " << other << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Encodings, ProfileFileWin32,
                         ::testing::Values(Encoding{"Ansi", ProfileEncoding::kAnsi, 1000},
                                           Encoding{"Utf16LittleEndian", ProfileEncoding::kUtf16Le, 400},
                                           Encoding{"Utf16BigEndian", ProfileEncoding::kUtf16Be, 200}),
                         [](const ::testing::TestParamInfo<Encoding>& info) { return info.param.name; });

// Characters that the program's code page lacks, in a Unicode file's names
// and values: ours gives what the platform gives.
TEST(ProfileFileWin32Unicode, CharactersOutsideTheCodePageReadAsThePlatformGivesThem) {
  testing::TempDir dir;
  std::string path = dir.Path("unicode.ini");
  const std::string text = "[\xC5\x81\xC3\xB3" "d\xC5\xBA]\r\n\xCE\xA9=\xE8\xA8\xAD\xE5\xAE\x9A\r\n"
                           "k=\xC4\x80\xC4\x82 \xCE\xB1\xCE\xB2 \xE2\x80\x9Cq\xE2\x80\x9D \xF0\x9F\x93\x81\r\n"
                           "\xC3\xA9=\xE2\x82\xAC\r\n";
  const std::string section = WideToAnsi(u"\u0141\u00F3d\u017A");
  for (ProfileEncoding encoding : {ProfileEncoding::kUtf16Le, ProfileEncoding::kUtf16Be}) {
    WriteFile(path, EncodeProfile(ProfileText{encoding, text, true}));
    for (const std::string& key : {std::string("k"), WideToAnsi(u"\u03A9"), std::string("\xE9")}) {
      Entry at{section, key, "-"};
      EXPECT_EQ(Escape(Ours(at, path)), Escape(Platform(at, path))) << Describe(at);
    }
    // What ours writes the platform reads back, in a file still Unicode.
    WriteProfileValue(section, "new", "caf\xE9", path);
    EXPECT_EQ(Platform(Entry{section, "new", "-"}, path), "caf\xE9");
    EXPECT_EQ(DecodeProfile(ReadFile(path)).encoding, encoding);
  }
}

}  // namespace
}  // namespace tarn

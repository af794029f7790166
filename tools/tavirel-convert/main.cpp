// tavirel-convert: converts text between Vietnamese code tables, like iconv,
// with the engine of Tavirel's conversion dialog.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "StreamConverter.h"
#include "common/Letters.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "convert/ConvertFile.h"
#include "convert/ConvertText.h"
#include "convert/HtmlFormat.h"
#include "spelling/CTuDien.h"
#include "tables/CBangMa.h"

using namespace tavirel;

namespace {

// Exit statuses.
constexpr int kOk = 0;
constexpr int kUsage = 1;  // bad option or table name
constexpr int kIo = 2;     // input or output could not be read or written
constexpr int kLost = 3;   // converted, but some characters could not be written

constexpr size_t kChunk = 1 << 20;
constexpr size_t kDetectSample = 1 << 16;

void PrintHelp() {
  std::cout <<
      "Usage: tavirel-convert [-f TABLE | --detect] [-t TABLE] [--lower | --upper | --strip-marks]\n"
      "                       [--prefer-upper] [--html] [-o OUT] [IN]\n"
      "\n"
      "Converts Vietnamese text from one code table to another. Reads IN (or standard\n"
      "input when IN is missing or \"-\") and writes OUT (or standard output), in\n"
      "pieces, so files of any size convert in little memory.\n"
      "\n"
      "Text in a table of bytes (TCVN3, VNI, VISCII, VPS, CP 1258, VIQR) is read and\n"
      "written as those bytes; Unicode tables are read and written as UTF-8 (a\n"
      "byte-order mark on input is skipped, none is written).\n"
      "\n"
      "Options:\n"
      "  -f TABLE          source table (default Unicode)\n"
      "  --detect          guess the source table from the first 64 KB of the input\n"
      "                    and say which on standard error\n"
      "  -t TABLE          target table (default Unicode)\n"
      "  --lower, --upper  change the case of the letters\n"
      "  --strip-marks     remove every Vietnamese mark (đ becomes d)\n"
      "  --prefer-upper    a code shared by an upper- and a lower-case letter reads\n"
      "                    as the upper-case one (default: lower case)\n"
      "  --html            the input is clipboard \"HTML Format\" data: only its\n"
      "                    fragment is converted and the offsets are rewritten\n"
      "  -o OUT            write OUT instead of standard output; OUT is replaced only\n"
      "                    once it is complete, and may not be the input file\n"
      "  -l, --list        list the tables\n"
      "  -h, --help        this text\n"
      "\n"
      "TABLE is a name of --list, matched without regard to case, or any part of\n"
      "it that names one table alone, without spaces or marks: tcvn3, vni, viscii,\n"
      "vps, tohop, cp1258, viqr.\n"
      "\n"
      "Exit status: 0 converted; 1 bad option or table; 2 the input or output\n"
      "could not be read or written; 3 converted, but characters the target table\n"
      "cannot hold were written as \"?\" (their count is on standard error).\n";
}

std::string Folded(const std::u16string& name) {
  std::string out;
  for (const char16_t c : letters::Bare(letters::ToLower(name))) {
    if (c < 0x80 && c != u' ' && c != u'(' && c != u')' && c != u'-') out.push_back(static_cast<char>(c));
  }
  return out;
}

std::optional<std::u16string> FindTable(const std::string& arg) {
  const std::u16string wanted = Utf8ToUtf16(arg);
  for (const auto& name : CodeTableNames()) {
    if (name == wanted) return name;
  }
  const std::string key = Folded(wanted);
  if (key.empty()) return std::nullopt;
  for (const auto& name : CodeTableNames()) {
    if (Folded(name) == key) return name;
  }
  std::optional<std::u16string> found;
  for (const auto& name : CodeTableNames()) {
    if (Folded(name).find(key) == std::string::npos) continue;
    if (found) return std::nullopt;  // more than one
    found = name;
  }
  return found;
}

bool WriteAll(std::FILE* f, const std::string& bytes) {
  return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

int Fail(int status, const std::string& message) {
  std::cerr << "tavirel-convert: " << message << "\n";
  return status;
}

// Well-formed UTF-8, but for a sequence that the sample's end may cut.
bool IsUtf8(std::string_view bytes) { return Utf16ToUtf8(Utf8ToUtf16(bytes)).size() + 3 >= bytes.size(); }

}  // namespace

int main(int argc, char** argv) {
  ConversionOptions options;
  bool detect = false;
  bool html = false;
  std::string inPath;
  std::string outPath;
  bool haveIn = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    if (a == "-h" || a == "--help") {
      PrintHelp();
      return kOk;
    } else if (a == "-l" || a == "--list") {
      for (const auto& name : CodeTableNames()) std::cout << Utf16ToUtf8(name) << "\n";
      return kOk;
    } else if (a == "-f" || a == "-t") {
      const auto v = value();
      if (!v) return Fail(kUsage, a + " needs a table name (see --list)");
      const auto table = FindTable(*v);
      if (!table) return Fail(kUsage, "no single table is named \"" + *v + "\" (see --list)");
      (a == "-f" ? options.source : options.target) = *table;
    } else if (a == "--detect") {
      detect = true;
    } else if (a == "--lower") {
      options.flags |= convflag::kLower;
    } else if (a == "--upper") {
      options.flags |= convflag::kUpper;
    } else if (a == "--strip-marks") {
      options.flags |= convflag::kRemoveMarks;
    } else if (a == "--prefer-upper") {
      options.flags |= convflag::kPreferUpper;
    } else if (a == "--html") {
      html = true;
    } else if (a == "-o") {
      const auto v = value();
      if (!v) return Fail(kUsage, "-o needs a file name");
      outPath = *v;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      return Fail(kUsage, "unknown option " + a + " (see --help)");
    } else if (!haveIn) {
      haveIn = true;
      inPath = a;
    } else {
      return Fail(kUsage, "only one input file can be given");
    }
  }
  if ((options.flags & convflag::kLower) && (options.flags & convflag::kUpper)) {
    return Fail(kUsage, "--lower and --upper exclude each other");
  }
  if (inPath == "-") inPath.clear();
  if (!inPath.empty() && !outPath.empty() && SameFile(Utf8ToUtf16(inPath), Utf8ToUtf16(outPath))) {
    return Fail(kUsage, "the output file is the input file: " + outPath);
  }

  std::FILE* in = stdin;
  if (!inPath.empty()) {
    in = std::fopen(inPath.c_str(), "rb");
    if (in == nullptr) return Fail(kIo, "cannot read " + inPath + ": " + std::strerror(errno));
  }
  std::FILE* out = stdout;
  std::string tempPath;
  if (!outPath.empty()) {
    tempPath = outPath + ".tavirel-convert.tmp";
    out = std::fopen(tempPath.c_str(), "wb");
    if (out == nullptr) return Fail(kIo, "cannot write " + outPath + ": " + std::strerror(errno));
  }
  const auto abandon = [&](const std::string& message) {
    if (!tempPath.empty()) {
      std::fclose(out);
      std::remove(tempPath.c_str());
    }
    return Fail(kIo, message);
  };

  std::vector<char> buffer(kChunk);
  std::string first;  // the start of the input, read for detection
  const auto readSome = [&](std::string& into, size_t limit) {
    while (into.size() < limit) {
      const size_t n = std::fread(buffer.data(), 1, std::min(buffer.size(), limit - into.size()), in);
      if (n == 0) break;
      into.append(buffer.data(), n);
    }
  };

  if (detect) CTuDien::Load();
  int status = kOk;
  if (html) {
    // Clipboard data is small: read it whole.
    std::string data;
    readSome(data, SIZE_MAX);
    if (std::ferror(in)) return abandon("cannot read the input");
    const std::string result = RewriteHtmlFormat(data, [&](std::u16string_view fragment) {
      if (detect) {
        options.source = DetectSourceTable(options, fragment);
        std::cerr << "tavirel-convert: source table: " << Utf16ToUtf8(options.source) << "\n";
      }
      return ConvertText(options, fragment);
    });
    if (result.empty()) return abandon("the input is no HTML Format data with a valid fragment");
    if (!WriteAll(out, result)) return abandon("cannot write the output");
  } else {
    readSome(first, kDetectSample);
    if (std::ferror(in)) return abandon("cannot read the input");
    const bool bom = first.size() >= 3 && first.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (detect) {
      const std::string_view sample = bom ? std::string_view(first).substr(3) : std::string_view(first);
      const bool utf8 = IsUtf8(sample);
      std::u16string text;
      if (utf8) {
        text = Utf8ToUtf16Replacing(sample);
      } else {
        for (const char b : sample) text.push_back(static_cast<unsigned char>(b));
      }
      options.source = DetectSourceTable(options, text);
      std::cerr << "tavirel-convert: source table: " << Utf16ToUtf8(options.source) << "\n";
    }
    CStreamConverter stream(options, bom);
    std::string converted;
    stream.Feed(first, converted);
    first.clear();
    first.shrink_to_fit();
    if (!WriteAll(out, converted)) return abandon("cannot write the output");
    for (;;) {
      const size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
      if (n == 0) break;
      converted.clear();
      stream.Feed(std::string_view(buffer.data(), n), converted);
      if (!WriteAll(out, converted)) return abandon("cannot write the output");
    }
    if (std::ferror(in)) return abandon("cannot read the input");
    converted.clear();
    stream.Finish(converted);
    if (!WriteAll(out, converted)) return abandon("cannot write the output");
    if (stream.MalformedBytes() != 0) {
      std::cerr << "tavirel-convert: warning: " << stream.MalformedBytes()
                << " bytes of the input were not UTF-8 and were read as U+FFFD\n";
    }
    if (stream.LostCount() != 0) {
      std::cerr << "tavirel-convert: warning: " << stream.LostCount() << " characters cannot be written in "
                << Utf16ToUtf8(options.target) << " and were written as \"?\"\n";
    }
    status = stream.LostCount() != 0 ? kLost : kOk;
  }
  if (in != stdin) std::fclose(in);
  if (std::fflush(out) != 0) return abandon("cannot write the output");
  if (!tempPath.empty()) {
    if (std::fclose(out) != 0) {
      std::remove(tempPath.c_str());
      return Fail(kIo, "cannot write " + outPath);
    }
    std::error_code ec;
    std::filesystem::rename(tempPath, outPath, ec);
    if (ec) {
      std::remove(tempPath.c_str());
      return Fail(kIo, "cannot write " + outPath + ": " + ec.message());
    }
  }
  return status;
}

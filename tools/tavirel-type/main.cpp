// tavirel-type: types text through the real input service on an in-memory
// desktop. Every input character is one key press on a US keyboard.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Interactive.h"
#include "TypeOptions.h"
#include "TypeSession.h"
#include "app/CSettings.h"
#include "common/Utf8.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

using namespace tavirel;

namespace {

constexpr size_t kFlushAbove = 1 << 16;
constexpr size_t kKeepTail = 4096;

void PrintHelp() {
  std::cout <<
      "Usage: tavirel-type [options] [< input]\n"
      "\n"
      "Types text through the Tavirel input service and prints the resulting text.\n"
      "Every input character is one key press on a US keyboard: a newline is Enter,\n"
      "a backspace character (\\b, 0x08) is Backspace, a tab is Tab. A CR before a\n"
      "newline is dropped. Characters no US key gives arrive as typed Unicode.\n"
      "\n"
      "Options:\n"
      "  -e TEXT            type TEXT instead of reading standard input\n"
      "  -m NAME            typing method (default \"Telex 2\"; see --list-methods)\n"
      "  -b NAME            output code table (default \"Unicode\"; see --list-tables);\n"
      "                     with a byte table the output holds the encoded bytes\n"
      "  --set KEY=VALUE    set an option by its LuaChon.ini name, e.g.\n"
      "                     --set BoDauThanhKieu2=1 (repeatable; see below)\n"
      "  --config DIR       read LuaChon.ini, GoTat.ini and PhimTat.ini from DIR,\n"
      "                     as Tavirel.exe reads them at start; -m, -b and --set\n"
      "                     given as well apply after them\n"
      "  --suggestions      switch word suggestion on; for each input line print the\n"
      "                     candidates listed after its last key (one a line, in\n"
      "                     order, then an empty line) instead of the text\n"
      "  -i                 interactive terminal session (the default when standard\n"
      "                     input is a terminal)\n"
      "  --list-methods     list the typing methods\n"
      "  --list-tables      list the code tables\n"
      "  -h, --help         this text\n"
      "\n"
      "Interactive keys: Ctrl+T switches Vietnamese on/off (the Ctrl+Shift hotkey,\n"
      "which a terminal cannot report), Ctrl+R restores the last word's keys (the\n"
      "Ctrl+Alt hotkey), Ctrl+L empties the field, Ctrl+D or Ctrl+C quits and\n"
      "prints the text.\n"
      "\n"
      "Options for --set:";
  for (const std::string& key : TypeOptionKeys()) std::cout << ' ' << key;
  std::cout << "\n";
}

bool Contains(const std::vector<std::u16string>& names, const std::u16string& name) {
  for (const auto& n : names) {
    if (n == name) return true;
  }
  return false;
}

int Fail(const std::string& message) {
  std::cerr << "tavirel-type: " << message << "\n";
  return 2;
}

void TypeLine(TypeSession& session, const std::u16string& line) {
  for (const char16_t ch : line) session.Type(ch);
}

// The length of bytes without an unfinished UTF-8 sequence at its end.
size_t CompleteUtf8(std::string_view bytes) {
  const size_t n = bytes.size();
  for (size_t back = 1; back <= 4 && back <= n; ++back) {
    const unsigned char c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    const size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    return length > back ? n - back : n;
  }
  return n;
}

// Types decoded input; a CR right before a newline is dropped.
void TypeUnits(TypeSession& session, std::u16string_view units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') continue;
    session.Type(units[i]);
  }
}

// Suggestion mode: before each Enter (and after a last line without one)
// the candidates listed then, one a line, and an empty line.
class SuggestionPrinter {
 public:
  explicit SuggestionPrinter(TypeSession& session) : session_(session) {}
  void Type(char16_t ch) {
    if (ch == u'\n') {
      PrintList();
      session_.Type(ch);
      session_.Desk().TakeText();
      open_ = false;
      return;
    }
    session_.Type(ch);
    open_ = true;
  }
  void Finish() {
    if (open_) PrintList();
  }

 private:
  void PrintList() {
    CInputMethodService& s = session_.Service();
    std::string out;
    if (s.SuggestionWindowVisible()) {
      for (int row = 0;; ++row) {
        const std::u16string& text = s.SuggestionText(row);
        if (text.empty()) break;
        out += Utf16ToUtf8(text);
        out += '\n';
      }
    }
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
  }

  TypeSession& session_;
  bool open_ = false;
};

void TypeUnitsSuggesting(SuggestionPrinter& printer, std::u16string_view units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') continue;
    printer.Type(units[i]);
  }
}

// Types standard input as it arrives, in blocks, writing the field out as it
// grows: a long line never sits whole in memory.
void TypeStream(TypeSession& session, SuggestionPrinter* printer) {
  constexpr size_t kBlock = 1 << 16;
  // An unfinished sequence (and a CR) from the last block, then the next.
  std::vector<char> bytes(kBlock + 8);
  std::vector<char16_t> units(bytes.size());
  size_t have = 0;
  const auto type = [&](size_t count) {
    const char16_t* const end = Utf8ToUtf16Replacing(std::string_view(bytes.data(), count), units.data());
    const std::u16string_view typed(units.data(), static_cast<size_t>(end - units.data()));
    if (printer != nullptr) {
      TypeUnitsSuggesting(*printer, typed);
    } else if (std::memchr(bytes.data(), '\r', count) == nullptr) {
      // No CR among the bytes, so none among the units: typed as it is.
      session.Type(typed);
    } else {
      TypeUnits(session, typed);
    }
  };
  size_t n;
  while ((n = std::fread(bytes.data() + have, 1, kBlock, stdin)) > 0) {
    const size_t total = have + n;
    size_t end = CompleteUtf8(std::string_view(bytes.data(), total));
    // A CR at the end waits: a newline may follow in the next block.
    if (end > 0 && bytes[end - 1] == '\r') --end;
    type(end);
    have = total - end;
    std::memmove(bytes.data(), bytes.data() + end, have);
    if (printer == nullptr && session.Desk().Text().size() > kFlushAbove) session.Flush(stdout, kKeepTail);
  }
  type(have);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::string method;
  std::string table;
  std::string config;
  std::vector<std::pair<std::string, std::string>> sets;
  bool haveText = false;
  std::string text;
  bool interactive = false;
  bool suggestions = false;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      PrintHelp();
      return 0;
    } else if (arg == "--list-methods") {
      for (const auto& name : GetTypingMethodNames()) std::cout << Utf16ToUtf8(name) << "\n";
      return 0;
    } else if (arg == "--list-tables") {
      for (const auto& name : GetCodeTableNames()) std::cout << Utf16ToUtf8(name) << "\n";
      return 0;
    } else if (arg == "-e") {
      if (!next(text)) return Fail("-e needs a text");
      haveText = true;
    } else if (arg == "-m") {
      if (!next(method)) return Fail("-m needs a typing method name");
    } else if (arg == "-b") {
      if (!next(table)) return Fail("-b needs a code table name");
    } else if (arg == "--set") {
      std::string kv;
      if (!next(kv)) return Fail("--set needs KEY=VALUE");
      const size_t eq = kv.find('=');
      if (eq == std::string::npos || eq == 0) return Fail("--set needs KEY=VALUE, got '" + kv + "'");
      sets.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
    } else if (arg == "--config") {
      if (!next(config)) return Fail("--config needs a folder");
    } else if (arg == "--suggestions") {
      suggestions = true;
    } else if (arg == "-i") {
      interactive = true;
    } else {
      return Fail("unknown argument '" + arg + "' (see --help)");
    }
  }

  const std::u16string methodName = Utf8ToUtf16(method);
  const std::u16string tableName = Utf8ToUtf16(table);
  if (!method.empty() && !Contains(GetTypingMethodNames(), methodName)) {
    return Fail("no typing method named '" + method + "'");
  }
  if (!table.empty() && !Contains(GetCodeTableNames(), tableName)) {
    return Fail("no code table named '" + table + "'");
  }

  TypeSession session;
  CInputMethodService& service = session.Service();
  // Choices are learned for this run only, unless a settings folder is named.
  service.UsedKeywordsPath.clear();
  if (!config.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(config, ec)) return Fail("no folder '" + config + "'");
    service.UsedKeywordsPath = Utf8ToUtf16(config) + u"/Suggestion_UsedKeywords.dat";
    CSettings settings(service, session.App(), Utf8ToUtf16(config));
    settings.Load(false);
    const std::pair<SettingsFileStatus, std::u16string> files[] = {
        {settings.OptionsStatus(), settings.OptionsPath()},
        {settings.ShorthandsStatus(), settings.ShorthandsPath()},
        {settings.HotkeysStatus(), settings.HotkeysPath()}};
    for (const auto& [status, path] : files) {
      if (status == SettingsFileStatus::Unreadable) {
        std::cerr << "tavirel-type: cannot read " << Utf16ToUtf8(path) << "; its defaults are used\n";
      }
    }
  }
  if (!method.empty()) service.SetTypingMethod(methodName);
  if (!table.empty()) service.SetCodeTable(tableName);
  for (const auto& [key, value] : sets) {
    std::string error;
    if (!ApplyTypeOption(service, session.App(), key, value, error)) return Fail(error);
  }
  session.UpdateOutputKind();
  if (suggestions) {
    service.EnableSuggestions(true);
    service.FinishBackgroundWork();
    if (!service.SuggestionsActive()) return Fail("no compound dictionary (Resources/TuDienTuGhep.txt)");
    SuggestionPrinter printer(session);
    if (haveText) {
      TypeUnitsSuggesting(printer, Utf8ToUtf16Replacing(text));
    } else {
      TypeStream(session, &printer);
    }
    printer.Finish();
    std::fflush(stdout);
    return 0;
  }

  if (!haveText && (interactive || isatty(STDIN_FILENO))) return RunInteractive(session);

  if (haveText) {
    TypeLine(session, Utf8ToUtf16Replacing(text));
  } else {
    TypeStream(session, nullptr);
  }
  session.Flush(stdout, 0);
  std::fflush(stdout);
  return 0;
}

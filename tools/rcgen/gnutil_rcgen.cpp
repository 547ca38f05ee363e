// gnutil_rcgen: turns the STRINGTABLE resources of an .rc file into the C++
// source of a Linux resource library (or of a program's own string table).
//
//     gnutil_rcgen input.rc output.cpp
//
// The .rc source is the same file that the Windows resource compiler (windres
// -c 65001) builds into a DLL, so the subset accepted here is chosen to give
// the same texts on both sides:
//
//   - the file is UTF-8;
//   - // and /* */ comments; #define NAME number; #include "file" (and
//     #include <...>, which is skipped); #ifdef/#ifndef/#else/#endif on names
//     defined here; #pragma and #undef are ignored; other directives are errors;
//   - STRINGTABLE [memory options] [LANGUAGE a, b] [CHARACTERISTICS n]
//     [VERSION n] BEGIN|{ entries END|}; a top-level LANGUAGE statement is
//     accepted and ignored; any other resource statement is an error;
//   - an entry is: id [,] "text" ["more text" ...], id a number (decimal or
//     0x hex) or a #defined name, 0 to 65535, each id once;
//   - in texts: "" is a quote; \n \t \r \b \f \v \\ \" as in C; \xHH (L"":
//     up to 4 hex digits) and \ooo octal for characters; a narrow text may
//     name only ASCII by number (non-ASCII is written as itself, or with L"");
//     \a and a zero character are refused, because the resource compilers
//     disagree on them; any other backslash stays as it is.
//
// The output defines the exported variable gnutil_resource_strings in the
// layout of src/platform/posix/restable.h: entries sorted by id, texts UTF-8.
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Error {
  std::string message;
};

struct Token {
  enum Kind { kEnd, kName, kNumber, kString, kPunct } kind = kEnd;
  std::string text;  // name, punctuation, or the decoded string (UTF-8)
  unsigned long value = 0;
  std::string where;  // file:line
};

bool ValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80                   ? 1
                 : (c >= 0xc2 && c <= 0xdf) ? 2
                 : (c >= 0xe0 && c <= 0xef) ? 3
                 : (c >= 0xf0 && c <= 0xf4) ? 4
                                            : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) return false;
    }
    i += len;
  }
  return true;
}

void AppendUtf8(std::string* out, unsigned long cp) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xc0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3f));
  } else {
    *out += static_cast<char>(0xe0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
    *out += static_cast<char>(0x80 | (cp & 0x3f));
  }
}

class Lexer {
 public:
  Lexer(std::map<std::string, unsigned long>* defines) : defines_(defines) {}

  // Reads a file and appends its tokens; #include recurses.
  void LexFile(const std::string& path, int depth) {
    if (depth > 16) throw Error{path + ": #include nested too deeply"};
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error{"cannot open " + path};
    std::stringstream ss;
    ss << in.rdbuf();
    std::string src = ss.str();
    if (!ValidUtf8(src)) throw Error{path + ": not UTF-8 text"};
    Lex(path, src, depth);
  }

  std::vector<Token>& tokens() { return tokens_; }

 private:
  [[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
    throw Error{file + ":" + std::to_string(line) + ": " + what};
  }

  bool Active() const {
    for (bool b : conditions_) {
      if (!b) return false;
    }
    return true;
  }

  void Directive(const std::string& file, int line, const std::string& text, int depth) {
    std::istringstream ls(text);
    std::string word;
    ls >> word;
    if (word == "ifdef" || word == "ifndef") {
      std::string name;
      ls >> name;
      bool defined = defines_->count(name) != 0 || plainDefines_.count(name) != 0;
      conditions_.push_back(word == "ifdef" ? defined : !defined);
      return;
    }
    if (word == "else") {
      if (conditions_.empty()) Fail(file, line, "#else without #ifdef");
      conditions_.back() = !conditions_.back();
      return;
    }
    if (word == "endif") {
      if (conditions_.empty()) Fail(file, line, "#endif without #ifdef");
      conditions_.pop_back();
      return;
    }
    if (!Active()) return;
    if (word == "pragma" || word == "undef") return;
    if (word == "define") {
      std::string name, value;
      ls >> name >> value;
      if (name.empty()) Fail(file, line, "#define without a name");
      if (value.empty()) {
        plainDefines_[name] = true;
        return;
      }
      char* end = nullptr;
      unsigned long v = strtoul(value.c_str(), &end, 0);
      while (*end == 'L' || *end == 'l' || *end == 'U' || *end == 'u') ++end;
      if (*end != '\0' || value[0] == '-') {
        Fail(file, line, "#define " + name + ": only plain numbers are supported");
      }
      (*defines_)[name] = v;
      return;
    }
    if (word == "include") {
      std::string rest;
      std::getline(ls, rest);
      size_t q = rest.find('"');
      if (q == std::string::npos) return;  // <system header>: nothing we need
      size_t q2 = rest.find('"', q + 1);
      if (q2 == std::string::npos) Fail(file, line, "bad #include");
      std::string name = rest.substr(q + 1, q2 - q - 1);
      std::string dir;
      size_t slash = file.find_last_of('/');
      if (slash != std::string::npos && name[0] != '/') dir = file.substr(0, slash + 1);
      LexFile(dir + name, depth + 1);
      return;
    }
    Fail(file, line, "#" + word + " is not supported");
  }

  // Decodes the string literal that starts at src[i] (the opening quote).
  std::string LexString(const std::string& file, int line, const std::string& src, size_t* pos,
                        bool wide) {
    std::string out;
    size_t i = *pos + 1;
    for (;;) {
      if (i >= src.size() || src[i] == '\n') Fail(file, line, "unterminated string");
      char c = src[i];
      if (c == '"') {
        if (i + 1 < src.size() && src[i + 1] == '"') {
          out += '"';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      if (c != '\\') {
        out += c;
        ++i;
        continue;
      }
      if (i + 1 >= src.size()) Fail(file, line, "unterminated string");
      char e = src[i + 1];
      i += 2;
      unsigned long value = 0;
      bool numeric = false;
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'v':
          out += '\v';
          break;
        case '\\':
          out += '\\';
          break;
        case '"':
          out += '"';
          break;
        case 'a':
          Fail(file, line, "\\a means different characters to different resource compilers");
        case 'x': {
          size_t max = wide ? 4 : 2, n = 0;
          while (n < max && i < src.size() && isxdigit(static_cast<unsigned char>(src[i]))) {
            value =
                value * 16 + static_cast<unsigned long>(
                                 isdigit(static_cast<unsigned char>(src[i]))
                                     ? src[i] - '0'
                                     : (tolower(static_cast<unsigned char>(src[i])) - 'a' + 10));
            ++i;
            ++n;
          }
          if (n == 0) Fail(file, line, "\\x without hex digits");
          numeric = true;
          break;
        }
        default:
          if (e >= '0' && e <= '7') {
            value = static_cast<unsigned long>(e - '0');
            for (int n = 1; n < 3 && i < src.size() && src[i] >= '0' && src[i] <= '7'; ++n, ++i) {
              value = value * 8 + static_cast<unsigned long>(src[i] - '0');
            }
            numeric = true;
          } else {
            // Unknown escape: both compilers keep the backslash.
            out += '\\';
            i -= 1;
          }
      }
      if (numeric) {
        if (value == 0) Fail(file, line, "a zero character would end the text early");
        if (!wide && value >= 0x80) {
          Fail(file, line,
               "a narrow text may give only ASCII by number; write the character or use L\"\"");
        }
        if (value >= 0xd800 && value <= 0xdfff) Fail(file, line, "surrogate code unit");
        AppendUtf8(&out, value);
      }
    }
    *pos = i;
    return out;
  }

  void Lex(const std::string& file, const std::string& src, int depth) {
    int line = 1;
    bool lineStart = true;
    size_t i = 0;
    while (i < src.size()) {
      char c = src[i];
      if (c == '\n') {
        ++line;
        lineStart = true;
        ++i;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++i;
        continue;
      }
      if (c == '/' && i + 1 < src.size() && src[i + 1] == '/') {
        while (i < src.size() && src[i] != '\n') ++i;
        continue;
      }
      if (c == '/' && i + 1 < src.size() && src[i + 1] == '*') {
        size_t end = src.find("*/", i + 2);
        if (end == std::string::npos) Fail(file, line, "unterminated comment");
        for (size_t k = i; k < end; ++k) {
          if (src[k] == '\n') ++line;
        }
        i = end + 2;
        continue;
      }
      if (c == '#' && lineStart) {
        size_t end = src.find('\n', i);
        if (end == std::string::npos) end = src.size();
        Directive(file, line, src.substr(i + 1, end - i - 1), depth);
        i = end;
        continue;
      }
      lineStart = false;
      Token t;
      t.where = file + ":" + std::to_string(line);
      if (c == '"' || (c == 'L' && i + 1 < src.size() && src[i + 1] == '"')) {
        bool wide = c == 'L';
        if (wide) ++i;
        t.kind = Token::kString;
        t.text = LexString(file, line, src, &i, wide);
      } else if (isdigit(static_cast<unsigned char>(c))) {
        size_t start = i;
        while (i < src.size() && isalnum(static_cast<unsigned char>(src[i]))) ++i;
        std::string num = src.substr(start, i - start);
        char* end = nullptr;
        t.value = strtoul(num.c_str(), &end, 0);
        while (*end == 'L' || *end == 'l' || *end == 'U' || *end == 'u') ++end;
        if (*end != '\0') Fail(file, line, "bad number " + num);
        t.kind = Token::kNumber;
      } else if (isalpha(static_cast<unsigned char>(c)) || c == '_') {
        size_t start = i;
        while (i < src.size() && (isalnum(static_cast<unsigned char>(src[i])) || src[i] == '_'))
          ++i;
        t.kind = Token::kName;
        t.text = src.substr(start, i - start);
      } else if (c == ',' || c == '{' || c == '}') {
        t.kind = Token::kPunct;
        t.text = std::string(1, c);
        ++i;
      } else {
        Fail(file, line, std::string("unexpected character '") + c + "'");
      }
      if (Active()) tokens_.push_back(t);
    }
    if (depth == 0 && !conditions_.empty()) Fail(file, line, "#ifdef without #endif");
  }

  std::map<std::string, unsigned long>* defines_;
  std::map<std::string, bool> plainDefines_;
  std::vector<bool> conditions_;
  std::vector<Token> tokens_;
};

class Parser {
 public:
  Parser(std::vector<Token>* tokens, const std::map<std::string, unsigned long>* defines)
      : tokens_(*tokens), defines_(*defines) {}

  std::map<unsigned long, std::string> Parse() {
    while (!AtEnd()) {
      const Token& t = Next();
      if (t.kind == Token::kName && t.text == "STRINGTABLE") {
        StringTable();
      } else if (t.kind == Token::kName && t.text == "LANGUAGE") {
        Language();
      } else {
        std::string found = t.kind == Token::kNumber ? std::to_string(t.value) : t.text;
        throw Error{t.where + ": only STRINGTABLE resources are supported (found '" + found + "')"};
      }
    }
    return strings_;
  }

 private:
  bool AtEnd() const { return pos_ >= tokens_.size(); }
  const Token& Peek() {
    if (AtEnd()) throw Error{"unexpected end of input"};
    return tokens_[pos_];
  }
  const Token& Next() {
    const Token& t = Peek();
    ++pos_;
    return t;
  }
  bool IsPunct(const Token& t, const char* p) { return t.kind == Token::kPunct && t.text == p; }
  bool IsName(const Token& t, const char* n) { return t.kind == Token::kName && t.text == n; }

  void Language() {
    Next();
    if (!IsPunct(Next(), ",")) throw Error{tokens_[pos_ - 1].where + ": LANGUAGE needs two values"};
    Next();
  }

  unsigned long Id(const Token& t) {
    if (t.kind == Token::kNumber) return t.value;
    if (t.kind == Token::kName) {
      auto it = defines_.find(t.text);
      if (it != defines_.end()) return it->second;
      throw Error{t.where + ": unknown string id " + t.text};
    }
    throw Error{t.where + ": string id expected"};
  }

  void StringTable() {
    static const char* const kOptions[] = {"DISCARDABLE", "PRELOAD", "LOADONCALL",
                                           "MOVEABLE",    "FIXED",   "PURE",
                                           "IMPURE",      "SHARED",  "NONSHARED"};
    for (;;) {
      const Token& t = Peek();
      bool option = false;
      for (const char* o : kOptions) option = option || IsName(t, o);
      if (option) {
        Next();
      } else if (IsName(t, "LANGUAGE")) {
        Next();
        Language();
      } else if (IsName(t, "CHARACTERISTICS") || IsName(t, "VERSION")) {
        Next();
        Next();
      } else {
        break;
      }
    }
    const Token& open = Next();
    if (!IsPunct(open, "{") && !IsName(open, "BEGIN")) throw Error{open.where + ": BEGIN expected"};
    for (;;) {
      const Token& t = Next();
      if (IsPunct(t, "}") || IsName(t, "END")) return;
      unsigned long id = Id(t);
      if (id > 0xffff) throw Error{t.where + ": string id above 65535"};
      if (IsPunct(Peek(), ",")) Next();
      const Token& s = Next();
      if (s.kind != Token::kString) throw Error{s.where + ": text expected after the id"};
      std::string text = s.text;
      while (!AtEnd() && Peek().kind == Token::kString) text += Next().text;
      if (!strings_.emplace(id, text).second) {
        throw Error{t.where + ": string id " + std::to_string(id) + " given twice"};
      }
    }
  }

  std::vector<Token>& tokens_;
  const std::map<std::string, unsigned long>& defines_;
  size_t pos_ = 0;
  std::map<unsigned long, std::string> strings_;
};

std::string CLiteral(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '?') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    }
  }
  return out + "\"";
}

std::string Generate(const std::string& input,
                     const std::map<unsigned long, std::string>& strings) {
  std::ostringstream o;
  o << "// Generated by gnutil_rcgen from " << input << ". Do not edit.\n"
    << "extern \"C\" {\n"
    << "struct gnutil_rs_entry { unsigned int id; unsigned int length; const char* text; };\n"
    << "struct gnutil_rs_table {\n"
    << "  unsigned int magic; unsigned int version; unsigned int count;\n"
    << "  const gnutil_rs_entry* entries;\n"
    << "};\n";
  if (!strings.empty()) {
    o << "static const gnutil_rs_entry gnutil_rs_entries[] = {\n";
    for (const auto& e : strings) {
      o << "  {" << e.first << "u, " << e.second.size() << "u, " << CLiteral(e.second) << "},\n";
    }
    o << "};\n";
  }
  o << "__attribute__((visibility(\"default\")))\n"
    << "extern const gnutil_rs_table gnutil_resource_strings;\n"
    << "const gnutil_rs_table gnutil_resource_strings = {0x53524e47u, 1u, " << strings.size()
    << "u, " << (strings.empty() ? "nullptr" : "gnutil_rs_entries") << "};\n"
    << "}\n";
  return o.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: gnutil_rcgen INPUT.rc OUTPUT.cpp\n");
    return 2;
  }
  try {
    std::map<std::string, unsigned long> defines;
    Lexer lexer(&defines);
    lexer.LexFile(argv[1], 0);
    Parser parser(&lexer.tokens(), &defines);
    std::string out = Generate(argv[1], parser.Parse());
    std::string tmp = std::string(argv[2]) + ".tmp";
    {
      std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
      f << out;
      if (!f) throw Error{"cannot write " + tmp};
    }
    if (rename(tmp.c_str(), argv[2]) != 0) throw Error{std::string("cannot write ") + argv[2]};
  } catch (const Error& e) {
    fprintf(stderr, "gnutil_rcgen: %s\n", e.message.c_str());
    return 1;
  }
  return 0;
}

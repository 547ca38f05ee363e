// The initialisation-file engine (see ini.h for the rules it keeps).
//
// The text is scanned line by line without building a model of it, so an
// edit can splice one line into the original bytes and leave everything else,
// including bytes this engine does not understand, exactly as it was.
#include "platform/ini.h"

#include <stddef.h>

namespace gnutil::ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

struct Line {
  size_t begin;  // first byte
  size_t end;    // one past the last byte, line terminator excluded
  size_t next;   // start of the next line (end of text for the last one)
};

enum class Kind { kBlank, kComment, kSection, kEntry };

struct Parsed {
  Kind kind = Kind::kBlank;
  bool has_value = true;     // entries: whether the line has an '='
  std::string_view name;     // section or key name, trimmed
  std::string_view value;    // raw text after '=' (entries)
  size_t equals_offset = 0;  // where '=' sits, from line begin
  size_t value_offset = 0;   // where the value's first non-blank byte sits, from line begin
};

// Iterates the lines of a text; a UTF-8 byte-order mark before the first line
// is skipped (and so kept by edits).
class LineScanner {
 public:
  explicit LineScanner(std::string_view text) : text_(text) {
    if (text_.size() >= 3 && text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
  }
  bool NextLine(Line* line) {
    if (pos_ >= text_.size()) return false;
    size_t nl = text_.find('\n', pos_);
    line->begin = pos_;
    if (nl == std::string_view::npos) {
      line->end = line->next = text_.size();
    } else {
      line->end = nl;
      line->next = nl + 1;
    }
    if (line->end > line->begin && text_[line->end - 1] == '\r') --line->end;
    pos_ = line->next;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

Parsed ParseLine(std::string_view text, const Line& line) {
  std::string_view raw = text.substr(line.begin, line.end - line.begin);
  Parsed p;
  size_t lead = 0;
  while (lead < raw.size() && IsBlank(raw[lead])) ++lead;
  if (lead == raw.size()) {
    p.kind = Kind::kBlank;
    return p;
  }
  if (raw[lead] == ';') {
    p.kind = Kind::kComment;
    return p;
  }
  if (raw[lead] == '[') {
    // The name runs to the last ']' so that names holding ']' read back. A
    // line without one opens no section: it is read as any other line.
    size_t close = raw.rfind(']');
    if (close != std::string_view::npos) {
      p.kind = Kind::kSection;
      p.name = Trim(raw.substr(lead + 1, close - lead - 1));
      return p;
    }
  }
  p.kind = Kind::kEntry;
  size_t eq = raw.find('=', lead);
  if (eq == std::string_view::npos) {
    // A key without a value: it reads as missing, yet as the first entry of
    // its name it hides later ones, and a write gives it a value.
    p.name = Trim(raw.substr(lead));
    p.has_value = false;
    p.equals_offset = p.value_offset = lead + p.name.size();
    return p;
  }
  p.name = Trim(raw.substr(lead, eq - lead));
  size_t v = eq + 1;
  while (v < raw.size() && IsBlank(raw[v])) ++v;
  p.value = raw.substr(eq + 1);
  p.equals_offset = eq;
  p.value_offset = v;
  return p;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// New lines follow the file's own convention, judged by its first line end.
std::string_view LineEnd(std::string_view text) {
  size_t nl = text.find('\n');
  if (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r') return "\r\n";
  return "\n";
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b, CharStep step) {
  return EqualNoCase(Trim(a), Trim(b), step);
}

// The trail bytes of a double-byte character may look like ASCII letters and
// must not fold.
bool EqualNoCase(std::string_view a, std::string_view b, CharStep step) {
  if (a.size() != b.size()) return false;
  size_t i = 0;
  while (i < a.size()) {
    size_t n = step(a.data() + i, a.size() - i);
    if (n == 1) {
      if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    } else if (a.compare(i, n, b, i, n) != 0) {
      return false;
    }
    i += n;
  }
  return true;
}

bool Find(std::string_view text, std::string_view section, std::string_view key, std::string* value,
          CharStep step) {
  LineScanner scan(text);
  Line line;
  // Lines before the first header form the section with the empty name.
  bool in_section = Trim(section).empty();
  while (scan.NextLine(&line)) {
    Parsed p = ParseLine(text, line);
    if (p.kind == Kind::kSection) {
      if (in_section) return false;  // only the first section of the name counts
      in_section = NamesEqual(p.name, section, step);
    } else if (in_section && p.kind == Kind::kEntry && NamesEqual(p.name, key, step)) {
      if (!p.has_value) return false;
      value->assign(Unquote(Trim(p.value)));
      return true;
    }
  }
  return false;
}

bool Set(std::string_view text, std::string_view section, std::string_view key,
         std::string_view value, std::string* out, CharStep step) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  std::string_view k = Trim(key);
  std::string_view s = Trim(section);
  if (k.find('=') != std::string_view::npos) return false;
  if (!k.empty() && (k.front() == '[' || k.front() == ';')) return false;

  const std::string_view eol = LineEnd(text);
  LineScanner scan(text);
  Line line;
  // Lines before the first header form the section with the empty name; a
  // new entry there goes first in the file (after a byte-order mark).
  bool in_section = s.empty(), found_section = s.empty();
  size_t insert_at = text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  bool insert_needs_eol = false;  // the line before insert_at has no line end
  bool last_blank = true;         // whether the text's last line is blank
  while (scan.NextLine(&line)) {
    Parsed p = ParseLine(text, line);
    last_blank = p.kind == Kind::kBlank;
    if (p.kind == Kind::kSection) {
      if (in_section) {
        in_section = false;
        continue;
      }
      if (!found_section && NamesEqual(p.name, s, step)) {
        in_section = found_section = true;
        insert_at = line.next;
        insert_needs_eol = text[line.next - 1] != '\n';
      }
      continue;
    }
    if (!in_section) continue;
    if (p.kind == Kind::kEntry && NamesEqual(p.name, k, step)) {
      std::string r;
      r.reserve(text.size() + value.size());
      // The spacing after '=' is kept unless the new value brings its own.
      bool own_blanks = !value.empty() && IsBlank(value.front());
      if (!p.has_value) {
        r.append(text.substr(0, line.begin + p.value_offset)).append("=");
      } else {
        r.append(text.substr(0, line.begin + (own_blanks ? p.equals_offset + 1 : p.value_offset)));
      }
      r.append(value);
      r.append(text.substr(line.end));
      *out = std::move(r);
      return true;
    }
    if (p.kind != Kind::kBlank) {
      insert_at = line.next;
      insert_needs_eol = text[line.next - 1] != '\n';
    }
  }

  std::string r;
  r.reserve(text.size() + s.size() + k.size() + value.size() + 16);
  if (found_section) {
    // A key that starts like a byte-order mark cannot open the file: it
    // would be read as the mark.
    if (insert_at == 0 && k.substr(0, 3) == "\xEF\xBB\xBF") return false;
    // The new entry goes after the section's last non-blank line, before
    // any blank lines that separate it from the next section.
    r.append(text.substr(0, insert_at));
    if (insert_needs_eol) r.append(eol);
    r.append(k).append("=").append(value).append(eol);
    r.append(text.substr(insert_at));
  } else {
    r.append(text);
    if (!text.empty() && text.back() != '\n') r.append(eol);
    if (!text.empty() && !last_blank) r.append(eol);
    r.append("[").append(s).append("]").append(eol);
    r.append(k).append("=").append(value).append(eol);
  }
  *out = std::move(r);
  return true;
}

}  // namespace gnutil::ini

// The registry store's model and its text form.
//
// The text form is close to a .reg export so that a person can read it:
//   [Software\Vendor\Product]
//   "Name"="Data"
// Key lines are written raw (key names hold no control bytes and the last ']'
// ends the line); names and data of values are quoted, with \\, \", \n, \r,
// \t and \xHH for the other control bytes.
#include "platform/regstore.h"

#include "platform/ini.h"

namespace gnutil::reg {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

void AppendQuoted(std::string* out, std::string_view s) {
  static const char kHex[] = "0123456789ABCDEF";
  out->push_back('"');
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\':
        out->append("\\\\");
        break;
      case '"':
        out->append("\\\"");
        break;
      case '\n':
        out->append("\\n");
        break;
      case '\r':
        out->append("\\r");
        break;
      case '\t':
        out->append("\\t");
        break;
      default:
        if (IsControl(c)) {
          out->append("\\x");
          out->push_back(kHex[c >> 4]);
          out->push_back(kHex[c & 15]);
        } else {
          out->push_back(ch);
        }
    }
  }
  out->push_back('"');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at s[*pos] == '"'; leaves *pos after the
// closing quote.
bool ReadQuoted(std::string_view s, size_t* pos, std::string* out) {
  size_t i = *pos;
  if (i >= s.size() || s[i] != '"') return false;
  ++i;
  out->clear();
  while (i < s.size()) {
    char c = s[i++];
    if (c == '"') {
      *pos = i;
      return true;
    }
    if (c == '\0') return false;  // values are C text: no NUL, raw or escaped
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (i >= s.size()) return false;
    char e = s[i++];
    switch (e) {
      case '\\':
        out->push_back('\\');
        break;
      case '"':
        out->push_back('"');
        break;
      case 'n':
        out->push_back('\n');
        break;
      case 'r':
        out->push_back('\r');
        break;
      case 't':
        out->push_back('\t');
        break;
      case 'x': {
        if (i + 2 > s.size()) return false;
        int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) return false;  // no NUL in a value
        out->push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return false;
}

// The first backslash at or after `from` that is a character of its own: in
// Shift-JIS and Big5 the second byte of a character can be 0x5C, and a key
// named with such a character (A\x95\x5C B) is one name, not two.
size_t FindSeparator(std::string_view path, size_t from, CharStep step) {
  size_t i = from;
  while (i < path.size() && path[i] != '\\') i += step(path.data() + i, path.size() - i);
  return i < path.size() ? i : path.size();
}

}  // namespace

bool SplitPath(std::string_view path, std::vector<std::string>* parts, CharStep step) {
  parts->clear();
  if (!path.empty() && path.front() == '\\') return false;
  size_t i = 0;
  while (i < path.size()) {
    size_t sep = FindSeparator(path, i, step);
    std::string_view part = path.substr(i, sep - i);
    i = sep + 1;
    if (part.empty()) continue;
    if (part.size() > kMaxKeyNameBytes) return false;
    for (char c : part)
      if (IsControl(static_cast<unsigned char>(c))) return false;
    parts->emplace_back(part);
  }
  return true;
}

Store::Store(CharStep step) : step_(step) { keys_.push_back(std::make_unique<Key>()); }

bool Store::SamePath(const std::vector<std::string>& a, const std::vector<std::string>& b) const {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!ini::EqualNoCase(a[i], b[i], step_)) return false;
  return true;
}

const Key* Store::FindKey(const std::vector<std::string>& path) const {
  for (const auto& k : keys_)
    if (SamePath(k->path, path)) return k.get();
  return nullptr;
}

Key* Store::FindKey(const std::vector<std::string>& path) {
  return const_cast<Key*>(static_cast<const Store*>(this)->FindKey(path));
}

Key* Store::CreateKey(const std::vector<std::string>& path) {
  Key* key = nullptr;
  std::vector<std::string> prefix;
  for (const std::string& part : path) {
    prefix.push_back(part);
    key = FindKey(prefix);
    if (key == nullptr) {
      keys_.push_back(std::make_unique<Key>());
      key = keys_.back().get();
      key->path = prefix;
    } else {
      prefix = key->path;  // keep the spelling the key was created with
    }
  }
  return key != nullptr ? key : keys_.front().get();
}

const Value* Store::FindValue(const Key& key, std::string_view name) const {
  for (const Value& v : key.values)
    if (ini::EqualNoCase(v.name, name, step_)) return &v;
  return nullptr;
}

bool Store::SetValue(Key* key, std::string_view name, std::string_view data) const {
  if (name.size() > kMaxValueNameBytes) return false;
  for (Value& v : key->values) {
    if (ini::EqualNoCase(v.name, name, step_)) {
      v.data.assign(data);
      return true;
    }
  }
  key->values.push_back(Value{std::string(name), std::string(data)});
  return true;
}

bool Store::DeleteValue(Key* key, std::string_view name) const {
  for (auto it = key->values.begin(); it != key->values.end(); ++it) {
    if (ini::EqualNoCase(it->name, name, step_)) {
      key->values.erase(it);
      return true;
    }
  }
  return false;
}

bool Store::Parse(std::string_view text) {
  bool ok = true;
  Key* current = nullptr;
  std::vector<std::string> parts;
  std::string name, data;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.rfind(']');
      if (close == 0 || close == std::string_view::npos || close != line.size() - 1 ||
          !SplitPath(line.substr(1, close - 1), &parts, step_)) {
        ok = false;
        current = nullptr;  // values under a key we cannot place are dropped
        continue;
      }
      current = CreateKey(parts);
      continue;
    }
    size_t i = 0;
    bool good = current != nullptr && ReadQuoted(line, &i, &name) && i < line.size() &&
                line[i] == '=' && (++i, ReadQuoted(line, &i, &data)) && i == line.size() &&
                SetValue(current, name, data);
    if (!good) ok = false;
  }
  return ok;
}

std::string Store::Serialize() const {
  std::string out = "; gnutil registry store, format 1\n";
  for (const auto& k : keys_) {
    if (k->path.empty() && k->values.empty()) continue;
    out.append("\n[");
    for (size_t i = 0; i < k->path.size(); ++i) {
      if (i) out.push_back('\\');
      out.append(k->path[i]);
    }
    out.append("]\n");
    for (const Value& v : k->values) {
      AppendQuoted(&out, v.name);
      out.push_back('=');
      AppendQuoted(&out, v.data);
      out.push_back('\n');
    }
  }
  return out;
}

}  // namespace gnutil::reg

// Reader and writer of the native registry file. Everything here works on
// strings only, so the same code is tested on every build.
#include "platform/RegistryFileFormat.h"

#include <cstring>

#include "platform/RegistryRules.h"

namespace orvane::registryfile {

const char kFileHeader[] = "ORVANE-REGISTRY 1";

namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringAsciiCase(const char* a, std::size_t aSize, const char* b, std::size_t bSize) {
  if (aSize != bSize) return false;
  for (std::size_t i = 0; i < aSize; ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char kHexDigits[] = "0123456789abcdef";

// Reads a quoted, escaped string starting at line[pos] == '"'. On success
// `pos` is just past the closing quote.
bool parseQuoted(const std::string& line, std::size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  ++pos;
  out.clear();
  while (pos < line.size()) {
    const char c = line[pos++];
    if (c == '"') return true;
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;  // control bytes are always escaped
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (pos >= line.size()) return false;
    const char e = line[pos++];
    switch (e) {
      case '\\': out.push_back('\\'); break;
      case '"': out.push_back('"'); break;
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case 't': out.push_back('\t'); break;
      case 'x': {
        if (pos + 2 > line.size()) return false;
        const int hi = hexDigit(line[pos]);
        const int lo = hexDigit(line[pos + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
        pos += 2;
        break;
      }
      default: return false;
    }
  }
  return false;  // the line ended inside the quotes: a truncated value
}

// Reads "hh,hh,...,hh" up to the end of the line; an empty list is a value
// of no bytes.
bool parseHexBytes(const std::string& line, std::size_t pos, std::vector<unsigned char>& out) {
  out.clear();
  if (pos == line.size()) return true;
  while (true) {
    if (pos + 2 > line.size()) return false;
    const int hi = hexDigit(line[pos]);
    const int lo = hexDigit(line[pos + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<unsigned char>(hi * 16 + lo));
    pos += 2;
    if (pos == line.size()) return true;
    if (line[pos] != ',') return false;
    ++pos;
  }
}

bool parseValueLine(const std::string& line, Value& value) {
  std::size_t pos = 0;
  if (!parseQuoted(line, pos, value.name)) return false;
  if (value.name.find('\0') != std::string::npos ||
      !registry::isAcceptableValueName(value.name.c_str())) {
    return false;
  }
  if (pos >= line.size() || line[pos] != '=') return false;
  ++pos;
  if (pos < line.size() && line[pos] == '"') {
    std::string text;
    if (!parseQuoted(line, pos, text) || pos != line.size()) return false;
    if (!registry::isAcceptableText(text)) return false;
    value.type = kTypeText;
    value.data.assign(text.begin(), text.end());
    return true;
  }
  if (line.compare(pos, 4, "hex:") == 0) {
    value.type = kTypeBinary;
    return parseHexBytes(line, pos + 4, value.data);
  }
  if (line.compare(pos, 4, "hex(") == 0) {
    pos += 4;
    std::uint32_t type = 0;
    std::size_t digits = 0;
    for (; pos < line.size() && hexDigit(line[pos]) >= 0; ++pos, ++digits) {
      if (digits == 8) return false;
      type = type * 16 + static_cast<std::uint32_t>(hexDigit(line[pos]));
    }
    if (digits == 0 || line.compare(pos, 2, "):") != 0) return false;
    value.type = type;
    return parseHexBytes(line, pos + 2, value.data);
  }
  return false;
}

void appendEscaped(std::string& out, const char* data, std::size_t size) {
  out.push_back('"');
  for (std::size_t i = 0; i < size; ++i) {
    const char c = data[i];
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (u < 0x20 || u == 0x7F) {
          out += "\\x";
          out.push_back(kHexDigits[u >> 4]);
          out.push_back(kHexDigits[u & 15]);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
}

void appendHexBytes(std::string& out, const std::vector<unsigned char>& data) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i) out.push_back(',');
    out.push_back(kHexDigits[data[i] >> 4]);
    out.push_back(kHexDigits[data[i] & 15]);
  }
}

}  // namespace

std::size_t Contents::indexOf(const char* name) const {
  if (!name) return values_.size();
  const std::size_t size = std::strlen(name);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const std::string& stored = values_[i].name;
    if (equalIgnoringAsciiCase(stored.data(), stored.size(), name, size)) return i;
  }
  return values_.size();
}

const Value* Contents::find(const char* name) const {
  const std::size_t i = indexOf(name);
  return i < values_.size() ? &values_[i] : nullptr;
}

void Contents::set(const char* name, std::uint32_t type, const unsigned char* data,
                   std::size_t size) {
  const std::size_t i = indexOf(name);
  if (i == values_.size()) {
    values_.emplace_back();
    values_.back().name = name;
  }
  values_[i].type = type;
  values_[i].data.assign(data, data + size);
}

Contents parse(const std::string& text, const std::string& keyPath) {
  Contents contents;
  bool inOurKey = false;
  bool first = true;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
      line.pop_back();
    }
    if (first) {
      if (line != kFileHeader) return contents;  // not a file of ours
      first = false;
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      inOurKey = line.back() == ']' &&
                 equalIgnoringAsciiCase(line.data() + 1, line.size() - 2, keyPath.data(),
                                        keyPath.size());
      continue;
    }
    if (!inOurKey) continue;
    Value value;
    if (!parseValueLine(line, value)) continue;
    // A name given twice: the later line wins, as when a registry export
    // is imported.
    contents.set(value.name.c_str(), value.type, value.data.data(), value.data.size());
  }
  return contents;
}

std::string serialise(const Contents& contents, const std::string& keyPath) {
  std::string out = kFileHeader;
  out += "\n[";
  out += keyPath;
  out += "]\n";
  for (const Value& v : contents.values()) {
    appendEscaped(out, v.name.data(), v.name.size());
    out.push_back('=');
    const std::string asText(v.data.begin(), v.data.end());
    if (v.type == kTypeText && registry::isAcceptableText(asText)) {
      appendEscaped(out, asText.data(), asText.size());
    } else if (v.type == kTypeBinary) {
      out += "hex:";
      appendHexBytes(out, v.data);
    } else {
      out += "hex(";
      char digits[9];
      int n = 0;
      std::uint32_t t = v.type;
      do {
        digits[n++] = kHexDigits[t & 15];
        t >>= 4;
      } while (t);
      while (n) out.push_back(digits[--n]);
      out += "):";
      appendHexBytes(out, v.data);
    }
    out.push_back('\n');
  }
  return out;
}

}  // namespace orvane::registryfile

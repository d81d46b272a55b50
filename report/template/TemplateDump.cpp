#include "report/template/TemplateDump.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace zd {

namespace {

constexpr size_t kHexBytesPerLine = 32;

std::string Indent(int level) { return std::string(size_t(level) * 2, ' '); }

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (unsigned char c : s) {
    if (c == '\'') {
      out += "''";
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "#%u", unsigned(c));
      out += "'" + std::string(buf) + "'";
    } else {
      out += char(c);
    }
  }
  return out + "'";
}

std::string Number(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

std::string Hex(const TBytes& bytes, size_t from, size_t to) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = from; i < to; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

void DumpProperties(const std::vector<TStreamProperty>& props, int level, std::string& out);

// The value's text; binary data and collections continue on lines below.
void DumpValue(const TStreamValue& v, int level, std::string& out) {
  if (v.IsInteger()) {
    out += std::to_string(v.integer);
    return;
  }
  switch (v.tag) {
    case TValueTag::vaNull: out += "Null"; return;
    case TValueTag::vaNil: out += "nil"; return;
    case TValueTag::vaFalse: out += "False"; return;
    case TValueTag::vaTrue: out += "True"; return;
    case TValueTag::vaIdent: out += v.text; return;
    case TValueTag::vaString:
    case TValueTag::vaLString:
    case TValueTag::vaWString:
    case TValueTag::vaUTF8String: out += Quoted(v.text); return;
    case TValueTag::vaExtended:
    case TValueTag::vaSingle:
    case TValueTag::vaDouble: out += Number(v.number); return;
    case TValueTag::vaCurrency: out += Number(v.AsFloat()) + "c"; return;
    case TValueTag::vaDate: out += "date " + Number(v.number); return;
    case TValueTag::vaSet: {
      out += "[";
      for (size_t i = 0; i < v.members.size(); ++i) out += (i ? ", " : "") + v.members[i];
      out += "]";
      return;
    }
    case TValueTag::vaList: {
      out += "(";
      for (size_t i = 0; i < v.list.size(); ++i) {
        if (i) out += ", ";
        DumpValue(v.list[i], level, out);
      }
      out += ")";
      return;
    }
    case TValueTag::vaBinary:
      out += "binary " + std::to_string(v.bytes.size()) + " bytes";
      for (size_t i = 0; i < v.bytes.size(); i += kHexBytesPerLine)
        out += "\n" + Indent(level + 1) + Hex(v.bytes, i, std::min(v.bytes.size(), i + kHexBytesPerLine));
      return;
    case TValueTag::vaCollection:
      out += "<" + std::to_string(v.items.size()) + " items>";
      for (size_t i = 0; i < v.items.size(); ++i) {
        out += "\n" + Indent(level + 1) + "item " + std::to_string(i);
        if (v.items[i].index) out += " [" + std::to_string(*v.items[i].index) + "]";
        DumpProperties(v.items[i].properties, level + 2, out);
      }
      return;
    default: out += "?"; return;
  }
}

void DumpProperties(const std::vector<TStreamProperty>& props, int level, std::string& out) {
  for (const TStreamProperty& p : props) {
    out += "\n" + Indent(level) + p.name + " = ";
    DumpValue(p.value, level, out);
  }
}

void DumpObject(const TStreamObject& o, int level, std::string& out) {
  if (level > 0) out += "\n";
  out += Indent(level) + o.className + " " + (o.name.empty() ? "(unnamed)" : o.name);
  if (o.flags) out += " flags " + std::to_string(o.flags) + ((o.flags & 2) ? " position " + std::to_string(o.childPos) : "");
  DumpProperties(o.properties, level + 1, out);
  for (const TStreamObject& child : o.children) DumpObject(child, level + 1, out);
}

}  // namespace

std::string DumpStreamTree(const TStreamObject& root) {
  std::string out;
  DumpObject(root, 0, out);
  return out + "\n";
}

}  // namespace zd

// String bodies, conversions and the UTF-8 / UTF-16 codec.

// <cctype> for the C classification the conversions follow; <climits> for saturation.
#include "runtime/string.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/errors.h"

// ---------------------------------------------------------------------------------------------
// Types

struct String::Body {
  int refs;
  int length;
  Char* Units() { return reinterpret_cast<Char*>(this + 1); }
};

// ---------------------------------------------------------------------------------------------
// Globals

const char* _str_load_err = nullptr;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

int TextLength(const String::Char* text) {
  int length = 0;
  while (text[length] != 0) ++length;
  return length;
}

// The leading bytes of a text as C's number parsers see them: the low byte of each of the
// first 63 units, stopping at a zero byte.
std::string NumberBytes(const String& text) {
  std::string bytes;
  int count = text.Length() < 63 ? text.Length() : 63;
  for (int i = 0; i < count; ++i) {
    char byte = static_cast<char>(text.Data()[i] & 0xFF);
    if (byte == 0) break;
    bytes.push_back(byte);
  }
  return bytes;
}

std::string IntegerText(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%i", value);
  return text;
}

// Every digit of the double value, and always a '.' or an exponent, so a float reads as one.
std::string FloatText(float value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17lg", static_cast<double>(value));
  std::string result = text;
  if (result.find('.') == std::string::npos && result.find('e') == std::string::npos) {
    result += ".0";
  }
  return result;
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Decodes strict UTF-8 of at most three bytes a character; false on any malformed sequence.
bool DecodeUtf8(const unsigned char* data, int length, std::vector<String::Char>& out) {
  int i = 0;
  while (i < length) {
    unsigned char byte = data[i];
    if (byte < 0x80) {
      out.push_back(byte);
      i += 1;
    } else if ((byte & 0xE0) == 0xC0) {
      if (i + 1 >= length || !IsContinuation(data[i + 1])) return false;
      out.push_back(static_cast<String::Char>(((byte & 0x1F) << 6) | (data[i + 1] & 0x3F)));
      i += 2;
    } else if ((byte & 0xF0) == 0xE0) {
      if (i + 2 >= length || !IsContinuation(data[i + 1]) || !IsContinuation(data[i + 2])) {
        return false;
      }
      out.push_back(static_cast<String::Char>(((byte & 0x0F) << 12) | ((data[i + 1] & 0x3F) << 6) |
                                              (data[i + 2] & 0x3F)));
      i += 3;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

// The shared empty body is never counted: it is copied far more often than any other text,
// and a count that only ever rises would overflow in a long run.
String::Body* String::EmptyBody() {
  static Body empty{1, 0};
  return &empty;
}

String::Body* String::Allocate(int length) {
  if (length <= 0) return EmptyBody();
  size_t bytes = sizeof(Body) + static_cast<size_t>(length) * sizeof(Char);
  Body* body = static_cast<Body*>(std::malloc(bytes));
  if (body == nullptr) throw std::bad_alloc();
  body->refs = 1;
  body->length = length;
  return body;
}

void String::Retain() const {
  if (body_ != EmptyBody()) ++body_->refs;
}

void String::Release() {
  if (body_ == EmptyBody()) return;
  if (--body_->refs == 0) std::free(body_);
}

// ---------------------------------------------------------------------------------------------
// Public functions

String::String() : body_(EmptyBody()) {}

String::String(Body* body) : body_(body) {}

String::String(const Char* text) : String(text, TextLength(text)) {}

String::String(const Char* text, int length) : body_(Allocate(length)) {
  if (length > 0) std::memcpy(body_->Units(), text, static_cast<size_t>(length) * sizeof(Char));
}

String::String(const char* bytes)
    : String(bytes, bytes == nullptr ? 0 : static_cast<int>(std::strlen(bytes))) {}

String::String(const char* bytes, int length) : body_(Allocate(length)) {
  for (int i = 0; i < length; ++i) body_->Units()[i] = static_cast<unsigned char>(bytes[i]);
}

String::String(int value) : String(IntegerText(value).c_str()) {}

String::String(float value) : String(FloatText(value).c_str()) {}

String String::FromChar(int code) {
  Char unit = static_cast<Char>(code);
  return String(&unit, 1);
}

String::String(const String& other) : body_(other.body_) {
  Retain();
}

String::String(String&& other) noexcept : body_(other.body_) {
  other.body_ = EmptyBody();
}

String& String::operator=(const String& other) {
  other.Retain();
  Release();
  body_ = other.body_;
  return *this;
}

String& String::operator=(String&& other) noexcept {
  if (this != &other) {
    Release();
    body_ = other.body_;
    other.body_ = EmptyBody();
  }
  return *this;
}

String::~String() {
  Release();
}

int String::Length() const {
  return body_->length;
}

const String::Char* String::Data() const {
  return body_->Units();
}

int String::operator[](int index) const {
  if (static_cast<unsigned>(index) >= static_cast<unsigned>(body_->length)) {
    nxError(String(u"String index out of range"));
  }
  return body_->Units()[index];
}

String operator+(const String& left, const String& right) {
  if (left.Length() == 0) return right;
  if (right.Length() == 0) return left;
  int64_t total = static_cast<int64_t>(left.Length()) + right.Length();
  if (total > INT_MAX / 2) throw std::bad_alloc();
  String::Body* body = String::Allocate(static_cast<int>(total));
  std::memcpy(body->Units(), left.Data(),
              static_cast<size_t>(left.Length()) * sizeof(String::Char));
  std::memcpy(body->Units() + left.Length(), right.Data(),
              static_cast<size_t>(right.Length()) * sizeof(String::Char));
  return String(body);
}

bool operator==(const String& left, const String& right) {
  if (left.body_ == right.body_) return true;
  return left.Length() == right.Length() &&
         std::memcmp(left.Data(), right.Data(),
                     static_cast<size_t>(left.Length()) * sizeof(String::Char)) == 0;
}

bool operator<(const String& left, const String& right) {
  int common = left.Length() < right.Length() ? left.Length() : right.Length();
  for (int i = 0; i < common; ++i) {
    if (left.Data()[i] != right.Data()[i]) return left.Data()[i] < right.Data()[i];
  }
  return left.Length() < right.Length();
}

String String::Slice(int from) const {
  return Slice(from, Length());
}

String String::Slice(int from, int to) const {
  int length = Length();
  if (from < 0) {
    from += length;
    if (from < 0) from = 0;
  } else if (from > length) {
    from = length;
  }
  if (to < 0) {
    to += length;
  } else if (to > length) {
    to = length;
  }
  if (from >= to) return String();
  if (from == 0 && to == length) return *this;
  return String(Data() + from, to - from);
}

int String::Find(const String& sub, int start) const {
  if (start < 0) start = 0;
  int last = Length() - sub.Length();
  for (int i = start; i <= last; ++i) {
    if (std::memcmp(Data() + i, sub.Data(), static_cast<size_t>(sub.Length()) * sizeof(Char)) ==
        0) {
      return i;
    }
  }
  return -1;
}

bool String::StartsWith(const String& prefix) const {
  if (prefix.Length() > Length()) return false;
  return std::memcmp(Data(), prefix.Data(), static_cast<size_t>(prefix.Length()) * sizeof(Char)) ==
         0;
}

bool String::EndsWith(const String& suffix) const {
  if (suffix.Length() > Length()) return false;
  return std::memcmp(Data() + Length() - suffix.Length(), suffix.Data(),
                     static_cast<size_t>(suffix.Length()) * sizeof(Char)) == 0;
}

Array<String> String::Split(const String& separator) const {
  if (separator.Length() == 0) {
    Array<String> units(Length());
    for (int i = 0; i < Length(); ++i) units[i] = String(Data() + i, 1);
    return units;
  }
  int pieces = 1;
  for (int i = Find(separator); i != -1; i = Find(separator, i + separator.Length())) ++pieces;
  Array<String> result(pieces);
  int start = 0;
  for (int piece = 0; piece < pieces; ++piece) {
    int end = piece + 1 < pieces ? Find(separator, start) : Length();
    result[piece] = Slice(start, end);
    start = end + separator.Length();
  }
  return result;
}

String String::Replace(const String& find, const String& with) const {
  if (find.Length() == 0) return *this;
  int at = Find(find);
  if (at == -1) return *this;
  std::vector<Char> units;
  int start = 0;
  while (at != -1) {
    units.insert(units.end(), Data() + start, Data() + at);
    units.insert(units.end(), with.Data(), with.Data() + with.Length());
    start = at + find.Length();
    at = Find(find, start);
  }
  units.insert(units.end(), Data() + start, Data() + Length());
  return String(units.data(), static_cast<int>(units.size()));
}

String String::ToLower() const {
  int first = -1;
  for (int i = 0; i < Length(); ++i) {
    if (Data()[i] >= u'A' && Data()[i] <= u'Z') {
      first = i;
      break;
    }
  }
  if (first == -1) return *this;
  String lower(Data(), Length());
  Char* units = lower.body_->Units();
  for (int i = first; i < Length(); ++i) {
    if (units[i] >= u'A' && units[i] <= u'Z') units[i] = static_cast<Char>(units[i] + 32);
  }
  return lower;
}

// As C's atoi reads it, but a value past the int range saturates instead of overflowing.
int String::ToInt() const {
  std::string bytes = NumberBytes(*this);
  size_t i = 0;
  while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
  bool negative = false;
  if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-')) {
    negative = bytes[i] == '-';
    ++i;
  }
  int64_t value = 0;
  for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
    value = value * 10 + (bytes[i] - '0');
    if (value > static_cast<int64_t>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

float String::ToFloat() const {
  return std::strtof(NumberBytes(*this).c_str(), nullptr);
}

std::string String::ToUtf8() const {
  std::vector<unsigned char> bytes;
  Save(bytes);
  return std::string(bytes.begin(), bytes.end());
}

std::string String::ToBytes() const {
  std::string bytes(static_cast<size_t>(Length()), '\0');
  for (int i = 0; i < Length(); ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(Data()[i]);
  return bytes;
}

// A file that cannot be read whole decodes as "", as a missing one does.
String String::Load(FILE* file) {
  std::vector<unsigned char> buffer;
  if (!nx_string_ReadAll(file, buffer) || buffer.size() > static_cast<size_t>(INT_MAX / 2)) {
    return String();
  }
  return Load(buffer.data(), static_cast<int>(buffer.size()));
}

String String::Load(const unsigned char* data, int length) {
  _str_load_err = nullptr;
  if (length <= 0) return String();
  std::vector<Char> units;
  if (length >= 2 &&
      ((data[0] == 0xFE && data[1] == 0xFF) || (data[0] == 0xFF && data[1] == 0xFE))) {
    bool big_endian = data[0] == 0xFE;
    units.reserve(static_cast<size_t>(length / 2));
    for (int i = 2; i + 1 < length; i += 2) {
      int high = big_endian ? data[i] : data[i + 1];
      int low = big_endian ? data[i + 1] : data[i];
      units.push_back(static_cast<Char>((high << 8) | low));
    }
  } else {
    int start = length >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    units.reserve(static_cast<size_t>(length - start));
    if (!DecodeUtf8(data + start, length - start, units)) {
      _str_load_err = "Invalid UTF-8";
      return String(reinterpret_cast<const char*>(data), length);
    }
  }
  if (units.empty()) return String();
  return String(units.data(), static_cast<int>(units.size()));
}

void String::Save(std::vector<unsigned char>& out) const {
  for (int i = 0; i < Length(); ++i) {
    unsigned c = Data()[i];
    if (c < 0x80) {
      out.push_back(static_cast<unsigned char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<unsigned char>(0xC0 | c >> 6));
      out.push_back(static_cast<unsigned char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<unsigned char>(0xE0 | c >> 12));
      out.push_back(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<unsigned char>(0x80 | (c & 0x3F)));
    }
  }
}

bool String::Save(FILE* file) const {
  std::vector<unsigned char> bytes;
  Save(bytes);
  if (bytes.empty()) return true;
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool nx_string_ReadAll(FILE* file, std::vector<unsigned char>& bytes) {
  unsigned char block[4096];
  for (;;) {
    size_t got = std::fread(block, 1, sizeof block, file);
    if (got > static_cast<size_t>(INT_MAX) - bytes.size()) return false;
    bytes.insert(bytes.end(), block, block + got);
    if (got < sizeof block) break;
  }
  return std::ferror(file) == 0;
}

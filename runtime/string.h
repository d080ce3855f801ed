// Immutable, reference-counted UTF-16 text, with the conversions, slicing and search rules
// the game relies on, and the text codec of every file it reads or writes.
#pragma once

// <cstdio> for the FILE-based codec; <string> and <vector> for byte buffers handed to C APIs.
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/array.h"

// ---------------------------------------------------------------------------------------------
// Types

class String {
 public:
  using Char = char16_t;

  String();
  String(const Char* text);  // NOLINT: literals convert implicitly, as in the game's code
  String(const Char* text, int length);
  String(const char* bytes);  // NOLINT: each byte becomes one code unit
  String(const char* bytes, int length);
  explicit String(int value);
  explicit String(float value);
  // A single code unit.
  static String FromChar(int code);

  String(const String& other);
  String(String&& other) noexcept;
  String& operator=(const String& other);
  String& operator=(String&& other) noexcept;
  ~String();

  int Length() const;
  const Char* Data() const;
  // The code unit at `index`; an index outside the text is a runtime error.
  int operator[](int index) const;

  String Slice(int from) const;
  String Slice(int from, int to) const;
  int Find(const String& sub, int start = 0) const;
  bool Contains(const String& sub) const { return Find(sub) != -1; }
  bool StartsWith(const String& prefix) const;
  bool EndsWith(const String& suffix) const;
  Array<String> Split(const String& separator) const;
  String Replace(const String& find, const String& with) const;
  String ToLower() const;
  int ToInt() const;
  float ToFloat() const;

  // The text as UTF-8, as every file and console line is written.
  std::string ToUtf8() const;
  // The low byte of every code unit, for byte-oriented C interfaces.
  std::string ToBytes() const;

  static String Load(FILE* file);
  static String Load(const unsigned char* data, int length);
  bool Save(FILE* file) const;
  void Save(std::vector<unsigned char>& out) const;

  friend String operator+(const String& left, const String& right);
  friend bool operator==(const String& left, const String& right);
  friend bool operator!=(const String& left, const String& right) { return !(left == right); }
  friend bool operator<(const String& left, const String& right);

 private:
  struct Body;
  explicit String(Body* body);
  static Body* Allocate(int length);
  static Body* EmptyBody();
  void Retain() const;
  void Release();

  Body* body_;
};

// ---------------------------------------------------------------------------------------------
// Globals

// "Invalid UTF-8" after a decode that fell back to bytes, null after a clean decode.
extern const char* _str_load_err;

// ---------------------------------------------------------------------------------------------
// Functions

// Reads a file to its end in 4096-byte blocks. A read error is a failure, not an early end:
// callers would otherwise hand truncated content on as if it were whole.
bool nx_string_ReadAll(FILE* file, std::vector<unsigned char>& bytes);

// INI file text as the Windows profile functions read and write it, over the
// bytes of a file: what GetPrivateProfileStringW returns and the bytes
// WritePrivateProfileStringW leaves. OS-free: the POSIX backend of profile.h
// is built on it, and the Windows tests hold it against the real functions.
//
// The rules, as Windows (Wine 8) shows them:
// - A file starting with a UTF-16 LE, UTF-16 BE or UTF-8 byte-order mark is
//   read and written in that encoding; any other file is ANSI code page text.
// - Lines end at every CR and at every LF. White space (space, tab, CR, LF,
//   VT, FF and Ctrl-Z) around a line, a section name, a key name and a value
//   is ignored; empty lines are dropped.
// - "[name]" starts a section (text after the last "]" is ignored); the lines
//   before the first section form a section without a name. Any other line is
//   a key: the name up to the first "=", the value after it, or no value when
//   there is no "=". Comment lines (";...") are keys like any other. A NUL
//   ends a name or a value.
// - Names compare without regard to the case of A to Z; only the first
//   section with a name is looked at, and its first key with the name.
// - Reading strips one pair of equal quotes (" or ') around the value and
//   cuts it to the buffer (one character goes to the terminating NUL).
// - Writing rewrites the whole file from what it read: one "[name]" line per
//   named section, "name=value" per key, CR LF after every line. A new key
//   goes at the end of its section, a new section at the end of the file. A
//   key that already holds the value leaves the file untouched.
//
// On a Windows whose ANSI code page is not 1251 two more cases matter: a
// value that code page cannot hold, and a file a Russian system wrote. Both
// are handed to the profile functions as UTF-16 LE with its mark, which they
// read and write losslessly (IniReadable, IniLosslessFor).
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The text GetPrivateProfileStringW, with the default "", leaves in a buffer
// of buffer_chars characters for a file holding file_bytes (empty: no file).
std::wstring IniRead(const std::string& file_bytes, const std::wstring& section, const std::wstring& key,
                     size_t buffer_chars);

// The bytes WritePrivateProfileStringW makes of a file holding file_bytes
// (empty: no file) when it sets the key of the section to value. Returns
// false, leaving new_bytes alone, when the file would stay as it is.
bool IniWrite(const std::string& file_bytes, const std::wstring& section, const std::wstring& key,
              const std::wstring& value, std::string* new_bytes);

// The file's bytes as the profile functions are to read them: a file without
// a mark that holds Russian text in code page 1251 and that the ANSI code
// page would misread comes back as the same lines in UTF-16 LE with its mark;
// any other file as it is (so on a Russian system every file).
std::string IniReadable(const std::string& file_bytes);

// The file's bytes in which the profile functions can store value: the
// readable file (IniReadable) when it and the value fit its encoding, the
// same lines in UTF-16 LE with its mark when the value does not fit the ANSI
// code page of a file without a mark.
std::string IniLosslessFor(const std::string& file_bytes, const std::wstring& value);

}  // namespace platform

#pragma once
// A stream that takes every character and keeps none, and never fails.

#include <ostream>
#include <streambuf>

namespace velkor {

class Nullpuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

class Nullstrom : public std::ostream {
 public:
  Nullstrom() : std::ostream(&puffer_) {}

 private:
  Nullpuffer puffer_;
};

}  // namespace velkor
